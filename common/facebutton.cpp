#include "facebutton.h"

#include "colourui.h"

#include <QPainter>

FaceButton::FaceButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
}

void FaceButton::setFaceColour(ColourValue value)
{
    if (value == m_face)
        return;
    m_face = value;
    update();
}

void FaceButton::paintFace(QPainter &p, const QRect &r, const QColor &face, bool down)
{
    p.fillRect(r, face);
    // A raised bevel, pressed in while the mouse holds it.
    const QColor light = down ? face.darker(160) : face.lighter(170);
    const QColor dark = down ? face.lighter(170) : face.darker(200);
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void FaceButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool down = isDown();
    paintFace(p, rect(), Colour::toQColor(m_face, palette()), down);
    const QRect inner = rect().adjusted(3, 3, -3, -3).translated(down ? 1 : 0, down ? 1 : 0);
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        p.drawRect(inner.adjusted(0, 0, -1, -1));
    }
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    p.setPen(palette().color(group, QPalette::ButtonText));
    p.setFont(font());
    p.drawText(inner, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
