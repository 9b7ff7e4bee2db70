#pragma once

#include "aboutbox.h"
#include "bingowindow.h"
#include "closingpicture.h"
#include "cover.h"
#include "prizewindow.h"

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
    // The ground the closing picture stands on in the hall.
    Cover *finaleGround() const { return m_finaleGround; }
    // What a later copy's start brings forward: the board, or the closing picture while
    // the board hides behind it.
    QWidget *front() const;

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

    Night &m_night;
    BoardWindow &m_board;
    PresenterKeys &m_keys;
    QPointer<PrizeWindow> m_prizeWindow;
    QPointer<ClosingPicture> m_closingPicture;
    QPointer<BingoWindow> m_bingoWindow;
    QPointer<AboutBox> m_aboutBox;
    QPointer<Cover> m_blackScreen;
    QPointer<Cover> m_finaleGround;
    // Where the board was before the closing picture hid it.
    Qt::WindowStates m_stateBeforeFinale;
    QRect m_geometryBeforeFinale;
};
