#pragma once

#include <QByteArray>
#include <QtEndian>

// Pictures that lie about themselves, for the tests and the bench: headers claiming a size
// with nothing behind it.
namespace HostilePictures {
inline quint32 crc32(const QByteArray &bytes)
{
    quint32 c = 0xFFFFFFFF;
    for (char b : bytes) {
        c ^= uchar(b);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}

inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

inline QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    return be32(quint32(data.size())) + type + data + be32(crc32(type + data));
}

// A PNG that only claims its size: a bomb to whatever believes it.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray ihdr = be32(width) + be32(height) + QByteArray("\x08\x06\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) +
           chunk("IDAT", QByteArray::fromHex("789c030000000001")) + chunk("IEND", {});
}

// A 32-bit BMP header with no pixels behind it.
inline QByteArray bmpClaiming(qint32 width, qint32 height)
{
    QByteArray b(54, '\0');
    uchar *p = reinterpret_cast<uchar *>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(32, p + 28);
    return b;
}
} // namespace HostilePictures
