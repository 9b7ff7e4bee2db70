#include "prizelist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>

namespace {
using PrizeList::Error;
using PrizeList::Result;

Result failure(Error error, const QString &path, int line = 0)
{
    const QString where = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QString text;
    switch (error) {
    case Error::Missing:
        text = QStringLiteral(
            "找不到獎品清單檔案 gift.txt：\n%1\n\n請把獎品清單放在程式所在的資料夾。");
        break;
    case Error::Unreadable:
        text = QStringLiteral("無法讀取獎品清單檔案：\n%1");
        break;
    case Error::TooLarge:
        text = QStringLiteral("獎品清單檔案超過 1 MB，不像是獎品清單：\n%1");
        break;
    case Error::TooManyLines:
        text = QStringLiteral("獎品清單最多只能有 56 行，這個檔案超過 56 行：\n%1");
        break;
    case Error::NulByte:
        text = QStringLiteral("獎品清單第 %2 行含有空字元 (NUL)，檔案可能已損壞：\n%1");
        break;
    case Error::BadText:
        text = QStringLiteral(
            "獎品清單第 %2 行含有無法辨識的文字（檔案必須是 Big5 或 UTF-8 編碼）：\n%1");
        break;
    case Error::None:
        break;
    }
    Result r;
    r.error = error;
    r.errorLine = line;
    r.message = line > 0 ? text.arg(where).arg(line) : text.arg(where);
    return r;
}

// CR LF, CR and LF each end a line; a line end after the last line adds nothing.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// Valid UTF-8 that names only assigned characters. Some Big5 text is valid UTF-8 by
// accident; it then decodes to characters no prize list would hold.
bool looksLikeUtf8(const QByteArray &bytes)
{
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = d.decode(bytes);
    if (d.hasError())
        return false;
    for (char32_t u : text.toUcs4())
        if (QChar::category(u) == QChar::Other_NotAssigned)
            return false;
    return true;
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
} // namespace

Result PrizeList::parse(const QByteArray &input, const QString &path)
{
    QByteArray bytes = input;
    bool utf8 = false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
        utf8 = true;
    } else if (!isAscii(bytes) && looksLikeUtf8(bytes)) {
        utf8 = true;
    }

    const QList<QByteArray> raw = splitLines(bytes);
    Result r;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int lineNo = int(n) + 1;
        if (lineNo > MaxLines)
            return failure(Error::TooManyLines, path);
        const QByteArray &line = raw[n];
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
            QStringDecoder d("windows-950", QStringDecoder::Flag::Stateless);
            if (!d.isValid())
                d = QStringDecoder("Big5", QStringDecoder::Flag::Stateless);
            text = d.decode(line);
            if (d.hasError())
                return failure(Error::BadText, path, lineNo);
        }
        if (!isPrintable(text))
            return failure(Error::BadText, path, lineNo);
        r.lines.append(text);
    }
    return r;
}

Result PrizeList::load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failure(Error::Missing, path);
    if (info.isDir())
        return failure(Error::Unreadable, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::Unreadable, path);
    // Read one byte past the limit rather than trusting the size a special file reports.
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes)
        return failure(Error::TooLarge, path);
    if (file.error() != QFileDevice::NoError)
        return failure(Error::Unreadable, path);
    return parse(bytes, path);
}
