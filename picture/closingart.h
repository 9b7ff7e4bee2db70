#pragma once

#include "colourvalue.h"
#include "look.h"

#include <QRect>
#include <QSize>

// What the closing picture and the hall's show draw alike at the end of the night: the
// picture enlarged on a red ground.
namespace ClosingArt {
inline constexpr ColourValue Ground = Look::ClosingGround;
// The picture's window at the design, in pixels.
inline constexpr QSize Design(540, 240);
// How much larger it stands in the hall: three quarters of the screen's width unless the
// height does not allow it.
double hallScale(QSize screen);
// Where it stands, centred on a screen of that size.
QRect hallRect(QSize screen);
} // namespace ClosingArt
