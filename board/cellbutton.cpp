#include "cellbutton.h"

#include "colourui.h"
#include "facebutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

CellButton::CellButton(QWidget *parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CellButton::setBackColour(ColourValue value)
{
    if (value == m_backColour)
        return;
    m_backColour = value;
    update();
}

void CellButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor face = Colour::toQColor(m_backColour, palette());
    const QRect r = rect();
    const bool down = isDown();
    FaceButton::paintFace(p, r, face, down);
    // Keep the number readable on the dark faces (lit blue, excluded black).
    p.setPen(face.lightness() < 100 ? QColor(Qt::white) : palette().color(QPalette::ButtonText));
    p.setFont(font());
    p.drawText(r.translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, text());
}

void CellButton::mousePressEvent(QMouseEvent *event)
{
    // Take the other buttons' presses too, so that their release comes back here.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void CellButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool inside = rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        QPushButton::mouseReleaseEvent(event);
    else
        event->accept();
    if (inside)
        Q_EMIT released(event->button());
}
