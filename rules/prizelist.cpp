#include "prizelist.h"

#include "encodingguess.h"
#include "safefile.h"
#include "textdecoding.h"
#include "workbookreader.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

#include <optional>
#include <type_traits>

namespace {
using PrizeList::Display;
using PrizeList::Encoding;
using PrizeList::Error;
using PrizeList::Result;

// %1 to %5 in one pass, so that a path holding "%2" stays as it is; unlike QString::arg
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

// The file a message names, and what it holds.
struct Source
{
    QString path;
    PrizeList::Subject subject = PrizeList::Subject::Prizes;
};

bool isDirectionControl(char32_t u)
{
    return u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

// A tab shows as a blank; every other control, and the separators that would break the
// prize onto a new line, would show as a box or move the text. A direction control turns
// the text around it backwards ("51 enohPi").
bool isControl(char32_t u)
{
    if (u == U'\t')
        return false;
    const QChar::Category c = QChar::category(u);
    return c == QChar::Other_Control || c == QChar::Separator_Line ||
           c == QChar::Separator_Paragraph || isDirectionControl(u);
}

// A path is shown as it is, but for controls: one in a folder's name would scramble the
// message around it.
QString shown(const QString &path)
{
    QString out;
    for (char32_t u : path.toUcs4()) {
        if (isControl(u) || u == U'\t')
            out += QStringLiteral("<U+%1>").arg(uint(u), 4, 16, QChar(u'0')).toUpper();
        else
            out += QString::fromUcs4(&u, 1);
    }
    return out;
}

// detail fills the third place of the texts that have one: a reason, a count, a character.
Result failure(Error error, const Source &source, int line = 0, const QString &detail = {})
{
    const bool title = source.subject == PrizeList::Subject::Title;
    QString text;
    switch (error) {
    case Error::Missing:
        text = QStringLiteral(
            "找不到獎品清單檔案 gift.txt：\n%1\n\n請把獎品清單放在程式所在的資料夾。");
        break;
    case Error::Unreadable:
        text = QStringLiteral("無法讀取%4檔案（%3）：\n%1");
        break;
    case Error::TooLarge:
        text = QStringLiteral("%4檔案超過 1 MB，不像是%4：\n%1");
        break;
    case Error::TooManyLines:
        if (title)
            text = QStringLiteral("活動標題只用檔案的第一行，但這個檔案有 %3 行，不像是活動標題。"
                                  "請只留下標題那一行：\n%1");
        else if (detail.isEmpty())
            text = QStringLiteral("獎品清單最多只能有 56 行，這個檔案的第 57 行是空行，"
                                  "可能是最後一項後面多了換行。請刪掉多出來的空行：\n%1");
        else
            text = QStringLiteral(
                "獎品清單最多只能有 56 行，這個檔案有 %3 行，從第 57 行起是多出來的。"
                "請刪掉多出來的行：\n%1");
        break;
    case Error::DoubledCr:
        text = QStringLiteral("%4的行尾是 CR CR LF，多了一個 CR，每一行後面都會多出一個空行，"
                              "讀起來有 %3 行。請把行尾改成 CR LF 再存檔：\n%1");
        break;
    case Error::NulByte:
        text = QStringLiteral("%4第 %2 行含有空字元 (NUL)，檔案可能已損壞：\n%1");
        break;
    case Error::BadText:
        text =
            QStringLiteral("%4第 %2 行含有無法辨識的文字（檔案必須是 Big5 或 UTF-8 編碼）：\n%1");
        break;
    case Error::Workbook:
        text = QStringLiteral("%4檔案是 Excel 活頁簿，不是文字檔。請在 Excel 用「另存新檔」，"
                              "存檔類型選「文字檔 (Tab 字元分隔)」或「Unicode 文字」，"
                              "存成 %5：\n%1");
        break;
    case Error::Simplified:
        text = QStringLiteral("%4看起來是簡體中文編碼 (GBK / GB18030)，抽獎時會顯示成亂碼。"
                              "請把檔案另存成 Big5 或 UTF-8 編碼：\n%1");
        break;
    case Error::Western:
        text =
            QStringLiteral("%4看起來是西歐語言的編碼 (Latin-1 / Windows-1252)，"
                           "第 %2 行的外文字母會顯示成中文亂碼。請把檔案另存成 UTF-8 編碼：\n%1");
        break;
    case Error::WideWithoutMark:
        text =
            QStringLiteral("%4看起來是 UTF-16 (Unicode) 編碼，但檔案開頭少了位元組順序記號 (BOM)。"
                           "請把檔案另存成 UTF-8 編碼，或有 BOM 的 Unicode：\n%1");
        break;
    case Error::ControlChar:
        text = QStringLiteral("%4第 %2 行的%3。請刪掉這個字再存檔：\n%1");
        break;
    case Error::NoGlyph:
        text = QStringLiteral("%4第 %2 行的%3沒有字型可以顯示：\n%1");
        break;
    case Error::TooLong:
        if (!title)
            text = QStringLiteral("獎品清單第 %2 行太長，獎品視窗用最小的字也放不下：\n%1");
        else if (detail.isEmpty())
            text = QStringLiteral("活動標題第 %2 行太長，超過 1000 個字：\n%1");
        else
            text = QStringLiteral("活動標題第 %2 行太長，標題那一行用最小的字也放不下。"
                                  "請把標題改短：\n%1");
        break;
    case Error::None:
        break;
    }
    const QFileInfo file(source.path);
    Result r;
    r.error = error;
    r.errorLine = line;
    r.message =
        fill(text, {shown(QDir::toNativeSeparators(file.absoluteFilePath())), QString::number(line),
                    detail, title ? QStringLiteral("活動標題") : QStringLiteral("獎品清單"),
                    shown(file.fileName())});
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

// Never the character itself: a direction control would turn the message around too.
QString controlNaming(char32_t u, int column)
{
    return naming(u, column, false) +
           (isDirectionControl(u) ? QStringLiteral(" 是文字方向控制字元，會讓文字倒過來顯示")
                                  : QStringLiteral(" 是控制字元，無法顯示"));
}

std::optional<Result> lineProblem(const QString &text, int lineNo, const Source &source,
                                  const Display &display)
{
    if (!TextDecoding::isPrintable(text))
        return failure(Error::BadText, source, lineNo);
    const QList<uint> chars = text.toUcs4();
    for (qsizetype i = 0; i < chars.size(); ++i)
        if (isControl(chars[i]))
            return failure(Error::ControlChar, source, lineNo, controlNaming(chars[i], int(i) + 1));
    if (chars.size() > PrizeList::MaxLineLength)
        return failure(Error::TooLong, source, lineNo);
    if (display.canDraw)
        for (qsizetype i = 0; i < chars.size(); ++i)
            if (chars[i] != U'\t' && !display.canDraw(chars[i]))
                return failure(Error::NoGlyph, source, lineNo, naming(chars[i], int(i) + 1, true));
    // The detail tells the title's "does not fit" from its "over 1000 characters".
    if (display.fits && !display.fits(text))
        return failure(Error::TooLong, source, lineNo, QStringLiteral("fits"));
    return std::nullopt;
}

bool isBlank(const QString &line)
{
    for (QChar c : line)
        if (!c.isSpace())
            return false;
    return true;
}

// Blank lines past the 56th are most likely line ends too many after the last prize. A line
// end of CR CR LF, as after a conversion done twice, is two here and one in Notepad: when
// that alone makes too many, it is what the message names.
template <typename Line>
Result tooManyLines(const Source &source, const QList<Line> &raw, qsizetype doubledCr)
{
    if (doubledCr > 0 && raw.size() - doubledCr <= PrizeList::MaxLines)
        return failure(Error::DoubledCr, source, 0, QString::number(raw.size()));
    bool blankTail = true;
    for (qsizetype n = PrizeList::MaxLines; n < raw.size() && blankTail; ++n) {
        if constexpr (std::is_same_v<Line, QString>)
            blankTail = isBlank(raw[n]);
        else
            blankTail = isBlank(QString::fromLatin1(raw[n]));
    }
    const bool countShown = source.subject == PrizeList::Subject::Title || !blankTail;
    return failure(Error::TooManyLines, source, PrizeList::MaxLines + 1,
                   countShown ? QString::number(raw.size()) : QString());
}

// UTF-16 and UTF-32 come with a byte-order mark from Notepad; the text is split after
// decoding, since a line end is more than one byte there.
Result parseWide(const QByteArray &body, Encoding encoding, const Source &source,
                 const Display &display)
{
    const QString text = TextDecoding::decodeWide(body, encoding);
    const QList<QString> raw = TextDecoding::splitLines(text);
    Result r;
    r.encoding = encoding;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int lineNo = int(n) + 1;
        if (lineNo > PrizeList::MaxLines)
            return tooManyLines(source, raw, text.count(QStringLiteral("\r\r\n")));
        if (raw[n].contains(QChar(u'\0')))
            return failure(Error::NulByte, source, lineNo);
        if (auto problem = lineProblem(raw[n], lineNo, source, display))
            return *problem;
        r.lines.append(raw[n]);
    }
    return r;
}

} // namespace

Result PrizeList::parse(const QByteArray &input, const QString &path, const Display &display,
                        Subject subject)
{
    const Source source{path, subject};
    if (TextDecoding::isWorkbook(input))
        return failure(Error::Workbook, source);
    QByteArray bytes = input;
    std::optional<Encoding> encoding = TextDecoding::takeByteOrderMark(bytes);
    if (encoding && TextDecoding::isWide(*encoding))
        return parseWide(bytes, *encoding, source, display);
    if (!encoding) {
        const EncodingGuess::Guess guess = EncodingGuess::guess(bytes);
        switch (guess.kind) {
        case EncodingGuess::Guess::Simplified:
            return failure(Error::Simplified, source);
        case EncodingGuess::Guess::Western:
            return failure(Error::Western, source, guess.line);
        case EncodingGuess::Guess::WideWithoutMark:
            return failure(Error::WideWithoutMark, source);
        case EncodingGuess::Guess::Readable:
            if (TextDecoding::isWide(guess.encoding))
                return parseWide(bytes, guess.encoding, source, display);
            encoding = guess.encoding;
            break;
        }
    }
    const QList<QByteArray> raw = TextDecoding::splitLines(bytes);
    Result r;
    r.encoding = *encoding;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int lineNo = int(n) + 1;
        const QByteArray &line = raw[n];
        if (lineNo > MaxLines)
            return tooManyLines(source, raw, bytes.count("\r\r\n"));
        if (line.contains('\0'))
            return failure(Error::NulByte, source, lineNo);
        const std::optional<QString> text = TextDecoding::decodeLine(line, *encoding);
        if (!text)
            return failure(Error::BadText, source, lineNo);
        if (auto problem = lineProblem(*text, lineNo, source, display))
            return *problem;
        r.lines.append(*text);
    }
    return r;
}

namespace {
Result fromWorkbook(const QString &path, const Display &display)
{
    // Rows past the list's 56 are still counted, so that the message can say how many.
    const Workbook::Sheet sheet = Workbook::load(path, {ListLimits::Rows, 1});
    if (sheet.status == Workbook::Status::Missing)
        return failure(Error::Missing, {path, PrizeList::Subject::Prizes});
    if (!sheet.ok())
        return failure(Error::Unreadable, {path, PrizeList::Subject::Prizes}, 0, sheet.reason);
    // The template we offer has 獎品 above the list: a header, not a prize.
    const int header = !sheet.rows.isEmpty() && sheet.rows.first().number == 1 &&
                               sheet.rows.first().cells.value(0).trimmed() == QStringLiteral("獎品")
                           ? 1
                           : 0;
    QStringList lines;
    for (const SheetRow &row : sheet.rows.mid(header)) {
        while (lines.size() < row.number - header)
            lines << QString();
        lines.last() = row.cells.value(0);
    }
    return PrizeList::fromLines(lines, path, display);
}
} // namespace

Result PrizeList::fromLines(const QStringList &lines, const QString &path, const Display &display)
{
    const Source source{path, Subject::Prizes};
    if (lines.size() > MaxLines)
        return tooManyLines(source, lines, 0);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (lines[n].contains(QChar(u'\0')))
            return failure(Error::NulByte, source, int(n) + 1);
        if (auto problem = lineProblem(lines[n], int(n) + 1, source, display))
            return *problem;
    }
    Result r;
    r.lines = lines;
    return r;
}

PrizeList::Choice PrizeList::choose(const QString &folder)
{
    const QDir dir(folder);
    const QString text = dir.filePath(QStringLiteral("gift.txt"));
    const QString book = dir.filePath(QStringLiteral("gift.xlsx"));
    const auto there = [](const QString &p) {
        const QFileInfo f(p);
        return f.exists() || f.isSymLink();
    };
    if (!there(book))
        return {text, {}};
    if (!there(text))
        return {book, {}};
    return {text, QStringLiteral("程式資料夾裡同時有 gift.txt 和 gift.xlsx，"
                                 "這次用的是 gift.txt，gift.xlsx 沒有讀。")};
}

std::optional<QString> PrizeList::unshowable(const QString &text,
                                             const std::function<bool(char32_t)> &canDraw,
                                             bool tabAllowed)
{
    if (!TextDecoding::isPrintable(text) || text.contains(QChar(u'\0')))
        return QStringLiteral("含有無法辨識的文字");
    const QList<uint> chars = text.toUcs4();
    for (qsizetype i = 0; i < chars.size(); ++i)
        if (isControl(chars[i]) || (!tabAllowed && chars[i] == U'\t'))
            return controlNaming(chars[i], int(i) + 1);
    if (canDraw)
        for (qsizetype i = 0; i < chars.size(); ++i)
            if (chars[i] != U'\t' && !canDraw(chars[i]))
                return naming(chars[i], int(i) + 1, true) + QStringLiteral("沒有字型可以顯示");
    return std::nullopt;
}

Result PrizeList::load(const QString &path, const Display &display, Subject subject)
{
    if (subject == Subject::Prizes && path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return fromWorkbook(path, display);
    const SafeFile::Read file = SafeFile::read(path, MaxBytes);
    const Source source{path, subject};
    switch (file.status) {
    case SafeFile::Status::Ok:
        return parse(file.bytes, path, display, subject);
    case SafeFile::Status::Missing:
        return failure(Error::Missing, source);
    case SafeFile::Status::TooLarge:
        return failure(Error::TooLarge, source);
    case SafeFile::Status::NotRegular:
    case SafeFile::Status::Unreadable:
        break;
    }
    return failure(Error::Unreadable, source, 0, file.reason);
}

namespace {
// Excel's CSV wraps each field in double quotes; read as a list, the quotes would be
// announced with every prize, and "…紀念獎\"" is no consolation prize.
bool everyPrizeQuoted(const QStringList &lines)
{
    int quoted = 0;
    for (const QString &line : lines) {
        if (isBlank(line))
            continue;
        if (line.size() < 2 || !line.startsWith(u'"') || !line.endsWith(u'"'))
            return false;
        ++quoted;
    }
    return quoted > 0;
}
} // namespace

QStringList PrizeList::startWarnings(const QStringList &lines)
{
    QStringList warnings;
    if (lines.size() < MaxLines)
        warnings << QStringLiteral("獎品清單只有 %1 項，另外 %2 張卡會抽出空白獎品。")
                        .arg(lines.size())
                        .arg(MaxLines - lines.size());
    if (everyPrizeQuoted(lines)) {
        bool consolation = false;
        for (const QString &line : lines)
            consolation = consolation || line.endsWith(QStringLiteral("紀念獎\""));
        warnings << QStringLiteral("每一項獎品都包在雙引號 \"…\" 裡（像 Excel 存成的 CSV 檔），"
                                   "抽獎時引號也會跟著顯示") +
                        (consolation ? QStringLiteral("，紀念獎也不會算紀念獎。")
                                     : QStringLiteral("。")) +
                        QStringLiteral("請用記事本把引號刪掉，"
                                       "或在 Excel 另存成「文字檔 (Tab 字元分隔)」。");
    }
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
    QStringList listed = warnings;
    if (listed.size() > ListedWarnings) {
        listed = warnings.mid(0, ListedWarnings - 1);
        listed << QStringLiteral("……另外還有 %1 項，請打開獎品清單檢查。")
                      .arg(warnings.size() - listed.size());
    }
    return listed.join(u'\n') + QStringLiteral("\n\n要照這份清單開始抽獎嗎?");
}
