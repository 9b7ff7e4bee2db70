#pragma once

#include <QLabel>

// A label that owns the mouse presses over it: it reports left clicks, and a press on
// it never reaches the window behind, so it cannot start a drag.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
