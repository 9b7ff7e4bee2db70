#include "drag.h"

std::optional<QPointF> Drag::moved(QPointF windowTopLeft, QPointF cursor, QPointF grab,
                                   Qt::MouseButtons buttons)
{
    if (buttons != Qt::LeftButton)
        return std::nullopt;
    const float left = float(windowTopLeft.x()) + (float(cursor.x()) - float(grab.x()));
    const float top = float(windowTopLeft.y()) + (float(cursor.y()) - float(grab.y()));
    return QPointF(left, top);
}

bool Drag::usesSystemMove(const QString &platformName)
{
    return platformName.startsWith(QLatin1String("wayland"));
}
