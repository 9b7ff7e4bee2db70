#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Windows icon files written by hand, so that each image keeps exactly the colour depth and
// byte size the program is drawn for (Qt's own writer only stores 32-bit images).
namespace Ico {

struct Entry
{
    QImage image;     // ARGB32; alpha 0 marks the transparent ground
    int bitsPerPixel; // 1, 4 or 32
};

// The 16 colours of the classic Windows palette, in its order.
const QList<QRgb> &windowsPalette();

// Black and white, for monochrome images.
const QList<QRgb> &monochromePalette();

// Byte size of one image (header, palette, colour bits and mask) as written.
qsizetype imageBytes(int width, int height, int bitsPerPixel);

// Every opaque pixel of a 1- or 4-bit entry must be a colour of its palette.
QByteArray encode(const QList<Entry> &entries);

} // namespace Ico
