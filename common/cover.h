#pragma once

#include "colourvalue.h"

#include <QWidget>

class QScreen;

// A window of one colour over a whole screen: the black screen that blanks the projector,
// and the red ground the closing picture stands on.
class Cover : public QWidget
{
    Q_OBJECT
public:
    enum class Keys
    {
        Own,   // every key is the cover's: no shortcut of any window sees it
        Shared // keys go to the shortcuts as in any window
    };

    Cover(ColourValue colour, Keys keys, QWidget *parent = nullptr);

    // Full screen on the given screen, in front and with the keyboard.
    void showOn(QScreen *screen);

Q_SIGNALS:
    void clicked();
    // A key that reached the cover itself; its repeats never do.
    void keyPressed(int key);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Keys m_keys;
};
