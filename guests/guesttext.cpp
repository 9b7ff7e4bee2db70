#include "guesttext.h"

#include "encodingguess.h"
#include "textdecoding.h"

#include <optional>

using GuestText::Table;

namespace {
std::optional<QString> decode(QByteArray bytes, QString &reason)
{
    const std::optional<TextDecoding::Encoding> mark = TextDecoding::takeByteOrderMark(bytes);
    if (mark && TextDecoding::isWide(*mark)) {
        QString text = TextDecoding::decodeWide(bytes, *mark);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        return text;
    }
    if (bytes.contains('\0')) {
        reason = QStringLiteral("檔案含有空字元 (NUL)，可能已損壞");
        return std::nullopt;
    }
    TextDecoding::Encoding encoding = TextDecoding::Encoding::Utf8;
    if (!mark) {
        const EncodingGuess::Guess guess = EncodingGuess::guess(bytes);
        if (guess.kind == EncodingGuess::Guess::Simplified) {
            reason = QStringLiteral("檔案看起來是簡體中文編碼 (GBK / GB18030)，姓名會顯示成亂碼。"
                                    "請另存成 Big5 或 UTF-8 編碼");
            return std::nullopt;
        }
        if (guess.kind == EncodingGuess::Guess::Western) {
            reason = QStringLiteral("檔案看起來是西歐語言的編碼 (Latin-1 / Windows-1252)，"
                                    "第 %1 行的外文字母會顯示成中文亂碼。請另存成 UTF-8 編碼")
                         .arg(guess.line);
            return std::nullopt;
        }
        encoding = guess.encoding;
    }
    // Line by line, as the prize list is: a Big5 character never holds a line end's byte.
    const QList<QByteArray> lines = TextDecoding::splitLines(bytes);
    QString text;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const std::optional<QString> line = TextDecoding::decodeLine(lines[n], encoding);
        if (!line) {
            reason = QStringLiteral("第 %1 行含有無法辨識的文字（檔案必須是 Big5、UTF-8 或 "
                                    "Unicode 編碼）")
                         .arg(n + 1);
            return std::nullopt;
        }
        text += *line + u'\n';
    }
    return text;
}
} // namespace

QList<QStringList> GuestText::split(const QString &text)
{
    const QChar separator = text.contains(u'\t') ? u'\t' : u',';
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == separator || c == u'\n') {
            record << field;
            field.clear();
            wasQuoted = false;
            if (c == u'\n') {
                records << record;
                record.clear();
            }
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty() || wasQuoted) {
        record << field;
        records << record;
    }
    return records;
}

Table GuestText::read(const QByteArray &bytes, int maxRows)
{
    Table table;
    const std::optional<QString> text = decode(bytes, table.reason);
    if (!text)
        return table;
    const QList<QStringList> records = split(*text);
    if (records.size() > maxRows) {
        table.reason = QStringLiteral("檔案超過 %1 列").arg(maxRows);
        return table;
    }
    for (qsizetype n = 0; n < records.size(); ++n) {
        bool any = false;
        for (const QString &cell : records[n])
            any = any || !cell.trimmed().isEmpty();
        if (any)
            table.rows.append({int(n) + 1, records[n]});
    }
    return table;
}
