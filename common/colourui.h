#pragma once

#include "colourvalue.h"

#include <QColor>
#include <QPalette>

class QIcon;
class QWidget;

namespace Colour {
// What a stored value looks like: RGB values as they are, system colours through
// the palette of the current style.
QColor toQColor(ColourValue value, const QPalette &palette);
// Sets one colour role of a widget to a stored value.
void setRole(QWidget *w, QPalette::ColorRole role, ColourValue value);
// An explicit empty icon, so that a window does not take on the application's.
QIcon noIcon();
} // namespace Colour
