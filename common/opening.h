#pragma once

#include "colourvalue.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <functional>

// The prize window and the closing picture open the same way: the window grows in
// 31 steps to its full size at a fixed top, centred across the screen, then its client
// area is painted in 64 full-width bands.
struct OpeningPlan
{
    int heightStep = 0; // twips per step, outer size (frame and caption included)
    int widthStep = 0;
    int top = 0;                                  // twips
    std::function<ColourValue(int j)> bandColour; // j = 1..64
    double scale = 1.0; // the window opens this much larger, steps and top alike
};

struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsRect &, const TwipsRect &) = default;
};

namespace Opening {
inline constexpr int Steps = 31;
inline constexpr int StepSize = 10;
inline constexpr int Bands = 64;

// The outer geometry of each growth step, in twips.
QList<TwipsRect> growth(const OpeningPlan &plan, double screenWidthTwips);

// Band j (1..64) of a client area of the given pixel size, in single precision.
QRectF band(int j, QSizeF clientPixels);
} // namespace Opening
