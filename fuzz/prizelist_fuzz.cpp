#include "prizelist.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Properties every prize list must keep, whatever bytes it is made of. A broken one
// aborts, so libFuzzer keeps the input as a crash.
namespace {
using PrizeList::Encoding;
using PrizeList::Error;
using PrizeList::Result;

[[noreturn]] void broken(const char *what, const QByteArray &bytes)
{
    std::fprintf(stderr, "prizelist_fuzz: %s\ninput: %s\n", what, bytes.toHex(' ').constData());
    std::abort();
}

bool turnsText(char32_t u)
{
    return u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

// What a projector cannot show, what would split a prize in two, or turn it around. A tab
// shows as a blank.
bool unfit(char32_t u)
{
    const QChar::Category c = QChar::category(u);
    return (c == QChar::Other_Control && u != U'\t') || c == QChar::Separator_Line ||
           c == QChar::Separator_Paragraph || u == QChar::ReplacementCharacter ||
           c == QChar::Other_PrivateUse || turnsText(u);
}

bool isWorkbook(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayView("PK\x03\x04", 4)) ||
           bytes.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

bool hasHighByte(const QByteArray &line)
{
    for (char c : line)
        if (uchar(c) >= 0x80)
            return true;
    return false;
}

bool wide(Encoding e)
{
    return e != Encoding::Utf8 && e != Encoding::Big5;
}

// A face for the Basic Multilingual Plane only, and room for 40 characters: enough to reach
// the reader's checks against the prize window.
PrizeList::Display fakeDisplay()
{
    PrizeList::Display d;
    d.canDraw = [](char32_t u) { return u < 0x10000; };
    d.fits = [](const QString &s) { return s.size() <= 40; };
    return d;
}

// Every line end as a lone LF. Replacing only CR LF is not enough: in "a CR CR LF" the
// lone CR and the LF would meet and become one line end.
QByteArray withLfEnds(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            out.append(bytes[i]);
            continue;
        }
        out.append('\n');
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    return out;
}

bool sameResult(const Result &a, const Result &b)
{
    return a.lines == b.lines && a.error == b.error && a.errorLine == b.errorLine &&
           a.message == b.message;
}

// An accepted file read as UTF-8, UTF-16 or UTF-32 holds exactly the text of its lines:
// nothing lost, nothing added, wherever the line ends fall.
void checkRoundTrip(const QByteArray &bytes, const Result &r)
{
    QStringDecoder::Encoding e = QStringDecoder::Utf8;
    int mark = 0;
    switch (r.encoding) {
    case Encoding::Big5:
        return;
    case Encoding::Utf8:
        mark = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        break;
    case Encoding::Utf16LE:
        e = QStringDecoder::Utf16LE;
        mark = bytes.startsWith("\xFF\xFE") ? 2 : 0; // read without it when its order shows
        break;
    case Encoding::Utf16BE:
        e = QStringDecoder::Utf16BE;
        mark = bytes.startsWith("\xFE\xFF") ? 2 : 0;
        break;
    case Encoding::Utf32LE:
        e = QStringDecoder::Utf32LE;
        mark = 4;
        break;
    case Encoding::Utf32BE:
        e = QStringDecoder::Utf32BE;
        mark = 4;
        break;
    }
    QStringDecoder d(e, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = d.decode(bytes.mid(mark));
    if (d.hasError())
        broken("accepted text does not decode", bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList expected;
    if (!text.isEmpty()) {
        if (text.endsWith(u'\n'))
            text.chop(1);
        expected = text.split(u'\n');
    }
    if (r.lines != expected)
        broken("accepted text is not the text of its lines", bytes);
}

void check(const QByteArray &bytes)
{
    const QString path = QStringLiteral("/party/gift.txt");
    const Result r = PrizeList::parse(bytes, path);

    if (r.ok() != (r.error == Error::None))
        broken("ok() disagrees with the error", bytes);
    if (r.lines.size() > PrizeList::MaxLines)
        broken("more than 56 lines", bytes);
    if (!sameResult(r, PrizeList::parse(bytes, path)))
        broken("two parses of the same bytes differ", bytes);

    if ((r.error == Error::Workbook) != isWorkbook(bytes))
        broken("an Excel file missed, or text taken for one", bytes);
    if (!r.ok()) {
        if (!r.lines.isEmpty())
            broken("lines kept on error", bytes);
        if (r.message.isEmpty() || !r.message.contains(QStringLiteral("gift.txt")))
            broken("error message does not name the file", bytes);
        for (char32_t u : r.message.toUcs4())
            if (u != U'\n' && unfit(u))
                broken("error message holds a control that would scramble it", bytes);
        if (r.error == Error::Missing || r.error == Error::Unreadable || r.error == Error::TooLarge)
            broken("file error from bytes already read", bytes);
        const bool perLine = r.error == Error::NulByte || r.error == Error::BadText ||
                             r.error == Error::ControlChar || r.error == Error::NoGlyph ||
                             r.error == Error::TooLong;
        if (perLine != (r.errorLine >= 1 && r.errorLine <= PrizeList::MaxLines) &&
            r.error != Error::TooManyLines && r.error != Error::Western)
            broken("error line out of range", bytes);
        if (r.error == Error::TooManyLines && r.errorLine != PrizeList::MaxLines + 1)
            broken("too many lines without naming the 57th", bytes);
        if (r.error == Error::Western &&
            !hasHighByte(withLfEnds(bytes).split('\n').value(r.errorLine - 1)))
            broken("a Western list named by a line without accented letters", bytes);
        if (r.error == Error::NulByte && !bytes.contains('\0'))
            broken("NUL reported where there is none", bytes);
        const Result title = PrizeList::parse(bytes, path, {}, PrizeList::Subject::Title);
        if (title.error != r.error || title.errorLine != r.errorLine ||
            !title.message.contains(QStringLiteral("活動標題")) ||
            title.message.contains(QStringLiteral("獎品")))
            broken("the title is refused otherwise, or named as the prize list", bytes);
        return;
    }

    if (bytes.contains('\0') && !wide(r.encoding))
        broken("NUL byte accepted", bytes);
    if (!r.message.isEmpty() || r.errorLine != 0)
        broken("success carries an error", bytes);
    for (const QString &line : r.lines) {
        if (line.toUcs4().size() > PrizeList::MaxLineLength)
            broken("over-long line accepted", bytes);
        for (char32_t u : line.toUcs4()) // unpaired surrogates come back as U+FFFD
            if (unfit(u))
                broken("accepted line holds a control, U+FFFD or a private-use character", bytes);
    }
    if (!wide(r.encoding) && PrizeList::parse(withLfEnds(bytes), path).lines != r.lines)
        broken("the same file with LF line ends reads differently", bytes);
    checkRoundTrip(bytes, r);
}

// The prize window's checks only ever refuse more, and only what they are there for.
void checkDisplay(const QByteArray &bytes)
{
    const QString path = QStringLiteral("/party/gift.txt");
    const Result plain = PrizeList::parse(bytes, path);
    const Result shown = PrizeList::parse(bytes, path, fakeDisplay());
    if (shown.ok()) {
        if (!plain.ok() || plain.lines != shown.lines)
            broken("the prize window's checks accept what the reader refuses", bytes);
        for (const QString &line : shown.lines)
            for (char32_t u : line.toUcs4())
                if (u >= 0x10000 || line.size() > 40)
                    broken("a line the prize window cannot show accepted", bytes);
        return;
    }
    if (sameResult(plain, shown))
        return;
    if (shown.error != Error::NoGlyph && shown.error != Error::TooLong)
        broken("the prize window's checks refuse for another reason", bytes);
    // Before the reader's own refusal, or on the same line before the reader's check.
    const bool tooMany = plain.error == Error::TooManyLines || plain.error == Error::DoubledCr;
    const int last = plain.ok() || tooMany ? PrizeList::MaxLines : plain.errorLine;
    if (shown.errorLine < 1 || shown.errorLine > last)
        broken("the prize window's checks hide an earlier refusal", bytes);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(bytes);
    checkDisplay(bytes);
    return 0;
}
