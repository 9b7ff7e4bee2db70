#include "bingowindow.h"
#include "closingpicture.h"
#include "cover.h"
#include "drive.h"
#include "manualclock.h"
#include "presenterkeys.h"
#include "prizewindow.h"
#include "prompt.h"
#include "repeatguard.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>

#include <functional>

// A presenter remote and the keyboard, in every window and every state of the night.
class TestPresenterKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void boardKeys_data();
    void boardKeys();
    void bingoKeys_data();
    void bingoKeys();
    void fullScreen();
    void bingoFromTheShow();
    void showAsks_data();
    void showAsks();
    void finaleKeys_data();
    void finaleKeys();
    void blackScreenKeys_data();
    void blackScreenKeys();
    void autoRepeat_data();
    void autoRepeat();
    void heldAfterClose();
    void bingoQuestionByRemote_data();
    void bingoQuestionByRemote();
    void bingoQuestionIgnoresTheHeldKey_data();
    void bingoQuestionIgnoresTheHeldKey();

private:
    // Settles and held keys go by this clock alone: the test moves it on.
    void settle(qint64 ms = 2 * RepeatGuard::SettleMs);

    QStringList m_refusals;
    ManualClock m_clock;
};

namespace {
const QList<QPair<const char *, Qt::Key>> Keys = {
    {"PageDown", Qt::Key_PageDown},
    {"PageUp", Qt::Key_PageUp},
    {"Right", Qt::Key_Right},
    {"Left", Qt::Key_Left},
    {"Space", Qt::Key_Space},
    {"Return", Qt::Key_Return},
    {"Enter", Qt::Key_Enter},
    {"1", Qt::Key_1},
    {"2", Qt::Key_2},
    {"3", Qt::Key_3},
    {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},
    {"F5", Qt::Key_F5},
    {"Escape", Qt::Key_Escape},
    {"B", Qt::Key_B},
    {"Period", Qt::Key_Period},
    {"Slash", Qt::Key_Slash},
};

enum class State
{
    Idle,
    Spinning,
    Awaiting,
    AwaitingStacksEmpty,
    AwaitingFateEmpty,
    PrizeOpening,
    PrizeOpened,
    PrizeOpenedAwaiting,
    NoFreeCell,
    NoFreeCellSecondRound,
    NoCardLeft,
    FullScreen,
    ShowIdle,
    ShowAwaiting,
    ShowNoFreeCell,
    ShowBingoTaken,
    BesideNoFreeCell, // the show on a screen of its own
};

using Drive::spinToStop;

QList<int> allBingoNumbers()
{
    QList<int> all;
    for (int n = 25; n >= 1; --n)
        all << n;
    return all;
}

// Waits for the window itself to have the keys: Qt counts a window active as soon as the
// window it belongs to is, before its own activation has come through.
bool isActiveWindow(QWidget *window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

// Runs the script on the question box once it is up and has the focus, from within the
// box's own event loop.
void whenAsked(const std::function<void(QMessageBox *)> &script)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, script] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        // A box the keys failed to answer must not hang the test.
        QTimer::singleShot(10000, box, [box] {
            qWarning("the question box was left open");
            box->reject();
        });
        box->activateWindow();
        if (!isActiveWindow(box))
            qWarning("the question box never got the focus");
        script(box);
    });
    poll->start();
}

void activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(isActiveWindow(window));
    // A prize window is confirmed only once the hall can see it.
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void setUp(Stage &w, State state)
{
    w.boardWindow().show();
    switch (state) {
    case State::Idle:
        break;
    case State::Spinning:
        w.boardWindow().start();
        break;
    case State::Awaiting:
        spinToStop(w);
        break;
    case State::AwaitingStacksEmpty:
        spinToStop(w);
        w.night().board().cardEnabled = {false, false};
        break;
    case State::AwaitingFateEmpty:
        spinToStop(w);
        w.night().board().cardEnabled = {true, false};
        break;
    case State::PrizeOpening:
        spinToStop(w);
        w.boardWindow().drawCard(Board::Chance);
        break;
    case State::PrizeOpened:
        spinToStop(w);
        w.boardWindow().drawCard(Board::Chance);
        w.windows().prizeWindow()->finishOpening();
        break;
    case State::PrizeOpenedAwaiting:
        spinToStop(w);
        w.boardWindow().drawCard(Board::Chance);
        w.windows().prizeWindow()->finishOpening();
        spinToStop(w);
        break;
    case State::NoFreeCell:
        w.night().board().cells.fill(Cell::Excluded);
        break;
    case State::NoFreeCellSecondRound:
        w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->setChecked(true);
        w.night().board().cells.fill(Cell::Excluded);
        break;
    case State::NoCardLeft:
        w.night().board().cardEnabled = {false, false};
        break;
    case State::FullScreen:
        w.boardWindow().showFullScreen();
        QTRY_VERIFY(w.boardWindow().isFullScreen());
        break;
    case State::BesideNoFreeCell:
        w.night().board().cells.fill(Cell::Excluded);
        w.night().setShowMode(Night::ShowMode::Beside);
        break;
    case State::ShowBingoTaken:
        w.projection().setShowOn(true);
        w.windows().openBingo();
        w.windows().bingoWindow()->restore({3, 7}, false);
        break;
    case State::ShowIdle:
    case State::ShowAwaiting:
    case State::ShowNoFreeCell:
        if (state == State::ShowAwaiting)
            spinToStop(w);
        if (state == State::ShowNoFreeCell)
            w.night().board().cells.fill(Cell::Excluded);
        w.projection().setShowOn(true);
        break;
    }
}

struct Snapshot
{
    bool spinning;
    int chanceLeft;
    int fateLeft;
    bool prizeShown;
    bool fullScreen;
    bool black;
    Presenter::Hint hint;
    QStringList board;
};

Snapshot snapshot(Stage &w)
{
    QStringList cells;
    for (ColourValue c : w.night().board().cells)
        cells << QString::number(c, 16);
    return {w.night().spinTimer().isActive(),
            w.night().board().chanceLeft,
            w.night().board().fateLeft,
            w.windows().prizeWindow() && w.windows().prizeWindow()->isVisible(),
            w.boardWindow().isFullScreen(),
            w.windows().blackScreen() && w.windows().blackScreen()->isVisible(),
            w.night().hint(),
            cells};
}
} // namespace

void TestPresenterKeys::settle(qint64 ms)
{
    m_clock.advance(ms);
    QCoreApplication::processEvents();
}

void TestPresenterKeys::init()
{
    // Long after the last row: no key of it is still held.
    settle(RepeatGuard::HeldForMs);
    m_refusals.clear();
    Prompt::setRefuseHandler([this](QWidget *, const QString &text) { m_refusals << text; });
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
}

void TestPresenterKeys::cleanup()
{
    Prompt::setRefuseHandler({});
    Prompt::setConfirmHandler({});
}

void TestPresenterKeys::boardKeys_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("inPrizeWindow");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    // What every key means in every state is the remote's table (test_remote); here each
    // effect once through the window that has the keys.
    const QList<std::tuple<const char *, State, bool, Qt::Key, const char *>> table = {
        {"idle: Next starts", State::Idle, false, Qt::Key_PageDown, "Start"},
        {"idle: F5 starts the show", State::Idle, false, Qt::Key_F5, "Show"},
        {"idle: Up never reaches the round options", State::Idle, false, Qt::Key_Up, "None"},
        {"idle: B blacks out", State::Idle, false, Qt::Key_B, "Black"},
        {"spinning: Next waits", State::Spinning, false, Qt::Key_Space, "None"},
        {"spinning: F5 waits", State::Spinning, false, Qt::Key_F5, "None"},
        {"awaiting: back is 機會", State::Awaiting, false, Qt::Key_PageUp, "Chance"},
        {"awaiting: 2 is 命運", State::Awaiting, false, Qt::Key_2, "Fate"},
        {"awaiting, 命運 used up: Next is 機會", State::AwaitingFateEmpty, false, Qt::Key_PageDown,
         "Chance"},
        {"awaiting, stacks empty: the hint", State::AwaitingStacksEmpty, false, Qt::Key_Space,
         "Hint"},
        {"no free cell: asked", State::NoFreeCell, false, Qt::Key_Enter, "Ask"},
        {"no free cell, second round: the hint", State::NoFreeCellSecondRound, false, Qt::Key_Right,
         "Hint"},
        {"no card left: the hint", State::NoCardLeft, false, Qt::Key_Return, "Hint"},
        {"full screen: Escape leaves it", State::FullScreen, false, Qt::Key_Escape, "Window"},
        {"prize opening, prize: Next waits", State::PrizeOpening, true, Qt::Key_Space, "None"},
        {"prize opened, board: Next confirms", State::PrizeOpened, false, Qt::Key_PageDown,
         "Confirm"},
        {"prize opened, prize: Next confirms", State::PrizeOpened, true, Qt::Key_Return, "Confirm"},
        {"prize opened and awaiting, prize: back is 機會", State::PrizeOpenedAwaiting, true,
         Qt::Key_Left, "Chance"},
        {"prize opened and awaiting, prize: Space confirms", State::PrizeOpenedAwaiting, true,
         Qt::Key_Space, "Confirm"},
        {"show: Next starts", State::ShowIdle, false, Qt::Key_Right, "Start"},
        {"show: Escape ends it", State::ShowIdle, false, Qt::Key_Escape, "EndShow"},
        {"show, awaiting: Space asks", State::ShowAwaiting, false, Qt::Key_Space, "Ask"},
        {"show, awaiting: 1 is 機會", State::ShowAwaiting, false, Qt::Key_1, "Chance"},
        {"show beside, no free cell: asked", State::BesideNoFreeCell, false, Qt::Key_PageDown,
         "Ask"},
    };
    for (const auto &[name, state, inPrize, key, effect] : table)
        QTest::newRow(name) << int(state) << inPrize << int(key) << QString::fromUtf8(effect);
}

void TestPresenterKeys::boardKeys()
{
    QFETCH(int, state);
    QFETCH(bool, inPrizeWindow);
    QFETCH(int, key);
    QFETCH(QString, effect);
    TestStage w({QStringLiteral("p")},
                {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    w.night().setClock([] { return 1.0; });
    setUp(w, State(state));
    QWidget *window = inPrizeWindow              ? static_cast<QWidget *>(w.windows().prizeWindow())
                      : w.windows().showWindow() ? static_cast<QWidget *>(w.windows().showWindow())
                                                 : &w.boardWindow();
    activate(window);
    const Snapshot before = snapshot(w);
    const bool showBefore = w.windows().showWindow();
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key(key));
    QCoreApplication::processEvents();
    const Snapshot after = snapshot(w);

    QVERIFY2(m_refusals.isEmpty(), qPrintable(m_refusals.join(QLatin1Char('|'))));
    QCOMPARE(after.spinning, before.spinning || effect == QLatin1String("Start"));
    QCOMPARE(after.chanceLeft, before.chanceLeft - (effect == QLatin1String("Chance")));
    QCOMPARE(after.fateLeft, before.fateLeft - (effect == QLatin1String("Fate")));
    if (effect == QLatin1String("Confirm"))
        QVERIFY(!after.prizeShown);
    else if (effect == QLatin1String("Chance") || effect == QLatin1String("Fate"))
        QVERIFY(after.prizeShown);
    else
        QCOMPARE(after.prizeShown, before.prizeShown);
    if (effect == QLatin1String("Show"))
        QTRY_VERIFY(w.windows().showWindow() && w.windows().showWindow()->isVisible());
    else
        QTRY_COMPARE(bool(w.windows().showWindow()),
                     showBefore && effect != QLatin1String("EndShow"));
    QCOMPARE(w.night().question() != Presenter::Question::None, effect == QLatin1String("Ask"));
    if (effect == QLatin1String("Window"))
        QTRY_VERIFY(!w.boardWindow().isFullScreen());
    else
        QCOMPARE(w.boardWindow().isFullScreen(), before.fullScreen);
    QCOMPARE(after.black, effect == QLatin1String("Black"));
    // The hint says why Next had nothing to do, and never shows for anything else.
    QCOMPARE(after.hint != Presenter::Hint::None, effect == QLatin1String("Hint"));
    // The desk shows the question too.
    QCOMPARE(w.boardWindow().hintLabel()->isVisible(),
             effect == QLatin1String("Hint") || effect == QLatin1String("Ask"));
    if (effect == QLatin1String("Hint"))
        QCOMPARE(after.hint, state == int(State::NoFreeCell) ? Presenter::Hint::RoundDone
                             : state == int(State::NoFreeCellSecondRound)
                                 ? Presenter::Hint::NoNumber
                                 : Presenter::Hint::NoCard);
    w.night().spinTimer().stop();
}

void TestPresenterKeys::bingoKeys_data()
{
    QTest::addColumn<QString>("state"); // idle, drawing, paused
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    // Every key in every state is the remote's table (test_remote); each effect once here.
    QTest::newRow("idle: Next draws") << "idle" << int(Qt::Key_PageDown) << "Draw";
    QTest::newRow("idle: Down draws") << "idle" << int(Qt::Key_Down) << "Draw";
    QTest::newRow("idle: Escape closes") << "idle" << int(Qt::Key_Escape) << "Close";
    QTest::newRow("idle: 1 does nothing") << "idle" << int(Qt::Key_1) << "None";
    QTest::newRow("drawing: Next takes") << "drawing" << int(Qt::Key_Space) << "Take";
    QTest::newRow("drawing: Escape holds") << "drawing" << int(Qt::Key_Escape) << "Pause";
    QTest::newRow("drawing: B blacks out") << "drawing" << int(Qt::Key_B) << "Black";
    QTest::newRow("paused: Next goes on") << "paused" << int(Qt::Key_Right) << "Resume";
    QTest::newRow("paused: Escape closes") << "paused" << int(Qt::Key_Escape) << "Close";
}

void TestPresenterKeys::bingoKeys()
{
    QFETCH(QString, state);
    QFETCH(int, key);
    QFETCH(QString, effect);
    TestStage board;
    board.boardWindow().show();
    board.windows().openBingo();
    BingoWindow *bingo = board.windows().bingoWindow();
    QVERIFY(bingo);
    activate(bingo);
    if (state != QLatin1String("idle"))
        bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"))->click();
    if (state == QLatin1String("paused"))
        bingo->pauseDraw();
    const qint16 takeBefore = bingo->rules().takeRequested;
    QWidget *target = bingo->focusWidget() ? bingo->focusWidget() : bingo;
    QTest::keyClick(target, Qt::Key(key));
    // A press held back to settle acts here, before the draw's next step.
    m_clock.advance(2 * RepeatGuard::SettleMs);
    QVERIFY(m_refusals.isEmpty());
    if (effect == QLatin1String("Close")) {
        QTRY_VERIFY(!board.windows().bingoWindow());
        return;
    }
    const bool paused = effect == QLatin1String("Pause") ||
                        (state == QLatin1String("paused") && effect != QLatin1String("Resume"));
    QTRY_COMPARE(bingo->isPaused(), paused);
    QCOMPARE(bingo->isDrawing(), state != QLatin1String("idle") || effect == QLatin1String("Draw"));
    QCOMPARE(bingo->rules().takeRequested == -1,
             effect == QLatin1String("Take") || takeBefore == -1);
    QCOMPARE(board.windows().blackScreen() != nullptr, effect == QLatin1String("Black"));
    bingo->close();
}

void TestPresenterKeys::fullScreen()
{
    TestStage w;
    activate(&w.boardWindow());
    const QRect place(QPoint(137, 91), w.boardWindow().size() + QSize(40, 30));
    w.boardWindow().setGeometry(place);
    QAction *entry = w.boardWindow().findChild<QAction *>(QStringLiteral("fullscreen"));
    QVERIFY(entry);
    // The key shows once, beside the entry.
    QCOMPARE(entry->text(), QStringLiteral("全螢幕"));
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F11));
    QCOMPARE(w.viewMenu().menu()->actions().value(0), entry);
    QCOMPARE(w.boardWindow().menuBar()->actions().last()->menu(), w.viewMenu().menu());
    // Escape outside full screen does nothing.
    QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_Escape);
    settle();
    QVERIFY(!w.boardWindow().isFullScreen());
    QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_F11);
    QTRY_VERIFY(w.boardWindow().isFullScreen());
    QVERIFY(entry->isChecked());
    QVERIFY(w.boardWindow().menuBar()->isVisible());
    QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_F11);
    QTRY_VERIFY(!w.boardWindow().isFullScreen());
    QCOMPARE(w.boardWindow().geometry(), place);
    entry->trigger();
    QTRY_VERIFY(w.boardWindow().isFullScreen());
    QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_Escape);
    settle();
    QTRY_VERIFY(!w.boardWindow().isFullScreen());
    QVERIFY(!entry->isChecked());
    // Back where it was, however it left full screen.
    QCOMPARE(w.boardWindow().geometry(), place);
    // Maximised comes back maximised.
    w.boardWindow().showMaximized();
    QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_F11);
    QTRY_VERIFY(w.boardWindow().isFullScreen());
    QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_Escape);
    settle();
    QTRY_VERIFY(!w.boardWindow().isFullScreen());
    QVERIFY(w.boardWindow().isMaximized());
    // F5 and Shift+F5 start the show over the board, again and again; Escape ends it.
    for (Qt::KeyboardModifiers shift :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        // The board has the keys again once the show has ended.
        QVERIFY(QTest::qWaitForWindowActive(&w.boardWindow()));
        QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_F5, shift);
        settle();
        QTRY_VERIFY(w.windows().showWindow() && w.windows().showWindow()->isFullScreen());
        ShowWindow *show = w.windows().showWindow();
        QCOMPARE(show->screen(), w.boardWindow().screen());
        // The desk's windows open under it.
        QVERIFY(show->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(QTest::qWaitForWindowActive(show));
        QTest::keyClick(show, Qt::Key_F5, shift);
        settle();
        QCOMPARE(w.windows().showWindow(), show);
        QVERIFY(!w.boardWindow().isFullScreen());
        QTest::keyClick(show, Qt::Key_Escape);
        settle();
        QTRY_VERIFY(!w.windows().showWindow());
    }
    // While the light runs no window opens: the keys wait for the stop.
    w.boardWindow().start();
    QTest::keyClick(w.boardWindow().focusWidget() ? w.boardWindow().focusWidget()
                                                  : &w.boardWindow(),
                    Qt::Key_F5);
    settle();
    QVERIFY(!w.windows().showWindow());
    QVERIFY(!w.boardWindow().isFullScreen());
    w.night().spinTimer().stop();
    QVERIFY(m_refusals.isEmpty());
}

// One screen: F5 in the bingo window puts the show over the board, and there the remote runs
// the draw the hall watches.
void TestPresenterKeys::bingoFromTheShow()
{
    TestStage w;
    w.boardWindow().show();
    w.windows().openBingo();
    BingoWindow *bingo = w.windows().bingoWindow();
    activate(bingo);
    QTest::keyClick(bingo->focusWidget(), Qt::Key_F5);
    QTRY_VERIFY(w.windows().showWindow() && w.windows().showWindow()->isVisible());
    ShowWindow *show = w.windows().showWindow();
    QVERIFY(QTest::qWaitForWindowActive(show));
    QTest::keyClick(show, Qt::Key_PageDown);
    QTRY_VERIFY(bingo->isDrawing());
    QVERIFY(!w.night().isSpinning());
    settle(RepeatGuard::SettleMs);
    QTest::keyClick(show, Qt::Key_Escape);
    QTRY_VERIFY(bingo->isPaused());
    QCOMPARE(w.windows().showWindow(), show);
    bingo->close();
}

void TestPresenterKeys::showAsks_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("outcome");
    const int down = Qt::Key_PageDown, space = Qt::Key_Space, esc = Qt::Key_Escape;
    const int back = Qt::Key_PageUp;
    const QList<std::tuple<const char *, State, QList<int>, const char *>> table = {
        {"round: Next asks, Next says yes", State::ShowNoFreeCell, {down, down}, "round"},
        {"round: Next asks, Escape says no", State::ShowNoFreeCell, {down, esc}, ""},
        {"round: Next asks, the back button says no", State::ShowNoFreeCell, {down, back}, ""},
        {"round: asked, no, then Escape ends the show",
         State::ShowNoFreeCell,
         {down, esc, esc},
         "ended"},
        {"stop: Space asks for a card, Space draws 命運",
         State::ShowAwaiting,
         {space, space},
         "fate"},
        {"stop: asked, the back button draws 機會", State::ShowAwaiting, {space, back}, "chance"},
        {"stop: asked, Escape says no", State::ShowAwaiting, {space, esc}, ""},
        {"bingo: Next over numbers taken asks, Next draws",
         State::ShowBingoTaken,
         {down, down},
         "new draw"},
        {"bingo: asked, Escape keeps the numbers", State::ShowBingoTaken, {down, esc}, ""},
        {"bingo: asked, Left keeps the numbers", State::ShowBingoTaken, {down, Qt::Key_Left}, ""},
        {"bingo: Escape asks to end, Next closes", State::ShowBingoTaken, {esc, down}, "closed"},
        {"bingo: asked to end, Escape keeps the numbers", State::ShowBingoTaken, {esc, esc}, ""},
        {"board alone: Next asks, Next says yes", State::NoFreeCell, {down, down}, "round"},
        {"beside: Next asks on the desk too, Next says yes",
         State::BesideNoFreeCell,
         {down, down},
         "round"},
        {"the board's F11 works from the show", State::ShowIdle, {Qt::Key_F11}, "full screen"},
    };
    for (const auto &[name, state, keys, outcome] : table)
        QTest::newRow(name) << int(state) << keys << QString::fromUtf8(outcome);
}

void TestPresenterKeys::showAsks()
{
    QFETCH(int, state);
    QFETCH(QList<int>, keys);
    QFETCH(QString, outcome);
    TestStage w({QStringLiteral("p"), QStringLiteral("q")},
                {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    w.night().setClock([] { return 1.0; });
    // The show asks in its line: no box at all.
    Prompt::setConfirmHandler([this](QWidget *, const QString &text) {
        m_refusals << text;
        return true;
    });
    setUp(w, State(state));
    ShowWindow *show = w.windows().showWindow();
    BingoWindow *bingo = w.windows().bingoWindow();
    // The bingo window under the show keeps the keys.
    QWidget *target = bingo  ? static_cast<QWidget *>(bingo)
                      : show ? static_cast<QWidget *>(show)
                             : &w.boardWindow();
    activate(target);
    for (int i = 0; i < keys.size(); ++i) {
        QTest::keyClick(target->focusWidget() ? target->focusWidget() : target, Qt::Key(keys[i]));
        // Each press a press of its own, not a held key's.
        settle(RepeatGuard::SettleMs + 50);
    }
    QVERIFY2(m_refusals.isEmpty(), qPrintable(m_refusals.join(QLatin1Char('|'))));
    QCOMPARE(w.night().question(), Presenter::Question::None);
    QCOMPARE(w.night().isSecondRound(), outcome == QLatin1String("round"));
    // The board's option follows the round however it changed.
    QCOMPARE(w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked(),
             outcome == QLatin1String("round"));
    const Board &board = w.night().board();
    QCOMPARE(board.fateLeft + (outcome == QLatin1String("fate")), Board::CardsPerStack);
    QCOMPARE(board.chanceLeft + (outcome == QLatin1String("chance")), Board::CardsPerStack);
    QCOMPARE(bool(w.windows().showWindow()), show && outcome != QLatin1String("ended"));
    QCOMPARE(bool(w.windows().bingoWindow()), bingo && outcome != QLatin1String("closed"));
    if (bingo && outcome != QLatin1String("closed")) {
        QCOMPARE(bingo->isDrawing(), outcome == QLatin1String("new draw"));
        QCOMPARE(bingo->hasTaken(), outcome != QLatin1String("new draw"));
    }
    if (outcome == QLatin1String("full screen"))
        QTRY_VERIFY(w.boardWindow().isFullScreen());
}

void TestPresenterKeys::finaleKeys_data()
{
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<bool>("onGround");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    const QList<std::tuple<const char *, bool, bool>> places = {
        {"full screen, picture", true, false},
        {"full screen, ground", true, true},
        {"window, picture", false, false},
    };
    for (const auto &[place, full, ground] : places) {
        for (const auto &[keyName, key] : Keys) {
            const bool leave = key == Qt::Key_PageDown || key == Qt::Key_Right ||
                               key == Qt::Key_Space || key == Qt::Key_Return ||
                               key == Qt::Key_Enter;
            const bool black = key == Qt::Key_B || key == Qt::Key_Period || key == Qt::Key_Slash;
            // The remote acts on the closing picture in a window as in the hall.
            const QString effect = leave   ? QStringLiteral("Leave")
                                   : black ? QStringLiteral("Black")
                                           : QStringLiteral("None");
            QTest::addRow("%s: %s", place, keyName) << full << ground << int(key) << effect;
        }
    }
}

void TestPresenterKeys::finaleKeys()
{
    QFETCH(bool, fullScreen);
    QFETCH(bool, onGround);
    QFETCH(int, key);
    QFETCH(QString, effect);
    TestStage w(Drive::prizes());
    w.night().setClock([] { return 1.0; });
    w.boardWindow().show();
    if (fullScreen) {
        w.boardWindow().showFullScreen();
        QTRY_VERIFY(w.boardWindow().isFullScreen());
    }
    Drive::toFinale(w);
    QCOMPARE(w.windows().finaleGround() != nullptr, fullScreen);
    QVERIFY(!w.boardWindow().isVisible());
    QWidget *window = onGround ? static_cast<QWidget *>(w.windows().finaleGround())
                               : static_cast<QWidget *>(w.windows().closingPicture());
    activate(window);
    QTest::keyClick(window, Qt::Key(key));
    QCoreApplication::processEvents();
    QVERIFY(m_refusals.isEmpty());
    if (effect == QLatin1String("Leave")) {
        // The board comes back as it was; the picture and its ground are gone.
        QTRY_VERIFY(w.boardWindow().isVisible());
        QTRY_COMPARE(w.boardWindow().isFullScreen(), fullScreen);
        QTRY_VERIFY(!w.windows().closingPicture());
        QTRY_VERIFY(!w.windows().finaleGround());
    } else {
        QVERIFY(!w.boardWindow().isVisible());
        QVERIFY(w.windows().closingPicture() && w.windows().closingPicture()->isVisible());
    }
    QCOMPARE(w.windows().blackScreen() != nullptr, effect == QLatin1String("Black"));
}

void TestPresenterKeys::blackScreenKeys_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("key");
    const QList<std::pair<const char *, State>> states = {
        {"spinning", State::Spinning},
        {"awaiting", State::Awaiting},
        {"prize opened", State::PrizeOpened},
        {"no free cell", State::NoFreeCell},
    };
    for (const auto &[name, state] : states) {
        for (const auto &[keyName, key] : Keys)
            QTest::addRow("%s: %s", name, keyName) << int(state) << int(key);
        QTest::addRow("%s: M", name) << int(state) << int(Qt::Key_M);
        QTest::addRow("%s: click", name) << int(state) << 0;
    }
}

void TestPresenterKeys::blackScreenKeys()
{
    QFETCH(int, state);
    QFETCH(int, key);
    TestStage w({QStringLiteral("p")},
                {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    w.night().setClock([] { return 1.0; });
    setUp(w, State(state));
    activate(&w.boardWindow());
    QTest::keyClick(w.boardWindow().focusWidget() ? w.boardWindow().focusWidget()
                                                  : &w.boardWindow(),
                    Qt::Key_B);
    QPointer<Cover> black = w.windows().blackScreen();
    QVERIFY(black && black->isVisible());
    QCOMPARE(black->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(black->geometry(), w.boardWindow().screen()->geometry());
    const Snapshot before = snapshot(w);
    const bool muted = !w.viewMenu().soundAction()->isChecked();
    activate(black);
    if (key == 0)
        QTest::mouseClick(black, Qt::LeftButton);
    else
        QTest::keyClick(black, Qt::Key(key));
    QCoreApplication::processEvents();
    // Gone, and nothing else happened: not a spin, a card, a confirmation, a hint or the sound.
    QTRY_VERIFY(!black);
    const Snapshot after = snapshot(w);
    QCOMPARE(after.spinning, before.spinning);
    QCOMPARE(after.chanceLeft, before.chanceLeft);
    QCOMPARE(after.fateLeft, before.fateLeft);
    QCOMPARE(after.prizeShown, before.prizeShown);
    QCOMPARE(after.fullScreen, before.fullScreen);
    QCOMPARE(after.hint, before.hint);
    QCOMPARE(!w.viewMenu().soundAction()->isChecked(), muted);
    if (!after.spinning)
        QCOMPARE(after.board, before.board);
    QVERIFY(m_refusals.isEmpty());
    w.night().spinTimer().stop();
}

void TestPresenterKeys::autoRepeat_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("asWindows"); // its first press acts, then marked presses, no release
    for (const char *window : {"board idle", "board awaiting", "prize opened", "bingo idle",
                               "bingo drawing", "bingo finished", "finale"}) {
        for (const auto &[keyName, key] : Keys)
            QTest::addRow("%s: %s", window, keyName)
                << QString::fromLatin1(window) << int(key) << false;
        QTest::addRow("%s: M", window) << QString::fromLatin1(window) << int(Qt::Key_M) << false;
    }
    for (const char *window : {"board awaiting", "prize opened", "bingo drawing"})
        QTest::addRow("%s: Next held as Windows sends it", window)
            << QString::fromLatin1(window) << int(Qt::Key_PageDown) << true;
}

void TestPresenterKeys::autoRepeat()
{
    QFETCH(QString, window);
    QFETCH(int, key);
    QFETCH(bool, asWindows);
    const bool finale = window == QLatin1String("finale");
    TestStage w(finale ? Drive::prizes() : QStringList{QStringLiteral("p")});
    w.night().setClock([] { return 1.0; });
    w.boardWindow().show();
    QWidget *target = &w.boardWindow();
    if (window == QLatin1String("board awaiting")) {
        setUp(w, State::Awaiting);
    } else if (window == QLatin1String("prize opened")) {
        setUp(w, State::PrizeOpened);
        target = w.windows().prizeWindow();
    } else if (window.startsWith(QLatin1String("bingo"))) {
        w.windows().openBingo();
        target = w.windows().bingoWindow();
        if (window.endsWith(QLatin1String("drawing")))
            target->findChild<QPushButton *>(QStringLiteral("Command1(0)"))->click();
        // Held over a finished draw, a key neither asks nor starts a new one.
        if (window.endsWith(QLatin1String("finished")))
            w.windows().bingoWindow()->restore(allBingoNumbers(), false);
    } else if (finale) {
        w.boardWindow().showFullScreen();
        QTRY_VERIFY(w.boardWindow().isFullScreen());
        Drive::toFinale(w);
        target = w.windows().closingPicture();
    }
    activate(target);
    const auto focus = [target] {
        QWidget *f = QApplication::focusWidget();
        return f ? f : target->focusWidget() ? target->focusWidget() : target;
    };
    // Windows marks each repeat and sends no release before the last: the first press
    // acts once, and the window it leaves open gets the repeats.
    if (asWindows) {
        QTest::simulateEvent(focus(), true, key, {}, QString(), false);
        settle();
    }
    const Snapshot before = snapshot(w);
    const bool muted = !w.viewMenu().soundAction()->isChecked();
    const qint16 take =
        w.windows().bingoWindow() ? w.windows().bingoWindow()->rules().takeRequested : 0;
    const bool drawing = w.windows().bingoWindow() && w.windows().bingoWindow()->isDrawing();
    // Otherwise only the repeats of a held key: its first press came before the window had
    // the focus.
    for (int i = 0; i < (asWindows ? 10 : 3); ++i) {
        if (asWindows)
            settle(33);
        QTest::simulateEvent(focus(), true, key, {}, QString(), true);
    }
    QCoreApplication::processEvents();
    if (asWindows)
        settle();
    const Snapshot after = snapshot(w);
    QCOMPARE(after.spinning, before.spinning);
    QCOMPARE(after.chanceLeft, before.chanceLeft);
    QCOMPARE(after.fateLeft, before.fateLeft);
    QCOMPARE(after.prizeShown, before.prizeShown);
    QCOMPARE(after.black, false);
    QCOMPARE(after.hint, before.hint);
    QCOMPARE(after.fullScreen, before.fullScreen);
    QCOMPARE(!w.viewMenu().soundAction()->isChecked(), muted);
    if (w.windows().bingoWindow()) {
        QCOMPARE(w.windows().bingoWindow()->rules().takeRequested, take);
        QCOMPARE(w.windows().bingoWindow()->isDrawing(), drawing);
        w.windows().bingoWindow()->close();
    }
    if (finale)
        QVERIFY(w.windows().closingPicture() && !w.boardWindow().isVisible());
    QVERIFY(m_refusals.isEmpty());
    w.night().spinTimer().stop();
}

// As X delivers a held key: a release and a press with the same time stamp, which Qt does
// not always mark as a repeat.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString &text,
                                               bool autorep, ushort count);

namespace {
void sendStamped(QWidget *to, bool press, int key, ulong timestamp)
{
    if (press &&
        qt_sendShortcutOverrideEvent(to, timestamp, key, {}, QStringLiteral(" "), false, 1))
        return;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, {}, QStringLiteral(" "));
    event.setTimestamp(timestamp);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(to, &event);
}

// Space held on: as X sends it, release and press pairs with one time stamp; otherwise
// presses, some marked as repeats, some not. Let go at the end.
void holdSpace(QWidget *focus, bool stampedPairs, ManualClock &clock)
{
    if (stampedPairs) {
        for (ulong t = 5000; t < 5200; t += 40) {
            sendStamped(focus, false, Qt::Key_Space, t);
            sendStamped(focus, true, Qt::Key_Space, t);
        }
        sendStamped(focus, false, Qt::Key_Space, 5201);
        return;
    }
    for (int i = 0; i < 5; ++i) {
        clock.advance(30);
        QTest::simulateEvent(focus, true, Qt::Key_Space, {}, QStringLiteral(" "), i % 2 == 0);
    }
    QTest::simulateEvent(focus, false, Qt::Key_Space, {}, QStringLiteral(" "), false);
}
} // namespace

void TestPresenterKeys::heldAfterClose()
{
    // The first press confirms the prize window and closes it, and its release is lost
    // with the window; what reaches the board after it, marked as a repeat or not, starts
    // nothing while the key is held. A second press of the operator's still does.
    TestStage w({QStringLiteral("p"), QStringLiteral("q")},
                {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    w.night().setClock([] { return 1.0; });
    enum class Then
    {
        Released,
        Held,
        HeldStampedPairs,
        TappedTwice, // two quick presses: the second one's settling is not lost
        // Qt on Windows, its record of the key still down, marks the next press a repeat,
        // however much later, and sends a marked release before it.
        PressedLaterMarked
    };
    for (Then then : {Then::Held, Then::Released, Then::HeldStampedPairs, Then::TappedTwice,
                      Then::PressedLaterMarked}) {
        setUp(w, State::PrizeOpened);
        activate(w.windows().prizeWindow());
        QTest::simulateEvent(w.windows().prizeWindow()->focusWidget(), true, Qt::Key_Space, {},
                             QStringLiteral(" "), false);
        settle();
        QTRY_VERIFY(!w.windows().prizeWindow() || !w.windows().prizeWindow()->isVisible());
        activate(&w.boardWindow());
        const bool held = then == Then::Held || then == Then::HeldStampedPairs;
        if (then == Then::TappedTwice)
            QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_Space);
        if (then == Then::PressedLaterMarked) {
            settle(5000);
            QWidget *focus = w.boardWindow().focusWidget();
            QTest::simulateEvent(focus, false, Qt::Key_Space, {}, QStringLiteral(" "), true);
            QTest::simulateEvent(focus, true, Qt::Key_Space, {}, QStringLiteral(" "), true);
            QTest::simulateEvent(focus, false, Qt::Key_Space, {}, QStringLiteral(" "), false);
        } else if (then != Then::HeldStampedPairs)
            QTest::simulateEvent(w.boardWindow().focusWidget(), true, Qt::Key_Space, {},
                                 QStringLiteral(" "), false);
        if (held)
            holdSpace(w.boardWindow().focusWidget(), then == Then::HeldStampedPairs, m_clock);
        settle();
        QCOMPARE(w.night().spinTimer().isActive(), !held);
        // Released, the next press acts at once.
        if (held) {
            QTest::keyClick(w.boardWindow().focusWidget(), Qt::Key_Space);
            QVERIFY(w.night().spinTimer().isActive());
        }
        while (w.night().board().timer1Enabled)
            w.night().tick();
        w.night().spinTimer().stop();
        w.boardWindow().discardStop();
    }
    QVERIFY(m_refusals.isEmpty());
}

void TestPresenterKeys::bingoQuestionByRemote_data()
{
    QTest::addColumn<int>("asking"); // Next asks for a new draw, Escape before the end
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("answer"); // Yes, No, or None: the question stays up
    // Which key answers what is the remote's table (test_remote); here the box hears them.
    for (const auto &[keyName, key, answer] :
         {std::tuple{"Space", Qt::Key_Space, "Yes"}, std::tuple{"Down", Qt::Key_Down, "Yes"},
          std::tuple{"Left", Qt::Key_Left, "No"}, std::tuple{"Up", Qt::Key_Up, "No"},
          std::tuple{"B", Qt::Key_B, "None"}, std::tuple{"1", Qt::Key_1, "None"}})
        QTest::addRow("%s", keyName)
            << int(Qt::Key_PageDown) << int(key) << QString::fromLatin1(answer);
    for (const auto &[keyName, key, answer] :
         {std::tuple{"PageDown", Qt::Key_PageDown, "Yes"},
          std::tuple{"Escape", Qt::Key_Escape, "No"}, std::tuple{"3", Qt::Key_3, "None"}})
        QTest::addRow("end: %s", keyName)
            << int(Qt::Key_Escape) << int(key) << QString::fromLatin1(answer);
}

// Next after the 25th bingo number asks before a new draw, Escape before the window closes
// with them, and the remote answers: Next is 是, Escape or its back button 否. A key of neither
// leaves the question up, never a box the remote cannot answer.
void TestPresenterKeys::bingoQuestionByRemote()
{
    QFETCH(int, asking);
    QFETCH(int, key);
    QFETCH(QString, answer);
    const bool end = asking == Qt::Key_Escape;
    Prompt::setConfirmHandler({}); // the real question box
    TestStage board;
    board.boardWindow().show();
    board.windows().openBingo();
    QPointer<BingoWindow> bingo = board.windows().bingoWindow();
    bingo->restore(allBingoNumbers(), false);
    activate(bingo);
    QString asked;
    bool stayed = false;
    whenAsked([&](QMessageBox *box) {
        asked = box->text();
        QPointer<QMessageBox> alive = box;
        // The press that asked is let go; then the answer.
        QTest::simulateEvent(box->focusWidget(), false, Qt::Key(asking), {}, {}, false);
        QTest::keyClick(box->focusWidget(), Qt::Key(key));
        // An answer may wait for the key to settle.
        settle();
        stayed = alive && alive->isVisible();
        if (stayed)
            QTest::keyClick(alive->focusWidget(), Qt::Key_Escape);
    });
    QTest::simulateEvent(bingo->focusWidget(), true, Qt::Key(asking), {}, {}, false);
    QCOMPARE(asked, end ? QStringLiteral("已取得的號碼將不會保留。\n確定要結束賓果遊戲嗎?")
                        : BingoWindow::newDrawQuestion());
    QCOMPARE(stayed, answer == QLatin1String("None"));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    if (end && answer == QLatin1String("Yes")) {
        QTRY_VERIFY(!bingo);
        return;
    }
    QCOMPARE(bingo->isDrawing(), answer == QLatin1String("Yes"));
    QCOMPARE(bingo->rules().taken(),
             answer == QLatin1String("Yes") ? QList<int>() : allBingoNumbers());
    QCOMPARE(board.windows().blackScreen() != nullptr, false);
    QVERIFY(m_refusals.isEmpty());
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
    bingo->close();
}

void TestPresenterKeys::bingoQuestionIgnoresTheHeldKey_data()
{
    QTest::addColumn<bool>("stamped");
    QTest::newRow("repeats, marked or not") << false;
    QTest::newRow("X's release and press pairs") << true;
}

// The key that asked is held on: its repeats reach the question box, and none of them
// answers it. Let go and pressed again, it does.
void TestPresenterKeys::bingoQuestionIgnoresTheHeldKey()
{
    QFETCH(bool, stamped);
    Prompt::setConfirmHandler({});
    TestStage board;
    board.boardWindow().show();
    board.windows().openBingo();
    BingoWindow *bingo = board.windows().bingoWindow();
    bingo->restore(allBingoNumbers(), false);
    activate(bingo);
    bool heldThrough = false;
    whenAsked([&](QMessageBox *box) {
        QPointer<QMessageBox> alive = box;
        QWidget *focus = box->focusWidget();
        holdSpace(focus, stamped, m_clock);
        settle();
        heldThrough = alive && alive->isVisible();
        if (alive)
            QTest::keyClick(alive->focusWidget(), Qt::Key_Space);
    });
    QTest::simulateEvent(bingo->focusWidget(), true, Qt::Key_Space, {}, QStringLiteral(" "), false);
    QVERIFY(heldThrough);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(bingo->isDrawing());
    QVERIFY(bingo->rules().taken().isEmpty());
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
    bingo->close();
}

QTEST_MAIN(TestPresenterKeys)
#include "test_presenterkeys.moc"
