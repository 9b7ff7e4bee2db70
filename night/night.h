#pragma once

#include "board.h"
#include "boardchange.h"
#include "remote.h"
#include "sound.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class Random;

// One night of drawing, without widgets: the board's rules, the generator's use, the card
// flow (card, prize, confirmation, closing picture), the night a crash cut short, the hints
// and the black screen. The windows forward the operator's actions here and show what the
// signals say; any number of windows may show the same night.
class Night : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<double()>; // seconds since midnight

    Night(const QStringList &giftLines, Random &random, QObject *parent = nullptr);

    const Board &board() const { return m_board; }
    // Tests set a night up directly; the windows only read it.
    Board &board() { return m_board; }
    Random &random() const { return m_random; }
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // What the night is heard through; silent until set. Not owned.
    void setSound(Sound *sound);
    Sound &sound() const { return *m_sound; }
    void setMuted(bool muted);

    // The operator's actions. A refusal is returned, never shown: the window that asked
    // decides whether a box may appear.
    Board::StartResult start();
    // One step of the running light; the spin timer calls it.
    void tick();
    QTimer &spinTimer() { return m_spinTimer; }
    bool drawCard(int stack); // false: no stop waits for a card
    void rightClick(int cell);
    void discardStop();
    void startSecondRound();
    bool isSecondRound() const { return m_secondRound; }
    void openBingo() { Q_EMIT bingoRequested(); }

    // The prize on screen, as its window reports it.
    int prizeCell() const { return m_prizeCell; }
    void prizeShown(bool opened);
    void prizeOpened();
    void prizeClosing(); // by 確 定 or its close box: the prize has been announced
    void prizeGone();    // the window no longer exists; closed, it counts as confirmed
    void prizeConfirmed();
    void confirmPrize() { Q_EMIT confirmRequested(); }
    bool isPrizeUp() const { return m_prizeUp; }
    // Consolation cells that turn held once the prize window has opened.
    const QList<int> &pendingHeld() const { return m_pendingHeld; }

    // Puts back a board kept from an earlier run; no spin runs afterwards.
    void restore(const Board &board, bool secondRound);
    // What else was on screen when that run ended; it comes back through bringBack(), once
    // the board is shown.
    void resume(bool prizeOpen, int prizeCell, const QList<int> &bingoTaken, bool bingoDrawing);
    bool resumePending() const { return m_resumed.pending; }
    void bringBack();

    // The bingo numbers taken, in order, and whether its draw runs, as its window says.
    void setBingo(const QList<int> &taken, bool drawing);
    const QList<int> &bingoTaken() const { return m_bingoTaken; }
    bool bingoDrawing() const { return m_bingoDrawing; }

    // A line says why Next has nothing to do, until that no longer holds.
    void showHint(Presenter::Hint hint);
    Presenter::Hint hint() const { return m_hint; }
    Presenter::NightState presenterState() const;

    // The projector goes black until any key or click; nothing of the night changes.
    void blackOut();
    void endBlackOut();
    bool isBlackedOut() const { return m_blackedOut; }
    void requestFullScreen(bool on) { Q_EMIT fullScreenRequested(on); }
    void requestShow(bool on) { Q_EMIT showRequested(on); }
    // The show fills the board's own screen: it asks in its line what the board asks in a box.
    void setShowOver(bool over);
    bool isShowOver() const { return m_showOver; }
    // The hall's show is on, over the board or beside it: the remote's questions go there.
    void setShowUp(bool up);
    void ask(Presenter::Question question);
    Presenter::Question question() const { return m_question; }

    // What the close box asks once a number has been drawn, for a night that is kept.
    void setCloseQuestion(const QString &question) { m_closeQuestion = question; }
    QString closeQuestion() const;

Q_SIGNALS:
    // The rules have changed; told before any window shows it, so the journal comes first.
    void boardChanged(BoardChange change, int index);
    // Anything shown may have changed.
    void changed();
    void roundChanged(bool secondRound);
    void spinEnded();
    // An earlier run's windows wait to come back.
    void resumed();
    // A card has drawn the prize for this cell, or a resumed one comes back: show it.
    void prizeDrawn(int cell, const QString &prize);
    void confirmRequested();
    // The last prize is confirmed: the closing picture takes over.
    void finaleRequested();
    void bingoRequested();
    void bingoRestored(const QList<int> &taken, bool drawing);
    void bingoChanged();
    void hintChanged(Presenter::Hint hint);
    void blackOutChanged(bool on);
    void fullScreenRequested(bool on);
    void showRequested(bool on);
    void questionChanged(Presenter::Question question);

private:
    void markPendingHeld();
    void settle();

    Board m_board;
    Random &m_random;
    Clock m_clock;
    QTimer m_spinTimer;
    QElapsedTimer m_spinClock;
    qint64 m_nextTickAt = 0;
    bool m_secondRound = false;

    int m_prizeCell = 0;
    bool m_prizeUp = false;
    bool m_prizeOpened = false;
    bool m_confirmPending = false; // closed, and not yet taken as confirmed
    QList<int> m_pendingHeld;
    Sound::Cue m_prizeCue = Sound::Cue::Fanfare;

    struct Resumed
    {
        bool pending = false;
        bool prizeOpen = false;
        int prizeCell = 0;
        QList<int> bingoTaken;
        bool bingoDrawing = false;
    } m_resumed;
    QList<int> m_bingoTaken;
    bool m_bingoDrawing = false;

    Presenter::Hint m_hint = Presenter::Hint::None;
    bool m_blackedOut = false;
    bool m_showOver = false;
    bool m_showUp = false;
    Presenter::Question m_question = Presenter::Question::None;
    QString m_closeQuestion;

    NullSound m_silent;
    Sound *m_sound = &m_silent;
    bool m_muted = false;
};
