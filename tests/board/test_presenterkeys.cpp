#include "bingowindow.h"
#include "form1.h"
#include "form2.h"
#include "presenterkeys.h"
#include "prompt.h"
#include "scriptedrandom.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

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

private:
    QStringList m_refusals;
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
};

enum class State
{
    Idle,
    Spinning,
    Awaiting,
    AwaitingStacksEmpty,
    PrizeOpening,
    PrizeOpened,
    PrizeOpenedAwaiting,
    NoFreeCell
};

void spinToStop(Form1 &w)
{
    w.startClick();
    while (w.board().timer1Enabled)
        w.timer1Tick();
}

void activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void setUp(Form1 &w, State state)
{
    w.show();
    switch (state) {
    case State::Idle:
        break;
    case State::Spinning:
        w.startClick();
        break;
    case State::Awaiting:
        spinToStop(w);
        break;
    case State::AwaitingStacksEmpty:
        spinToStop(w);
        w.board().cardEnabled = {false, false};
        break;
    case State::PrizeOpening:
        spinToStop(w);
        w.command1Click(Board::Chance);
        break;
    case State::PrizeOpened:
        spinToStop(w);
        w.command1Click(Board::Chance);
        w.prizeWindow()->finishOpening();
        break;
    case State::PrizeOpenedAwaiting:
        spinToStop(w);
        w.command1Click(Board::Chance);
        w.prizeWindow()->finishOpening();
        spinToStop(w);
        break;
    case State::NoFreeCell:
        w.board().cells.fill(Cell::Excluded);
        break;
    }
}

struct Snapshot
{
    bool spinning;
    int chanceLeft;
    int fateLeft;
    bool prizeShown;
};

Snapshot snapshot(Form1 &w)
{
    return {w.timer1().isActive(), w.board().chanceLeft, w.board().fateLeft,
            w.prizeWindow() && w.prizeWindow()->isVisible()};
}
} // namespace

void TestPresenterKeys::init()
{
    m_refusals.clear();
    Prompt::setRefuseHandler([this](QWidget *, const QString &text) { m_refusals << text; });
}

void TestPresenterKeys::cleanup()
{
    Prompt::setRefuseHandler({});
}

void TestPresenterKeys::boardKeys_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("inPrizeWindow");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    // What each key does in each state; keys not named do nothing.
    const QList<std::tuple<const char *, State, bool, const char *>> table = {
        {"idle", State::Idle, false,
         "PageDown=Start Right=Start Space=Start Return=Start Enter=Start"},
        {"spinning", State::Spinning, false, ""},
        {"awaiting", State::Awaiting, false,
         "PageUp=Chance Left=Chance 1=Chance PageDown=Fate Right=Fate 2=Fate"},
        {"awaiting, stacks empty", State::AwaitingStacksEmpty, false, ""},
        {"no free cell", State::NoFreeCell, false, ""},
        {"prize opening, board", State::PrizeOpening, false, ""},
        {"prize opening, prize", State::PrizeOpening, true, ""},
        {"prize opened, board", State::PrizeOpened, false,
         "PageDown=Confirm Right=Confirm Space=Confirm Return=Confirm Enter=Confirm"},
        {"prize opened, prize", State::PrizeOpened, true,
         "PageDown=Confirm Right=Confirm Space=Confirm Return=Confirm Enter=Confirm"},
        {"prize opened and awaiting, prize", State::PrizeOpenedAwaiting, true,
         "PageUp=Chance Left=Chance 1=Chance PageDown=Fate Right=Fate 2=Fate Space=Confirm "
         "Return=Confirm Enter=Confirm"},
    };
    for (const auto &[name, state, inPrize, effects] : table) {
        for (const auto &[keyName, key] : Keys) {
            QString effect = QStringLiteral("None");
            for (const QString &e :
                 QString::fromUtf8(effects).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (e.section(QLatin1Char('='), 0, 0) == QLatin1String(keyName))
                    effect = e.section(QLatin1Char('='), 1);
            QTest::addRow("%s: %s", name, keyName) << int(state) << inPrize << int(key) << effect;
        }
    }
}

void TestPresenterKeys::boardKeys()
{
    QFETCH(int, state);
    QFETCH(bool, inPrizeWindow);
    QFETCH(int, key);
    QFETCH(QString, effect);
    ScriptedRandom r({ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    Form1 w({QStringLiteral("p")}, r);
    w.setClock([] { return 1.0; });
    setUp(w, State(state));
    QWidget *window = inPrizeWindow ? static_cast<QWidget *>(w.prizeWindow()) : &w;
    activate(window);
    const Snapshot before = snapshot(w);
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
    w.timer1().stop();
}

void TestPresenterKeys::bingoKeys_data()
{
    QTest::addColumn<bool>("drawing");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    for (bool drawing : {false, true}) {
        for (const auto &[keyName, key] : Keys) {
            const bool acts = key == Qt::Key_Space || key == Qt::Key_Return ||
                              key == Qt::Key_Enter || key == Qt::Key_PageDown;
            const QString effect = !acts     ? QStringLiteral("None")
                                   : drawing ? QStringLiteral("Take")
                                             : QStringLiteral("Draw");
            QTest::addRow("%s: %s", drawing ? "drawing" : "idle", keyName)
                << drawing << int(key) << effect;
        }
    }
}

void TestPresenterKeys::bingoKeys()
{
    QFETCH(bool, drawing);
    QFETCH(int, key);
    QFETCH(QString, effect);
    ScriptedRandom r;
    Form1 board({}, r);
    board.show();
    board.lottoClick();
    BingoWindow *bingo = board.bingoWindow();
    QVERIFY(bingo);
    activate(bingo);
    if (drawing)
        bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"))->click();
    QCOMPARE(bingo->isDrawing(), drawing);
    const qint16 takeBefore = bingo->draw().takeRequested;
    QWidget *target = bingo->focusWidget() ? bingo->focusWidget() : bingo;
    QTest::keyClick(target, Qt::Key(key));
    QVERIFY(m_refusals.isEmpty());
    if (effect == QLatin1String("Draw"))
        QVERIFY(bingo->isDrawing());
    else
        QCOMPARE(bingo->isDrawing(), drawing);
    QCOMPARE(bingo->draw().takeRequested == -1,
             effect == QLatin1String("Take") || takeBefore == -1);
    bingo->close();
}

void TestPresenterKeys::fullScreen()
{
    ScriptedRandom r;
    Form1 w({}, r);
    activate(&w);
    QAction *entry = w.findChild<QAction *>(QStringLiteral("fullscreen"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("全螢幕 (F11)"));
    QCOMPARE(w.viewMenu()->actions().value(0), entry);
    QCOMPARE(w.menuBar()->actions().last()->menu(), w.viewMenu());
    // Escape outside full screen does nothing.
    QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
    QVERIFY(!w.isFullScreen());
    QTest::keyClick(w.focusWidget(), Qt::Key_F11);
    QTRY_VERIFY(w.isFullScreen());
    QVERIFY(entry->isChecked());
    QVERIFY(w.menuBar()->isVisible());
    QTest::keyClick(w.focusWidget(), Qt::Key_F11);
    QTRY_VERIFY(!w.isFullScreen());
    entry->trigger();
    QTRY_VERIFY(w.isFullScreen());
    QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!w.isFullScreen());
    QVERIFY(!entry->isChecked());
    // Maximised comes back maximised.
    w.showMaximized();
    QTest::keyClick(w.focusWidget(), Qt::Key_F11);
    QTRY_VERIFY(w.isFullScreen());
    QTest::keyClick(w.focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!w.isFullScreen());
    QVERIFY(w.isMaximized());
    QVERIFY(m_refusals.isEmpty());
}

QTEST_MAIN(TestPresenterKeys)
#include "test_presenterkeys.moc"
