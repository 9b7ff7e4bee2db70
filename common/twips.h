#pragma once

#include <QRect>

#include <cmath>

// Layouts are designed in twips; 15 twips make one device-independent pixel, so
// Qt's own scaling takes care of high-DPI screens.
namespace Twips {
inline constexpr int PerPixel = 15;

constexpr int toPixels(double twips)
{
    // Round half away from zero, as the edges of neighbouring controls must agree.
    return twips >= 0 ? int(twips / PerPixel + 0.5) : -int(-twips / PerPixel + 0.5);
}

// Converts both edges, so that controls that touch in twips touch in pixels.
constexpr QRect rect(double left, double top, double width, double height)
{
    const int l = toPixels(left);
    const int t = toPixels(top);
    return QRect(l, t, toPixels(left + width) - l, toPixels(top + height) - t);
}
} // namespace Twips
