#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Animated GIF89a, written by hand: Qt reads GIF but cannot write it.
namespace Gif {

struct Frame
{
    QImage image;   // every frame has the size of the first; alpha is ignored
    int delay = 10; // in hundredths of a second
};

// One global table of at most 256 colours shared by all frames (median cut when the frames
// hold more), LZW-compressed full frames, looping forever.
QByteArray encode(const QList<Frame> &frames);

// Code stream for the given colour indices, without the sub-block framing.
QByteArray lzw(const QByteArray &indices, int minCodeSize);

} // namespace Gif
