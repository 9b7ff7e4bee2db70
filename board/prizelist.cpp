#include "prizelist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <unicode/ucsdet.h>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// CR LF, CR and LF each end a line; a line end after the last line adds nothing.
template <typename Text> QList<Text> splitLines(const Text &text)
{
    QList<Text> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// User-defined and unmapped characters would show as boxes on the projector. Checked by
// code point, since the private-use planes 15 and 16 come as surrogate pairs.
bool isPrintable(const QString &s)
{
    for (char32_t u : s.toUcs4()) {
        if (u == QChar::ReplacementCharacter || QChar::category(u) == QChar::Other_PrivateUse)
            return false;
    }
    return true;
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

// Code page 950: ASCII, or a lead byte 0x81..0xFE followed by a trail byte in
// 0x40..0x7E or 0xA1..0xFE. ICU maps some invalid sequences silently, so the
// structure is checked here first.
bool isWellFormedBig5(const QByteArray &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const uchar c = uchar(line[i]);
        if (c < 0x80)
            continue;
        if (c < 0x81 || c > 0xFE || i + 1 >= line.size())
            return false;
        const uchar t = uchar(line[++i]);
        if (!((t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE)))
            return false;
    }
    return true;
}

// GBK: a lead byte 0x81..0xFE followed by a trail byte 0x40..0xFE other than 0x7F.
bool isWellFormedGbk(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x80)
            continue;
        if (c < 0x81 || c > 0xFE || i + 1 >= bytes.size())
            return false;
        const uchar t = uchar(bytes[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFE)
            return false;
    }
    return true;
}

QStringDecoder big5Decoder()
{
    QStringDecoder d("windows-950", QStringDecoder::Flag::Stateless);
    if (!d.isValid())
        d = QStringDecoder("Big5", QStringDecoder::Flag::Stateless);
    return d;
}

// One way to read a file without a byte-order mark.
struct Reading
{
    enum Kind
    {
        Big5,
        Utf8,
        Gbk
    } kind;
    const char *icuName;
    QString text;
    bool valid = false;
    int score = 0;
};

// Chinese characters in common use, in either script: the first level of Big5 (0xA440 to
// 0xC67E) or of GB2312 (lead 0xB0 to 0xD7). A list read in the wrong Chinese encoding
// still gives Chinese characters, but mostly rare ones.
bool isCommonHan(char32_t u, QStringEncoder &big5, QStringEncoder &gb)
{
    const QString s = QString::fromUcs4(&u, 1);
    const QByteArray b = big5.encode(s);
    if (!big5.hasError() && b.size() == 2) {
        const uint code = uint(uchar(b[0])) << 8 | uchar(b[1]);
        if (code >= 0xA440 && code <= 0xC67E)
            return true;
    }
    const QByteArray g = gb.encode(s);
    return !gb.hasError() && g.size() == 2 && uchar(g[0]) >= 0xB0 && uchar(g[0]) <= 0xD7 &&
           uchar(g[1]) >= 0xA1;
}

bool isAsciiLetter(char32_t u)
{
    return (u >= U'a' && u <= U'z') || (u >= U'A' && u <= U'Z');
}

// -100 to 100 over the characters beyond ASCII: a common Chinese character, CJK
// punctuation or an accented letter inside a Latin word counts for, a rare Chinese
// character nothing, lone Latin letters and symbols against. A Chinese list read in the
// wrong encoding turns into the latter.
int characterScore(const QString &text)
{
    QStringEncoder big5("windows-950", QStringEncoder::Flag::Stateless);
    QStringEncoder gb("GB18030", QStringEncoder::Flag::Stateless);
    const QList<uint> chars = text.toUcs4();
    int count = 0;
    int sum = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const char32_t u = chars[i];
        if (u < 0x80)
            continue;
        ++count;
        const bool inWord = (i > 0 && isAsciiLetter(chars[i - 1])) ||
                            (i + 1 < chars.size() && isAsciiLetter(chars[i + 1]));
        if (QChar::script(u) == QChar::Script_Han)
            sum += isCommonHan(u, big5, gb) ? 1 : 0;
        else if ((u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF) ||
                 (u >= 0x3100 && u <= 0x312F))
            sum += 1;
        else if (inWord && QChar::script(u) == QChar::Script_Latin && QChar::isLetter(u))
            sum += 1;
        else
            sum -= 1;
    }
    return count == 0 ? 0 : 100 * sum / count;
}

bool hasUnassigned(const QString &text)
{
    for (char32_t u : text.toUcs4())
        if (QChar::category(u) == QChar::Other_NotAssigned)
            return true;
    return false;
}

// What ICU's detector thinks of each encoding, 0 to 100.
void addDetectorConfidence(const QByteArray &bytes, QList<Reading> &readings)
{
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector *detector = ucsdet_open(&status);
    if (U_FAILURE(status))
        return;
    ucsdet_setText(detector, bytes.constData(), int32_t(qMin<qsizetype>(bytes.size(), INT32_MAX)),
                   &status);
    int32_t found = 0;
    const UCharsetMatch **matches = ucsdet_detectAll(detector, &found, &status);
    for (int32_t i = 0; U_SUCCESS(status) && i < found; ++i) {
        const char *name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_FAILURE(status))
            break;
        for (Reading &r : readings)
            if (r.valid && qstrcmp(r.icuName, name) == 0)
                r.score += confidence;
    }
    ucsdet_close(detector);
}

int chineseCount(const QString &text)
{
    int n = 0;
    for (char32_t u : text.toUcs4())
        n += QChar::script(u) == QChar::Script_Han ? 1 : 0;
    return n;
}

// Without a byte-order mark. Several encodings may accept the bytes; ICU's guess and the
// characters each reading gives decide, Big5 first on a tie since it is what Traditional
// Chinese Windows writes. A nullopt is a Simplified Chinese list.
std::optional<Encoding> guessEncoding(const QByteArray &bytes)
{
    if (isAscii(bytes))
        return Encoding::Utf8;
    QList<Reading> readings{
        {Reading::Big5, "Big5", {}}, {Reading::Utf8, "UTF-8", {}}, {Reading::Gbk, "GB18030", {}}};
    int valid = 0;
    for (Reading &r : readings) {
        bool wellFormed = true;
        QStringDecoder d;
        switch (r.kind) {
        case Reading::Big5:
            wellFormed = isWellFormedBig5(bytes);
            d = big5Decoder();
            break;
        case Reading::Utf8:
            d = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            break;
        case Reading::Gbk:
            wellFormed = isWellFormedGbk(bytes);
            d = QStringDecoder("GB18030", QStringDecoder::Flag::Stateless);
            break;
        }
        if (!wellFormed || !d.isValid())
            continue;
        r.text = d.decode(bytes);
        if (d.hasError() || !isPrintable(r.text))
            continue;
        // Some Big5 is valid UTF-8 by accident, naming characters no one has assigned.
        if (r.kind == Reading::Utf8 && hasUnassigned(r.text))
            continue;
        r.valid = true;
        r.score = characterScore(r.text);
        ++valid;
    }
    // ICU sees LF ends only, so that the guess does not hang on how lines end.
    if (valid > 1) {
        QByteArray lf = bytes;
        lf.replace("\r\n", "\n").replace('\r', '\n');
        addDetectorConfidence(lf, readings);
    }
    const Reading *best = nullptr;
    for (const Reading &r : readings)
        if (r.valid && (!best || r.score > best->score))
            best = &r;
    // Nothing reads cleanly: the Big5 rules then name the first bad line.
    if (!best)
        return Encoding::Big5;
    switch (best->kind) {
    case Reading::Utf8:
        return Encoding::Utf8;
    case Reading::Gbk:
        // A few characters cannot tell Big5 from GBK; the list is then taken for what
        // Traditional Chinese Windows writes.
        if (readings[0].valid && chineseCount(best->text) < 4)
            return Encoding::Big5;
        if (characterScore(best->text) > 0)
            return std::nullopt;
        return Encoding::Big5;
    case Reading::Big5:
        break;
    }
    return Encoding::Big5;
}

std::optional<Result> lineProblem(const QString &text, int lineNo, const QString &path,
                                  const Display &display)
{
    if (!isPrintable(text))
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
    QStringDecoder::Encoding e = QStringDecoder::Utf16LE;
    switch (encoding) {
    case Encoding::Utf16BE:
        e = QStringDecoder::Utf16BE;
        break;
    case Encoding::Utf32LE:
        e = QStringDecoder::Utf32LE;
        break;
    case Encoding::Utf32BE:
        e = QStringDecoder::Utf32BE;
        break;
    default:
        break;
    }
    const int unit = (encoding == Encoding::Utf32LE || encoding == Encoding::Utf32BE) ? 4 : 2;
    QStringDecoder d(e, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = d.decode(body);
    // A cut-off last character is dropped by some decoders; it must not vanish silently.
    if (body.size() % unit != 0)
        text.append(QChar::ReplacementCharacter);
    const QList<QString> raw = splitLines(text);
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

QString unreadableReason(int error)
{
#ifdef Q_OS_UNIX
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有讀取這個檔案的權限");
    case ELOOP:
        return QStringLiteral("符號連結繞成了迴圈");
    case ENAMETOOLONG:
        return QStringLiteral("路徑太長");
    case EIO:
        return QStringLiteral("磁碟讀取錯誤");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("系統開啟的檔案太多");
    case ENOMEM:
        return QStringLiteral("記憶體不足");
    case EOVERFLOW:
    case EFBIG:
        return QStringLiteral("檔案太大");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("檔案正在被使用");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("裝置不存在");
    default:
        return QStringLiteral("系統錯誤 %1：%2")
            .arg(QString::number(error), QString::fromLocal8Bit(std::strerror(error)));
    }
#else
    Q_UNUSED(error);
    return QStringLiteral("系統拒絕讀取");
#endif
}

#ifdef Q_OS_UNIX
std::optional<Result> notRegular(mode_t mode, const QString &path)
{
    if (S_ISREG(mode))
        return std::nullopt;
    QString kind = QStringLiteral("特殊檔案");
    if (S_ISDIR(mode))
        kind = QStringLiteral("資料夾");
    else if (S_ISFIFO(mode))
        kind = QStringLiteral("具名管道 (FIFO)");
    else if (S_ISCHR(mode))
        kind = QStringLiteral("字元裝置");
    else if (S_ISBLK(mode))
        kind = QStringLiteral("區塊裝置");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("通訊端 (socket)");
    return failure(Error::Unreadable, path, 0,
                   QStringLiteral("它不是一般的檔案，而是一個%1").arg(kind));
}

// Reading a FIFO or a device could wait forever before the window is up, so only a
// regular file is opened, and non-blocking in case it was swapped since the check.
Result loadUnix(const QString &path, const Display &display)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return failure(Error::Missing, path);
        return failure(Error::Unreadable, path, 0, unreadableReason(errno));
    }
    if (auto refused = notRegular(st.st_mode, path))
        return *refused;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failure(Error::Unreadable, path, 0, unreadableReason(errno));
    std::optional<Result> problem;
    if (::fstat(fd, &st) != 0)
        problem = failure(Error::Unreadable, path, 0, unreadableReason(errno));
    else
        problem = notRegular(st.st_mode, path);
    // Read one byte past the limit rather than trusting the size the file reports.
    QByteArray bytes(PrizeList::MaxBytes + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (!problem && got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n == 0)
            break;
        if (n > 0)
            got += n;
        else if (errno != EINTR)
            problem = failure(Error::Unreadable, path, 0, unreadableReason(errno));
    }
    ::close(fd);
    if (problem)
        return *problem;
    if (got > PrizeList::MaxBytes)
        return failure(Error::TooLarge, path);
    bytes.truncate(got);
    return PrizeList::parse(bytes, path, display);
}
#endif
} // namespace

Result PrizeList::parse(const QByteArray &input, const QString &path, const Display &display)
{
    struct Mark
    {
        const char *bytes;
        int size;
        Encoding encoding;
    };
    // UTF-32 LE first: its mark begins with the UTF-16 LE one.
    static const Mark marks[] = {{"\xFF\xFE\0\0", 4, Encoding::Utf32LE},
                                 {"\0\0\xFE\xFF", 4, Encoding::Utf32BE},
                                 {"\xEF\xBB\xBF", 3, Encoding::Utf8},
                                 {"\xFF\xFE", 2, Encoding::Utf16LE},
                                 {"\xFE\xFF", 2, Encoding::Utf16BE}};
    QByteArray bytes = input;
    std::optional<Encoding> encoding;
    for (const Mark &m : marks) {
        if (bytes.startsWith(QByteArrayView(m.bytes, m.size))) {
            bytes.remove(0, m.size);
            encoding = m.encoding;
            break;
        }
    }
    if (encoding && *encoding != Encoding::Utf8)
        return parseWide(bytes, *encoding, path, display);
    if (!encoding) {
        encoding = guessEncoding(bytes);
        if (!encoding)
            return failure(Error::Simplified, path);
    }
    const bool utf8 = *encoding == Encoding::Utf8;

    const QList<QByteArray> raw = splitLines(bytes);
    Result r;
    r.encoding = *encoding;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int lineNo = int(n) + 1;
        const QByteArray &line = raw[n];
        if (lineNo > MaxLines)
            return tooManyLines(path, QString::fromLatin1(line));
        if (line.contains('\0'))
            return failure(Error::NulByte, path, lineNo);
        QString text;
        if (utf8) {
            // Only the file's first bytes can be a byte-order mark; it is gone already.
            QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                       QStringDecoder::Flag::ConvertInitialBom);
            text = d.decode(line);
            if (d.hasError())
                return failure(Error::BadText, path, lineNo);
        } else {
            if (!isWellFormedBig5(line))
                return failure(Error::BadText, path, lineNo);
            QStringDecoder d = big5Decoder();
            text = d.decode(line);
            if (d.hasError())
                return failure(Error::BadText, path, lineNo);
        }
        if (auto problem = lineProblem(text, lineNo, path, display))
            return *problem;
        r.lines.append(text);
    }
    return r;
}

Result PrizeList::load(const QString &path, const Display &display)
{
#ifdef Q_OS_UNIX
    return loadUnix(path, display);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return failure(Error::Missing, path);
    if (!info.isFile())
        return failure(Error::Unreadable, path, 0, QStringLiteral("它不是一般的檔案"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::Unreadable, path, 0, unreadableReason(0));
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes)
        return failure(Error::TooLarge, path);
    if (file.error() != QFileDevice::NoError)
        return failure(Error::Unreadable, path, 0, unreadableReason(0));
    return parse(bytes, path, display);
#endif
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
