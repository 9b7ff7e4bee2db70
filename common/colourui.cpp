#include "colourui.h"

#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

QColor Colour::toQColor(ColourValue value, const QPalette &palette)
{
    if (!isSystem(value))
        return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    switch (value & 0xFF) {
    case 8:
        return palette.color(QPalette::WindowText);
    case 10:
        // Qt has no active-border role; this is the classic desktop's value.
        return QColor(0xB4, 0xB4, 0xB4);
    case 15:
        return palette.color(QPalette::Button);
    case 18:
        return palette.color(QPalette::ButtonText);
    default:
        return palette.color(QPalette::Window);
    }
}

void Colour::setRole(QWidget *w, QPalette::ColorRole role, ColourValue value)
{
    QPalette p = w->palette();
    p.setColor(role, toQColor(value, p));
    w->setPalette(p);
}

QIcon Colour::noIcon()
{
    QPixmap pixmap(1, 1);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}
