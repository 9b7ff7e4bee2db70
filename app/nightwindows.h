#pragma once

#include "aboutbox.h"
#include "bingowindow.h"
#include "closingpicture.h"
#include "cover.h"
#include "prizewindow.h"
#include "showwindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

class BoardWindow;
class Night;
class PresenterKeys;

// The windows the night opens beside the board, each on the night's word: the prize
// window, the closing picture, the bingo window, the black screen, and the About box.
class NightWindows : public QObject
{
    Q_OBJECT
public:
    NightWindows(Night &night, BoardWindow &board, PresenterKeys &keys);
    ~NightWindows() override;

    PrizeWindow *prizeWindow() const { return m_prizeWindow; }
    ClosingPicture *closingPicture() const { return m_closingPicture; }
    BingoWindow *bingoWindow() const { return m_bingoWindow; }
    AboutBox *aboutBox() const { return m_aboutBox; }
    Cover *blackScreen() const { return m_blackScreen; }
    // The hall's show, when it is on: full screen on where, beside the operator's screen or
    // over the board on the one screen there is.
    ShowWindow *showWindow() const { return m_show; }
    void openShow(QScreen *where, bool beside);
    void closeShow();
    // The ground the closing picture stands on in the hall.
    Cover *finaleGround() const { return m_finaleGround; }
    // The program's windows on screen, minimised ones too, from the back to the front as
    // they were last used; the prize window in front, under the black screen and a box
    // waiting for an answer only.
    QList<QWidget *> stack() const;
    // A later copy's start: every window comes back, in that order, as it was before it
    // was minimised. The board stays hidden behind the closing picture.
    void bringForward();

    void showAbout();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPrize(int cell, const QString &prize);
    void confirmPrize();
    void showFinale();
    void showBoardAgain();
    void openBingo();
    void blackOut(bool on);
    void keepShowInFront();
    void deskWindowActivated(QWidget *window);

    Night &m_night;
    BoardWindow &m_board;
    PresenterKeys &m_keys;
    QPointer<PrizeWindow> m_prizeWindow;
    QPointer<ClosingPicture> m_closingPicture;
    QPointer<BingoWindow> m_bingoWindow;
    QPointer<AboutBox> m_aboutBox;
    QPointer<Cover> m_blackScreen;
    QPointer<Cover> m_finaleGround;
    QPointer<ShowWindow> m_show;
    class WindowUse;
    WindowUse *m_use = nullptr;
    // Where the board was before the closing picture hid it.
    Qt::WindowStates m_stateBeforeFinale;
    QRect m_geometryBeforeFinale;
};
