#pragma once

#include <QPointF>
#include <QString>
#include <QtCore/qnamespace.h>

#include <optional>

namespace Drag {
// Where a window dragged by its background goes: the point grabbed when the button went
// down stays under the cursor. Only the left button held alone drags; with any other
// buttons the window stays where it is. All values in twips, worked in single precision.
std::optional<QPointF> moved(QPointF windowTopLeft, QPointF cursor, QPointF grab,
                             Qt::MouseButtons buttons);
// Whether the window system moves the window itself: a Wayland client cannot place its
// own windows, so there the drag is handed to the compositor.
bool usesSystemMove(const QString &platformName);
} // namespace Drag
