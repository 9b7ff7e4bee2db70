#pragma once

#include "colourvalue.h"

#include <QPushButton>

class QPainter;

// A graphical-style button: its face is its colour, flat, inside a raised edge, so the
// colour shows as stored whatever the style would make of it.
class FaceButton : public QPushButton
{
    Q_OBJECT
public:
    explicit FaceButton(const QString &text, QWidget *parent = nullptr);

    ColourValue faceColour() const { return m_face; }
    void setFaceColour(ColourValue value);

    // The face and edge a graphical-style button shows, also for the board's cells.
    static void paintFace(QPainter &p, const QRect &r, const QColor &face, bool down);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ColourValue m_face = Colour::ButtonFace;
};
