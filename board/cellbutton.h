#pragma once

#include "colourvalue.h"

#include <QPushButton>

// A number cell: a flat-faced button whose face is its stored colour value.
class CellButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CellButton(QWidget *parent = nullptr);

    ColourValue backColour() const { return m_backColour; }
    void setBackColour(ColourValue value);

Q_SIGNALS:
    // Any mouse button released over the cell.
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ColourValue m_backColour = Colour::ButtonFace;
};
