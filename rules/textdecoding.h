#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <optional>

// From the bytes of a text file to its text: the byte-order marks, the line ends and the
// decoders of the encodings a Traditional Chinese list comes in.
namespace TextDecoding {
enum class Encoding
{
    Utf8,
    Utf16LE,
    Utf16BE,
    Utf32LE,
    Utf32BE,
    Big5
};

// Takes a byte-order mark off the front of bytes and says which encoding it stands for.
std::optional<Encoding> takeByteOrderMark(QByteArray &bytes);
bool isWide(Encoding encoding);
// A workbook saved by Excel rather than text: .xlsx is a ZIP archive, .xls an OLE2
// compound file. Either begins with bytes no text file starts with.
bool isWorkbook(const QByteArray &bytes);
// A whole UTF-16 or UTF-32 body; a cut-off last character becomes U+FFFD, never nothing.
QString decodeWide(const QByteArray &body, Encoding encoding);
// One line of UTF-8 or Big5; nothing when the bytes are not text in that encoding.
std::optional<QString> decodeLine(const QByteArray &line, Encoding encoding);

QStringDecoder big5Decoder();
bool isAscii(const QByteArray &bytes);
bool isWellFormedBig5(const QByteArray &bytes);
bool isWellFormedGbk(const QByteArray &bytes);
// No replacement character and no private-use one: either would show as a box.
bool isPrintable(const QString &text);

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
} // namespace TextDecoding
