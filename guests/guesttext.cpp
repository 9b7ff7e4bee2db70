#include "guesttext.h"

#include "encodingguess.h"
#include "textdecoding.h"

#include <optional>

using GuestText::Table;

namespace {
QString withLfEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// The first line that does not decode, as the prize list counts lines; looked for only once
// the whole has failed, so that a good file is decoded in one pass.
int firstBadLine(const QByteArray &bytes, TextDecoding::Encoding encoding)
{
    int line = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (!TextDecoding::decodeLine(bytes.mid(start, i - start), encoding))
            return line;
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
        ++line;
    }
    return line;
}

std::optional<QString> decode(QByteArray bytes, QString &reason, bool &wide)
{
    const std::optional<TextDecoding::Encoding> mark = TextDecoding::takeByteOrderMark(bytes);
    std::optional<TextDecoding::Encoding> wideEncoding;
    if (mark && TextDecoding::isWide(*mark))
        wideEncoding = mark;
    EncodingGuess::Guess guess;
    if (!mark) {
        guess = EncodingGuess::guess(bytes);
        if (guess.kind == EncodingGuess::Guess::Readable && TextDecoding::isWide(guess.encoding))
            wideEncoding = guess.encoding;
    }
    wide = wideEncoding.has_value();
    if (wideEncoding)
        return withLfEnds(TextDecoding::decodeWide(bytes, *wideEncoding));
    if (guess.kind == EncodingGuess::Guess::WideWithoutMark) {
        reason = QStringLiteral("檔案看起來是 Unicode 文字 (UTF-16)，但開頭少了位元組順序記號 "
                                "(BOM)，看不出怎麼讀。請在 Excel 另存成「Unicode 文字」或"
                                "「CSV UTF-8 (逗號分隔)」");
        return std::nullopt;
    }
    if (bytes.contains('\0')) {
        reason = QStringLiteral("檔案含有空字元 (NUL)，可能已損壞");
        return std::nullopt;
    }
    TextDecoding::Encoding encoding = TextDecoding::Encoding::Utf8;
    if (!mark) {
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
    // Whole: a Big5 character never holds a line end's byte, so it decodes as its lines do.
    std::optional<QString> text;
    if (encoding != TextDecoding::Encoding::Big5 || TextDecoding::isWellFormedBig5(bytes))
        text = TextDecoding::decodeLine(bytes, encoding);
    if (!text) {
        reason = QStringLiteral("第 %1 行含有無法辨識的文字（檔案必須是 Big5、UTF-8 或 "
                                "Unicode 編碼）")
                     .arg(firstBadLine(bytes, encoding));
        return std::nullopt;
    }
    return withLfEnds(*text);
}
} // namespace

QChar GuestText::separator(const QString &text)
{
    qsizetype tabs = 0;
    qsizetype commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\t')
            ++tabs;
        else if (c == u',')
            ++commas;
        else if (c == u'\n' && tabs + commas > 0)
            break;
    }
    return tabs > commas ? u'\t' : u',';
}

Table GuestText::split(const QString &text, QChar separator, int maxRows)
{
    Table table;
    int row = 1; // Excel's row of the record being read
    QStringList cells;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    bool any = false; // a field of this record has text
    const auto endField = [&] {
        if (cells.size() < MaxColumns) {
            any = any || !field.trimmed().isEmpty();
            cells << field;
        }
        field.clear();
        wasQuoted = false;
    };
    const auto endRecord = [&] {
        if (any)
            table.rows.append({row, cells, {}});
        cells.clear();
        any = false;
        ++row;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Stopped as soon as it is known, so that a file of line ends builds nothing.
        if (row > maxRows) {
            table.rows.clear();
            table.reason = QStringLiteral("檔案超過 %1 列").arg(maxRows);
            return table;
        }
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
        } else if (c == separator) {
            endField();
        } else if (c == u'\n') {
            endField();
            endRecord();
        } else {
            field += c;
        }
        if (field.size() > MaxFieldLength) {
            table.rows.clear();
            table.reason = QStringLiteral("第 %1 列有一格超過 %2 個字，不像是名單")
                               .arg(row)
                               .arg(MaxFieldLength);
            return table;
        }
    }
    if (!field.isEmpty() || !cells.isEmpty() || wasQuoted) {
        endField();
        endRecord();
    }
    return table;
}

Table GuestText::read(const QByteArray &bytes, int maxRows)
{
    Table table;
    bool wide = false;
    const std::optional<QString> text = decode(bytes, table.reason, wide);
    if (!text)
        return table;
    // Excel's "Unicode text" is always tab-separated, whatever its first line holds.
    return split(*text, wide ? QChar(u'\t') : separator(*text), maxRows);
}
