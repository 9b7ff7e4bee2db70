#pragma once

#include "showscreen.h"

#include <QObject>
#include <QPointer>

class BoardWindow;
class Night;
class NightWindows;
class QScreen;

// Where the hall's show goes. With two screens or more the board is the operator's desk on
// one and the show fills another, found without asking; with one screen the show fills it
// over the board while it runs (F5 to Escape). The screen chosen for the show is kept by its
// name for the next night.
class Projection : public QObject
{
    Q_OBJECT
public:
    Projection(Night &night, BoardWindow &board, NightWindows &windows);

    // Once the board is shown: on two screens or more the show opens on its own.
    void start();
    // The show on or off: on its own screen, or over the board on the only one.
    void setShowOn(bool on);
    bool isShowOn() const;
    // The remote's slide show keys: F5 puts the show on, Escape ends it.
    void requestShow(bool on);
    // The board and the show trade screens.
    void swapScreens();
    void chooseScreen(const QString &name);

    // The operator's screen, before the board is there too.
    static QScreen *deskScreen();
    QScreen *showScreen() const; // none on one screen

    // The screens chosen on an earlier night, by name.
    static QString chosenShow();
    static QString chosenDesk();
    static void remember(const QString &show, const QString &desk);

Q_SIGNALS:
    // The screens, or the one chosen for the show, have changed.
    void screensChanged();

private:
    // Screens came or went (a projector unplugged, plugged in again): the show follows its
    // screen, and every other window left off the screens comes onto the desk.
    void followScreens();
    void screenGoing(QScreen *screen);
    static ShowScreen::Choice choice();
    void placeBoard(QScreen *screen);

    Night &m_night;
    BoardWindow &m_board;
    NightWindows &m_windows;
    // The operator wants the show on the projector: it comes back with its screen.
    bool m_wanted = false;
};
