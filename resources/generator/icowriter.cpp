#include "icowriter.h"

#include <stdexcept>
#include <string>

namespace {

void putU8(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
}

void putU16(QByteArray &out, int v)
{
    putU8(out, v);
    putU8(out, v >> 8);
}

void putU32(QByteArray &out, quint32 v)
{
    putU16(out, int(v & 0xffff));
    putU16(out, int(v >> 16));
}

int rowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

int paletteSize(int bitsPerPixel)
{
    return bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
}

const QList<QRgb> &paletteFor(int bitsPerPixel)
{
    return bitsPerPixel == 1 ? Ico::monochromePalette() : Ico::windowsPalette();
}

int paletteIndex(const QList<QRgb> &palette, QRgb colour, int x, int y)
{
    const qsizetype i = palette.indexOf(qRgb(qRed(colour), qGreen(colour), qBlue(colour)));
    if (i < 0)
        throw std::runtime_error("pixel " + std::to_string(x) + "," + std::to_string(y) +
                                 " is not a palette colour");
    return int(i);
}

QByteArray encodeImage(const Ico::Entry &entry)
{
    const QImage img = entry.image.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int bpp = entry.bitsPerPixel;
    const int colourRow = rowBytes(w, bpp);
    const int maskRow = rowBytes(w, 1);

    QByteArray out;
    putU32(out, 40);
    putU32(out, quint32(w));
    putU32(out, quint32(2 * h)); // colour bits and mask stacked
    putU16(out, 1);
    putU16(out, bpp);
    putU32(out, 0);
    putU32(out, quint32((colourRow + maskRow) * h));
    putU32(out, 0);
    putU32(out, 0);
    putU32(out, 0);
    putU32(out, 0);

    const QList<QRgb> &palette = paletteFor(bpp);
    if (bpp != 32) {
        for (QRgb c : palette) {
            putU8(out, qBlue(c));
            putU8(out, qGreen(c));
            putU8(out, qRed(c));
            putU8(out, 0);
        }
    }

    // Rows run bottom-up. A transparent pixel is black in the colour bits so that the
    // screen shows through unchanged where the mask lets it.
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x];
            const bool clear = qAlpha(c) == 0;
            if (bpp == 32) {
                row[4 * x] = char(clear ? 0 : qBlue(c));
                row[4 * x + 1] = char(clear ? 0 : qGreen(c));
                row[4 * x + 2] = char(clear ? 0 : qRed(c));
                row[4 * x + 3] = char(qAlpha(c));
                continue;
            }
            if (!clear && qAlpha(c) != 255)
                throw std::runtime_error("palette image with partial transparency");
            const int index = clear ? 0 : paletteIndex(palette, c, x, y);
            if (bpp == 4)
                row[x / 2] = char(row[x / 2] | (x % 2 ? index : index << 4));
            else
                row[x / 8] = char(row[x / 8] | (index << (7 - x % 8)));
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (1 << (7 - x % 8)));
        }
        out.append(row);
    }
    return out;
}

} // namespace

const QList<QRgb> &Ico::windowsPalette()
{
    static const QList<QRgb> palette = {
        qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00),
        qRgb(0x80, 0x80, 0x00), qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80),
        qRgb(0x00, 0x80, 0x80), qRgb(0xc0, 0xc0, 0xc0), qRgb(0x80, 0x80, 0x80),
        qRgb(0xff, 0x00, 0x00), qRgb(0x00, 0xff, 0x00), qRgb(0xff, 0xff, 0x00),
        qRgb(0x00, 0x00, 0xff), qRgb(0xff, 0x00, 0xff), qRgb(0x00, 0xff, 0xff),
        qRgb(0xff, 0xff, 0xff)};
    return palette;
}

const QList<QRgb> &Ico::monochromePalette()
{
    static const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(0xff, 0xff, 0xff)};
    return palette;
}

qsizetype Ico::imageBytes(int width, int height, int bitsPerPixel)
{
    return 40 + 4 * paletteSize(bitsPerPixel) +
           qsizetype(rowBytes(width, bitsPerPixel) + rowBytes(width, 1)) * height;
}

QByteArray Ico::encode(const QList<Entry> &entries)
{
    QList<QByteArray> images;
    for (const Entry &e : entries) {
        images.append(encodeImage(e));
        if (images.last().size() != imageBytes(e.image.width(), e.image.height(), e.bitsPerPixel))
            throw std::runtime_error("icon image size mismatch");
    }

    QByteArray out;
    putU16(out, 0);
    putU16(out, 1);
    putU16(out, int(entries.size()));
    quint32 offset = quint32(6 + 16 * entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        putU8(out, e.image.width() % 256);
        putU8(out, e.image.height() % 256);
        putU8(out, paletteSize(e.bitsPerPixel) % 256);
        putU8(out, 0);
        putU16(out, 1);
        putU16(out, e.bitsPerPixel);
        putU32(out, quint32(images[i].size()));
        putU32(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray &img : images)
        out.append(img);
    return out;
}
