#pragma once

#include "growingwindow.h"

class QLabel;

// The closing banner shown once every prize is given out. A parentless window that
// deletes itself when its picture is clicked.
class ClosingPicture : public GrowingWindow
{
    Q_OBJECT
public:
    explicit ClosingPicture(QWidget *parent = nullptr);

    // Grows onto the screen over red bands. Once started, a further call only brings
    // the window to the front.
    void open();

Q_SIGNALS:
    // A left click on the picture has closed the window.
    void pictureClicked();
    // The window has closed, by a click on the picture or by the window manager.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void pictureClick();

    QLabel *m_picture = nullptr;
    bool m_pressed = false;
};
