#pragma once

#include "bingodraw.h"
#include "board.h"
#include "boardchange.h"
#include "gallery.h"
#include "guest.h"
#include "remote.h"
#include "sound.h"

#include <QElapsedTimer>
#include <QFlags>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>

#include <functional>

class Random;

// One night of drawing, without widgets: the board's rules, the generator's use, the card
// flow (card, prize, confirmation, closing picture), the night a crash cut short, the hints,
// the questions, the bingo draw's numbers, the black screen and the show. The windows forward
// the operator's actions here and draw what it says; changed() tells them what to draw again,
// so any number of windows show the same night.
class Night : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<double()>; // seconds since midnight

    // What a view may have to draw again.
    enum Aspect
    {
        Cells = 1 << 0,  // the cells' colours and markers: every step of the light
        Counts = 1 << 1, // the counter, the stacks, what Start and the cards allow, the prize text
        Spin = 1 << 2,   // the light started or stopped
        Round = 1 << 3,
        Prize = 1 << 4, // the prize on screen: drawn, growing, shown, gone
        Line = 1 << 5,  // the question, else the hint
        Bingo = 1 << 6, // the bingo draw opened, closed, started, held, stopped; a number taken
        Finale = 1 << 7,
        BlackOut = 1 << 8,
        Show = 1 << 9,
        Title = 1 << 10,
        View = 1 << 11,      // the board full screen or not
        Guests = 1 << 12,    // the guest list, and the name announced with the stop
        BingoRoll = 1 << 13, // the bingo draw's number on display: every pass while it rolls
        Everything = (1 << 14) - 1
    };
    Q_DECLARE_FLAGS(Aspects, Aspect)
    Q_FLAG(Aspects)

    // The prize a card has drawn, from the card until it is confirmed.
    enum class PrizeStage
    {
        None,
        Drawn,   // no window shows it yet
        Growing, // its window grows onto the screen
        Shown    // announced: the fanfare has played
    };
    struct PrizeOnScreen
    {
        PrizeStage stage = PrizeStage::None;
        int cell = 0;
        QString text;
        Guest guest;     // who the number stands for, as announced
        QString picture; // the prize's picture, a file beside the program; none without one
        int serial = 0;  // one more for every card, so that a view tells a new prize from the last
    };

    // The bingo draw as the views show it.
    struct BingoState
    {
        bool open = false;
        bool drawing = false;
        bool paused = false;
        QList<int> taken; // in the order they were taken
        QString rolling;  // the number the draw shows while it rolls
        bool operator==(const BingoState &) const = default;
    };

    // Where the hall's show stands: off, filling the board's own screen, or on a screen of
    // its own beside the operator's.
    enum class ShowMode
    {
        Off,
        Over,
        Beside
    };

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
    bool isSpinning() const { return m_board.timer1Enabled; }
    bool drawCard(int stack); // false: no stop waits for a card
    void rightClick(int cell);
    void discardStop();
    void startSecondRound();
    bool isSecondRound() const { return m_secondRound; }

    // The prize on screen; its window says how far it has come, and None once it is
    // confirmed (by 確 定 or its close box alike). The last one leads to the finale.
    const PrizeOnScreen &prize() const { return m_prize; }
    void reportPrize(PrizeStage stage);
    // The board as the journal keeps it: a consolation number waiting for its prize window
    // already held.
    Board settledBoard() const;
    // The winning number (1..56) from the stop until its prize is confirmed; 0 while the
    // light runs or no number waits.
    int shownNumber() const;

    // The closing picture after the last prize, until it leads back to the board.
    bool isFinale() const { return m_finale; }
    void endFinale();

    // Puts back a board kept from an earlier run, whether it was full screen, and who its
    // stops were announced as by number (the journal's word, whatever the list says now; the
    // last stop's too); no spin runs afterwards.
    void restore(const Board &board, bool secondRound, bool fullScreen,
                 const QMap<int, Guest> &announced = {});
    // What else was on screen when that run ended; it comes back through bringBack(), once
    // the board is shown.
    void resume(bool prizeOpen, int prizeCell, const QList<int> &bingoTaken, bool bingoDrawing);
    bool resumePending() const { return m_resumed.pending; }
    void bringBack();

    // The bingo draw of 1..25. Its window forwards the operator's actions here. The draw
    // runs on the event loop, one pass per tick of bingoTimer(), so that every window keeps
    // working meanwhile.
    const BingoState &bingo() const { return m_bingo; }
    const BingoDraw &bingoDraw() const { return m_bingoDraw; }
    QTimer &bingoTimer() { return m_bingoTimer; }
    void openBingo();
    // A new draw; asking over numbers taken is for whoever forwards it. Nothing while one runs.
    void startBingo();
    // The number on display goes into the next box at the next pass.
    void takeBingo();
    // The rolling holds on the number shown, and goes on from there; a take waits for it.
    void pauseBingo();
    void resumeBingo();
    void clearBingo();
    // The draw ends, and the numbers taken go with it.
    void closeBingo();
    // Open again with these numbers taken (each 1..25, none twice), rolling if it rolled.
    void restoreBingo(const QList<int> &taken, bool drawing);
    // One pass of the draw, as a tick of bingoTimer() runs it.
    void bingoStep();

    // The line the board and the show give the operator: a question the remote answers, else
    // why Next has nothing to do.
    QString line() const;
    Presenter::Hint hint() const { return m_hint; }
    Presenter::Question question() const { return m_question; }
    // Next had nothing to do: the line says why, until that no longer holds.
    void explain();
    void ask(Presenter::Question question);
    // The question standing is answered; the board's own (the round, the card) are acted on
    // here. Gives the question answered.
    Presenter::Question answer(bool yes);
    Presenter::NightState presenterState() const;

    // The projector goes black until any key or click; nothing of the night changes.
    void blackOut();
    void endBlackOut();
    bool isBlackedOut() const { return m_blackedOut; }

    ShowMode showMode() const { return m_showMode; }
    void setShowMode(ShowMode mode);
    // The board fills its screen; the journal keeps it.
    bool isFullScreen() const { return m_fullScreen; }
    void setFullScreen(bool on);

    // The names of tonight's numbers, from the guest list; none without one.
    void setGuests(const QMap<int, Guest> &guests);
    bool hasGuests() const { return !m_guests.isEmpty(); }
    Guest guest(int number) const { return m_guests.value(number); }
    // Who the last stop's number was announced as, from the list as it stood then.
    Guest stopGuest() const { return m_stopGuest; }
    // That name from the stop until its prize is confirmed; none while the light runs.
    Guest shownGuest() const;
    // Who a number names on the board: the guest it was announced as while it is out of
    // play (nobody, if the list named nobody then), else the list in force.
    Guest cellGuest(int number) const;

    // The pictures beside the program: the prize's goes with the prize, the winner's photo
    // with the guest, from the next stop and card on.
    void setGallery(const Gallery &gallery);
    const Gallery &gallery() const { return m_gallery; }

    // The event's own title line, or the design's.
    QString title() const { return m_title; }
    void setTitle(const QString &title);

Q_SIGNALS:
    // The rules have changed; told before any window shows it, so the journal comes first.
    void boardChanged(BoardChange change, int index);
    // What the views draw again.
    void changed(Night::Aspects aspects);

private:
    void markPendingHeld();
    Guest withPhoto(int number, Guest guest) const;
    QString prizePicture() const;
    void runBingo(bool on);
    void putBackBingo(const QList<int> &taken, bool drawing);
    // The views' copy of the draw, then what changed.
    Aspects refreshBingo(Aspects aspects);
    void settle(Aspects aspects);
    // Emits changed(), one delivery at a time.
    void tell(Aspects aspects);

    Board m_board;
    QStringList m_giftLines;
    Gallery m_gallery;
    Random &m_random;
    Clock m_clock;
    QTimer m_spinTimer;
    QElapsedTimer m_spinClock;
    qint64 m_nextTickAt = 0;
    bool m_secondRound = false;

    PrizeOnScreen m_prize;
    // Consolation cells that turn held once the prize window has opened.
    QList<int> m_pendingHeld;
    Sound::Cue m_prizeCue = Sound::Cue::Fanfare;
    bool m_finale = false;

    struct Resumed
    {
        bool pending = false;
        bool prizeOpen = false;
        int prizeCell = 0;
        BingoState bingo;
    } m_resumed;
    BingoDraw m_bingoDraw;
    QTimer m_bingoTimer;
    BingoState m_bingo;

    Presenter::Hint m_hint = Presenter::Hint::None;
    Presenter::Question m_question = Presenter::Question::None;
    bool m_blackedOut = false;
    ShowMode m_showMode = ShowMode::Off;
    bool m_fullScreen = false;
    QString m_title;
    QMap<int, Guest> m_guests;
    // Named at the stop, from the list as it stood then.
    Guest m_stopGuest;
    // Every number stopped on while it stays out of play, as it was announced.
    QMap<int, Guest> m_announced;

    bool m_telling = false;
    Aspects m_untold = {};

    NullSound m_silent;
    Sound *m_sound = &m_silent;
    bool m_muted = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Night::Aspects)
