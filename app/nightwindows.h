#pragma once

#include "aboutbox.h"
#include "bingowindow.h"
#include "blackscreen.h"
#include "cover.h"
#include "finale.h"
#include "night.h"
#include "presenterkeys.h"
#include "prizewindow.h"
#include "recordcontroller.h"
#include "recordwindow.h"
#include "showwindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class BoardWindow;
class QMenu;
class WindowUse;

// The windows the night opens beside the board, each when the night says so: the prize
// window, the closing picture, the bingo window, the black screen, the hall's show; and the
// About box and the record when the operator asks.
class NightWindows : public QObject
{
    Q_OBJECT
public:
    NightWindows(Night &night, BoardWindow &board, PresenterKeys &keys);
    ~NightWindows() override;

    PrizeWindow *prizeWindow() const { return m_prizeWindow; }
    ClosingPicture *closingPicture() const { return m_finale->picture(); }
    BingoWindow *bingoWindow() const { return m_bingoWindow; }
    AboutBox *aboutBox() const { return m_aboutBox; }
    Cover *blackScreen() const { return m_blackScreen->cover(); }
    RecordWindow *recordWindow() const { return m_recordWindow; }
    // The hall's show, when it is on: full screen on where, beside the operator's screen or
    // over the board on the one screen there is.
    ShowWindow *showWindow() const { return m_show; }
    void openShow(QScreen *where, bool beside);
    void closeShow();
    // The entries with a key that the show over the board takes too.
    void setViewMenu(QMenu *menu) { m_viewMenu = menu; }
    // The ground the closing picture stands on in the hall.
    Cover *finaleGround() const { return m_finale->ground(); }
    // The program's windows on screen, minimised ones too, from the back to the front as
    // they were last used; the prize window in front, under the black screen and a box
    // waiting for an answer only.
    QList<QWidget *> stack() const;
    // A later copy's start: every window comes back, in that order, as it was before it
    // was minimised. The board stays hidden behind the closing picture.
    void bringForward();

    void showAbout();
    void openBingo();
    void showRecord();
    void setRecord(RecordController *record);
    // What the remote asks of the prize and the bingo window, where a box may ask first.
    void confirmPrize();
    void bingoCommand(PresenterKeys::BingoCommand command);
    // The window that holds the remote's keys takes the keyboard: after a window of the desk
    // has closed, and after the screens changed.
    void takeKeys();

Q_SIGNALS:
    // The show was closed from outside (the window manager): it is to end as by Escape.
    void showEndRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void render(Night::Aspects aspects);
    void showPrize();
    void keepShowInFront();
    void deskWindowActivated(QWidget *window);
    void windowGone(QWidget *window);
    void bringBackOnceSized();

    Night &m_night;
    BoardWindow &m_board;
    PresenterKeys &m_keys;
    QPointer<PrizeWindow> m_prizeWindow;
    QPointer<BingoWindow> m_bingoWindow;
    QPointer<AboutBox> m_aboutBox;
    QPointer<ShowWindow> m_show;
    QPointer<RecordWindow> m_recordWindow;
    QPointer<RecordController> m_record;
    QMenu *m_viewMenu = nullptr;
    WindowUse *m_use = nullptr;
    Finale *m_finale = nullptr;
    BlackScreen *m_blackScreen = nullptr;
    // Every prize window made tonight: hidden ones stay until the board goes.
    QList<QPointer<PrizeWindow>> m_prizeWindows;
    // The bingo window opens the night's draw as it is made: that is not a draw to bring back.
    bool m_openingBingo = false;
};
