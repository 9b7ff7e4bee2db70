#include "prizelist.h"

#include "encodingguess.h"
#include "safefile.h"
#include "textdecoding.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

#include <optional>

namespace {
using PrizeList::Display;
using PrizeList::Encoding;
using PrizeList::Error;
using PrizeList::Result;

// %1 to %3 in one pass, so that a path holding "%2" stays as it is; unlike QString::arg
// it takes places a text leaves out without a warning.
QString fill(const QString &text, const QStringList &args)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int place = i + 1 < text.size() ? text[i + 1].digitValue() : -1;
        if (text[i] == u'%' && place >= 1 && place <= args.size()) {
            out += args[place - 1];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// detail fills the third place of the texts that have one: a reason, a kind of file, a
// character.
Result failure(Error error, const QString &path, int line = 0, const QString &detail = {})
{
    const QString where = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QString text;
    switch (error) {
    case Error::Missing:
        text = QStringLiteral(
            "找不到獎品清單檔案 gift.txt：\n%1\n\n請把獎品清單放在程式所在的資料夾。");
        break;
    case Error::Unreadable:
        text = QStringLiteral("無法讀取獎品清單檔案（%3）：\n%1");
        break;
    case Error::TooLarge:
        text = QStringLiteral("獎品清單檔案超過 1 MB，不像是獎品清單：\n%1");
        break;
    case Error::TooManyLines:
        text = detail.isEmpty()
                   ? QStringLiteral("獎品清單最多只能有 56 行，這個檔案超過 56 行：\n%1")
                   : QStringLiteral("獎品清單最多只能有 56 行，這個檔案超過 56 行（%3）：\n%1");
        break;
    case Error::NulByte:
        text = QStringLiteral("獎品清單第 %2 行含有空字元 (NUL)，檔案可能已損壞：\n%1");
        break;
    case Error::BadText:
        text = QStringLiteral(
            "獎品清單第 %2 行含有無法辨識的文字（檔案必須是 Big5 或 UTF-8 編碼）：\n%1");
        break;
    case Error::Simplified:
        text = QStringLiteral("獎品清單看起來是簡體中文編碼 (GBK / GB18030)，抽獎時會顯示成亂碼。"
                              "請把檔案另存成 Big5 或 UTF-8 編碼：\n%1");
        break;
    case Error::ControlChar:
        text = QStringLiteral("獎品清單第 %2 行的%3是控制字元，無法顯示：\n%1");
        break;
    case Error::NoGlyph:
        text = QStringLiteral("獎品清單第 %2 行的%3沒有字型可以顯示：\n%1");
        break;
    case Error::TooLong:
        text = QStringLiteral("獎品清單第 %2 行太長，獎品視窗用最小的字也放不下：\n%1");
        break;
    case Error::None:
        break;
    }
    Result r;
    r.error = error;
    r.errorLine = line;
    r.message = fill(text, {where, QString::number(line), detail});
    return r;
}

// "第 3 個字 U+0007", with the character itself where it has a face of its own.
QString naming(char32_t u, int column, bool showIt)
{
    const QString code = QStringLiteral("U+%1").arg(uint(u), 4, 16, QChar(u'0')).toUpper();
    if (!showIt)
        return QStringLiteral("第 %1 個字 %2").arg(column).arg(code);
    return QStringLiteral("第 %1 個字「%2」(%3)")
        .arg(QString::number(column), QString::fromUcs4(&u, 1), code);
}

// A tab shows as a blank; every other control, and the separators that would break the
// prize onto a new line, would show as a box or move the text.
bool isControl(char32_t u)
{
    if (u == U'\t')
        return false;
    const QChar::Category c = QChar::category(u);
    return c == QChar::Other_Control || c == QChar::Separator_Line ||
           c == QChar::Separator_Paragraph;
}

std::optional<Result> lineProblem(const QString &text, int lineNo, const QString &path,
                                  const Display &display)
{
    if (!TextDecoding::isPrintable(text))
        return failure(Error::BadText, path, lineNo);
    const QList<uint> chars = text.toUcs4();
    for (qsizetype i = 0; i < chars.size(); ++i)
        if (isControl(chars[i]))
            return failure(Error::ControlChar, path, lineNo, naming(chars[i], int(i) + 1, false));
    if (chars.size() > PrizeList::MaxLineLength)
        return failure(Error::TooLong, path, lineNo);
    if (display.canDraw)
        for (qsizetype i = 0; i < chars.size(); ++i)
            if (chars[i] != U'\t' && !display.canDraw(chars[i]))
                return failure(Error::NoGlyph, path, lineNo, naming(chars[i], int(i) + 1, true));
    if (display.fits && !display.fits(text))
        return failure(Error::TooLong, path, lineNo);
    return std::nullopt;
}

bool isBlank(const QString &line)
{
    for (QChar c : line)
        if (!c.isSpace())
            return false;
    return true;
}

// A 57th line that is empty is most likely one line end too many after the last prize.
Result tooManyLines(const QString &path, const QString &line57)
{
    return failure(Error::TooManyLines, path, 0,
                   isBlank(line57) ? QStringLiteral("第 57 行是空行，可能是最後一項後面多了換行")
                                   : QString());
}

// UTF-16 and UTF-32 come with a byte-order mark from Notepad; the text is split after
// decoding, since a line end is more than one byte there.
Result parseWide(const QByteArray &body, Encoding encoding, const QString &path,
                 const Display &display)
{
    const QList<QString> raw = TextDecoding::splitLines(TextDecoding::decodeWide(body, encoding));
    Result r;
    r.encoding = encoding;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int lineNo = int(n) + 1;
        if (lineNo > PrizeList::MaxLines)
            return tooManyLines(path, raw[n]);
        if (raw[n].contains(QChar(u'\0')))
            return failure(Error::NulByte, path, lineNo);
        if (auto problem = lineProblem(raw[n], lineNo, path, display))
            return *problem;
        r.lines.append(raw[n]);
    }
    return r;
}

} // namespace

Result PrizeList::parse(const QByteArray &input, const QString &path, const Display &display)
{
    QByteArray bytes = input;
    std::optional<Encoding> encoding = TextDecoding::takeByteOrderMark(bytes);
    if (encoding && TextDecoding::isWide(*encoding))
        return parseWide(bytes, *encoding, path, display);
    if (!encoding) {
        encoding = EncodingGuess::guess(bytes);
        if (!encoding)
            return failure(Error::Simplified, path);
    }
    const QList<QByteArray> raw = TextDecoding::splitLines(bytes);
    Result r;
    r.encoding = *encoding;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int lineNo = int(n) + 1;
        const QByteArray &line = raw[n];
        if (lineNo > MaxLines)
            return tooManyLines(path, QString::fromLatin1(line));
        if (line.contains('\0'))
            return failure(Error::NulByte, path, lineNo);
        const std::optional<QString> text = TextDecoding::decodeLine(line, *encoding);
        if (!text)
            return failure(Error::BadText, path, lineNo);
        if (auto problem = lineProblem(*text, lineNo, path, display))
            return *problem;
        r.lines.append(*text);
    }
    return r;
}

Result PrizeList::load(const QString &path, const Display &display)
{
    const SafeFile::Read file = SafeFile::read(path, MaxBytes);
    switch (file.status) {
    case SafeFile::Status::Ok:
        return parse(file.bytes, path, display);
    case SafeFile::Status::Missing:
        return failure(Error::Missing, path);
    case SafeFile::Status::TooLarge:
        return failure(Error::TooLarge, path);
    case SafeFile::Status::NotRegular:
    case SafeFile::Status::Unreadable:
        break;
    }
    return failure(Error::Unreadable, path, 0, file.reason);
}

QStringList PrizeList::startWarnings(const QStringList &lines)
{
    QStringList warnings;
    if (lines.size() < MaxLines)
        warnings << QStringLiteral("獎品清單只有 %1 項，另外 %2 張卡會抽出空白獎品。")
                        .arg(lines.size())
                        .arg(MaxLines - lines.size());
    QStringList blank;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (isBlank(lines[i]))
            blank << QString::number(i + 1);
    if (!blank.isEmpty())
        warnings << QStringLiteral("第 %1 行沒有文字，抽到這一項會是空白獎品。")
                        .arg(blank.join(QStringLiteral("、")));
    const QString consolation = QStringLiteral("紀念獎");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString text = lines[i];
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
        if (text.size() < lines[i].size() && text.endsWith(consolation))
            warnings << QStringLiteral("第 %1 行的「紀念獎」後面有空白，這一項不會算紀念獎。")
                            .arg(i + 1);
    }
    return warnings;
}

QString PrizeList::startQuestion(const QStringList &warnings)
{
    return warnings.join(u'\n') + QStringLiteral("\n\n要照這份清單開始抽獎嗎?");
}
