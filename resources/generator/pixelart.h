#pragma once

#include <QHash>
#include <QImage>

#include <functional>

class QPainter;

// Small palette images: the motif is painted unsmoothed at several times the size, then each
// pixel takes the colour that covers the largest share of its block. Edges stay in the palette
// and curves come out rounder than Qt's own aliased rasteriser draws them at 1:1.
namespace PixelArt {

// draw paints in the image's own pixel units; weights (default 1) let thin outlines win
// their pixels against the fill beside them. Transparent is qRgba(0, 0, 0, 0).
QImage render(int size, const std::function<void(QPainter &)> &draw,
              const QHash<QRgb, double> &weights = {}, int factor = 8);

// Smooth rendering of the same motif, for true-colour images.
QImage renderSmooth(int size, double scale, const std::function<void(QPainter &)> &draw);

} // namespace PixelArt
