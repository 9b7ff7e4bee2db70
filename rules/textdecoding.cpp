#include "textdecoding.h"

#include <QByteArrayView>

using TextDecoding::Encoding;

std::optional<Encoding> TextDecoding::takeByteOrderMark(QByteArray &bytes)
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
    for (const Mark &m : marks) {
        if (bytes.startsWith(QByteArrayView(m.bytes, m.size))) {
            bytes.remove(0, m.size);
            return m.encoding;
        }
    }
    return std::nullopt;
}

bool TextDecoding::isWorkbook(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayView("PK\x03\x04", 4)) ||
           bytes.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

bool TextDecoding::isWide(Encoding encoding)
{
    return encoding != Encoding::Utf8 && encoding != Encoding::Big5;
}

QString TextDecoding::decodeWide(const QByteArray &body, Encoding encoding)
{
    QStringDecoder::Encoding e = QStringDecoder::Utf16LE;
    int unit = 2;
    switch (encoding) {
    case Encoding::Utf16BE:
        e = QStringDecoder::Utf16BE;
        break;
    case Encoding::Utf32LE:
        e = QStringDecoder::Utf32LE;
        unit = 4;
        break;
    case Encoding::Utf32BE:
        e = QStringDecoder::Utf32BE;
        unit = 4;
        break;
    default:
        break;
    }
    QStringDecoder d(e, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = d.decode(body);
    // Some decoders drop a cut-off last character; it must not vanish silently.
    if (body.size() % unit != 0)
        text.append(QChar::ReplacementCharacter);
    return text;
}

std::optional<QString> TextDecoding::decodeLine(const QByteArray &line, Encoding encoding)
{
    QStringDecoder d;
    if (encoding == Encoding::Big5) {
        if (!isWellFormedBig5(line))
            return std::nullopt;
        d = big5Decoder();
    } else {
        // Only the file's first bytes can be a byte-order mark, and it is gone already.
        d = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    }
    QString text = d.decode(line);
    if (d.hasError())
        return std::nullopt;
    return text;
}

QStringDecoder TextDecoding::big5Decoder()
{
    QStringDecoder d("windows-950", QStringDecoder::Flag::Stateless);
    if (!d.isValid())
        d = QStringDecoder("Big5", QStringDecoder::Flag::Stateless);
    return d;
}

bool TextDecoding::isAscii(const QByteArray &bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

namespace {
// ASCII, or a lead byte 0x81..0xFE followed by a trail byte the encoding allows.
template <typename TrailOk> bool isWellFormedDoubleByte(const QByteArray &bytes, TrailOk trailOk)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x80)
            continue;
        if (c < 0x81 || c > 0xFE || i + 1 >= bytes.size() || !trailOk(uchar(bytes[++i])))
            return false;
    }
    return true;
}
} // namespace

// Code page 950: trail bytes 0x40..0x7E or 0xA1..0xFE. ICU maps some invalid sequences
// silently, so the structure is checked here first.
bool TextDecoding::isWellFormedBig5(const QByteArray &bytes)
{
    return isWellFormedDoubleByte(
        bytes, [](uchar t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE); });
}

// GBK: trail bytes 0x40..0xFE other than 0x7F.
bool TextDecoding::isWellFormedGbk(const QByteArray &bytes)
{
    return isWellFormedDoubleByte(bytes,
                                  [](uchar t) { return t >= 0x40 && t != 0x7F && t <= 0xFE; });
}

// Checked by code point, since the private-use planes 15 and 16 come as surrogate pairs.
bool TextDecoding::isPrintable(const QString &text)
{
    for (char32_t u : text.toUcs4()) {
        if (u == QChar::ReplacementCharacter || QChar::category(u) == QChar::Other_PrivateUse)
            return false;
    }
    return true;
}
