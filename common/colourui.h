#pragma once

#include "colourvalue.h"

#include <QColor>

class QPalette;

namespace Colour {
// What a stored value looks like: RGB values as they are, system colours through
// the palette of the current style.
QColor toQColor(ColourValue value, const QPalette &palette);
} // namespace Colour
