#include "cellbutton.h"
#include "prompt.h"
#include "random.h"
#include "teststage.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {
QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << (i % 7 == 0 ? QStringLiteral("第%1號紀念獎").arg(i) : QStringLiteral("獎品%1").arg(i));
    return l;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void spin(Stage &w)
{
    // A fixed clock keeps every run of the tests the same.
    static double seconds = 0;
    w.night().setClock([] { return seconds += 1.37; });
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    while (w.night().board().timer1Enabled)
        w.night().tick();
}

// A board one card from the end of the night: one prize left, on the Chance stack.
void lastStop(Stage &w)
{
    w.night().board().giftsLeft = 1;
    w.night().board().chanceLeft = 1;
    w.night().board().fateLeft = 0;
    w.night().board().cardEnabled[1] = false;
    spin(w);
}

QString prizeShown(PrizeWindow *prize)
{
    return prize->findChild<QLabel *>(QStringLiteral("Label1"))->text();
}
} // namespace

class TestDraw : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void wholeNight();
    void cardRefusals();
    void heldAfterPrizeWindowOpens_data();
    void heldAfterPrizeWindowOpens();
    void newCardWhilePrizeWindowOpen();
    void cardRightAfterClosingPrize();
    void closeBoxAsksOnceDrawing_data();
    void closeBoxAsksOnceDrawing();
    void secondRoundThroughWindow();
    void secondRoundAsksFirst_data();
    void secondRoundAsksFirst();
    void prizeWindowInFrontOfBoard();
    void minimisedPrizeWindowComesBack();
    void pictureClosedAnyWayShowsBoard_data();
    void pictureClosedAnyWayShowsBoard();
    void pendingHeldGivesWay_data();
    void pendingHeldGivesWay();
    void closeBoxAfterLastCard();

private:
    QStringList m_refusals;
    int m_questions = 0;
    bool m_answer = false;
};

void TestDraw::init()
{
    m_refusals.clear();
    m_questions = 0;
    m_answer = false;
    Prompt::setRefuseHandler([this](QWidget *, const QString &t) { m_refusals << t; });
    Prompt::setConfirmHandler([this](QWidget *, const QString &) {
        ++m_questions;
        return m_answer;
    });
}

void TestDraw::cleanup()
{
    Prompt::setRefuseHandler({});
    Prompt::setConfirmHandler({});
    flushDeletes();
}

// 56 spins and cards from start-up to the closing picture, and back to the board.
void TestDraw::wholeNight()
{
    double now = 100;
    ProgramStage w(prizeList());
    w.night().setClock([&now] { return now += 13.7; });
    w.boardWindow().show();
    QStringList given;
    for (int n = 1; n <= 56; ++n) {
        spin(w);
        QCOMPARE(w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"))->text(),
                 QString::number(n));
        QCOMPARE(w.boardWindow().startButton()->isEnabled(), n != 56);
        const int stack = (n * 5 % 3 == 0 && w.boardWindow().cardButton(0)->isEnabled()) ||
                                  !w.boardWindow().cardButton(1)->isEnabled()
                              ? 0
                              : 1;
        const int winner = w.night().board().stopCell;
        QTest::mouseClick(w.boardWindow().cardButton(stack), Qt::LeftButton);
        PrizeWindow *prize = w.windows().prizeWindow();
        QVERIFY(prize);
        prize->finishOpening();
        QCOMPARE(prizeShown(prize), w.night().board().drawnGift);
        given << w.night().board().drawnGift;
        const bool held = w.night().board().drawnGift.endsWith(QStringLiteral("紀念獎"));
        QCOMPARE(w.boardWindow().cell(winner)->backColour(), held ? Cell::Held : Cell::Won);
        QCOMPARE(w.night().board().chanceLeft + w.night().board().fateLeft,
                 w.night().board().giftsLeft);
        QTest::mouseClick(prize->findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        flushDeletes();
        QVERIFY(!w.windows().prizeWindow());
        QCOMPARE(w.boardWindow().isVisible(), n != 56);
    }
    QVERIFY(m_refusals.isEmpty());
    QCOMPARE(w.boardWindow().findChild<QGroupBox *>(QStringLiteral("Frame2(0)"))->title(),
             QStringLiteral("機會-0"));
    QCOMPARE(w.boardWindow().findChild<QGroupBox *>(QStringLiteral("Frame2(1)"))->title(),
             QStringLiteral("命運-0"));
    QStringList all = prizeList();
    all.sort();
    given.sort();
    QCOMPARE(given, all);

    ClosingPicture *picture = w.windows().closingPicture();
    QVERIFY(picture);
    picture->finishOpening();
    QVERIFY(picture->isVisible());
    QTest::mouseClick(picture->findChild<QWidget *>(QStringLiteral("Picture1")), Qt::LeftButton);
    flushDeletes();
    QVERIFY(!w.windows().closingPicture());
    QVERIFY(w.boardWindow().isVisible());
    QCOMPARE(w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"))->text(),
             QStringLiteral("56"));
}

void TestDraw::cardRefusals()
{
    ProgramStage w(prizeList());
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(1), Qt::LeftButton);
    w.windows().prizeWindow()->finishOpening();
    QTest::mouseClick(w.boardWindow().cardButton(1), Qt::LeftButton);
    w.boardWindow().findChild<QAction *>(QStringLiteral("redraw"))->trigger();
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    const QString noStop = QStringLiteral("           請先搖號碼!          ");
    QCOMPARE(m_refusals, (QStringList{noStop, noStop, noStop}));
    QCOMPARE(w.night().board().giftsLeft, 55);
    QCOMPARE(w.boardWindow().findChild<QGroupBox *>(QStringLiteral("Frame2(0)"))->title(),
             QStringLiteral("機會-28"));
    QCOMPARE(w.boardWindow().findChild<QGroupBox *>(QStringLiteral("Frame2(1)"))->title(),
             QStringLiteral("命運-27"));
}

void TestDraw::heldAfterPrizeWindowOpens_data()
{
    QTest::addColumn<bool>("closeEarly");
    QTest::newRow("window finishes opening") << false;
    QTest::newRow("window closed while growing") << true;
}

void TestDraw::heldAfterPrizeWindowOpens()
{
    QFETCH(bool, closeEarly);
    ProgramStage w({QStringLiteral("精美紀念獎")});
    w.night().board().giftsLeft = 1;
    w.night().board().chanceLeft = 1;
    w.night().board().fateLeft = 0;
    spin(w);
    const int cell = w.night().board().stopCell;
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QVERIFY(w.windows().prizeWindow()->isOpening());
    QCOMPARE(w.boardWindow().cell(cell)->backColour(), Cell::Won);
    if (closeEarly) {
        w.windows().prizeWindow()->close();
        flushDeletes();
    } else {
        w.windows().prizeWindow()->finishOpening();
    }
    QCOMPARE(w.boardWindow().cell(cell)->backColour(), Cell::Held);
}

// A card drawn while the prize window is still up must not leave the old prize on screen.
void TestDraw::newCardWhilePrizeWindowOpen()
{
    ProgramStage w(prizeList());
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QPointer<PrizeWindow> prize = w.windows().prizeWindow();
    prize->finishOpening();
    const QString first = prizeShown(prize);
    QSignalSpy opened(prize.data(), &GrowingWindow::opened);
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(1), Qt::LeftButton);
    QCOMPARE(w.windows().prizeWindow(), prize.data());
    QVERIFY(!prize->isOpening());
    QCOMPARE(opened.count(), 0);
    QCOMPARE(prizeShown(prize), w.night().board().drawnGift);
    QVERIFY(prizeShown(prize) != first);
}

// The closed window is deleted only later; the next card must not revive it.
void TestDraw::cardRightAfterClosingPrize()
{
    ProgramStage w(prizeList());
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QPointer<PrizeWindow> first = w.windows().prizeWindow();
    first->finishOpening();
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QVERIFY(w.windows().prizeWindow() != first.data());
    flushDeletes();
    QVERIFY(!first);
    QVERIFY(w.windows().prizeWindow());
    QVERIFY(w.windows().prizeWindow()->isVisible());
}

void TestDraw::closeBoxAsksOnceDrawing_data()
{
    QTest::addColumn<bool>("spun");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("exits");
    QTest::newRow("before the first stop") << false << false << 0 << true;
    QTest::newRow("after a stop, yes") << true << true << 1 << true;
    QTest::newRow("after a stop, no") << true << false << 1 << false;
}

void TestDraw::closeBoxAsksOnceDrawing()
{
    QFETCH(bool, spun);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(bool, exits);
    ProgramStage w(prizeList());
    w.boardWindow().show();
    if (spun)
        spin(w);
    m_answer = answer;
    QSignalSpy exit(&w.boardWindow(), &BoardWindow::exitRequested);
    w.boardWindow().close();
    QCOMPARE(m_questions, questions);
    QCOMPARE(exit.count(), exits ? 1 : 0);
    QCOMPARE(w.boardWindow().isVisible(), !exits);
    // The menu entry never asks.
    w.boardWindow().findChild<QAction *>(QStringLiteral("close"))->trigger();
    QCOMPARE(m_questions, questions);
}

void TestDraw::secondRoundThroughWindow()
{
    ProgramStage w(prizeList());
    w.boardWindow().show();
    spin(w);
    const int cell = w.night().board().stopCell;
    const int held = (cell + 5) % Board::Cells;
    w.night().board().cells[std::size_t(held)] = Cell::Held;
    m_answer = true;
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
    QCOMPARE(w.boardWindow().cell(cell)->backColour(), Cell::Won);
    QCOMPARE(w.boardWindow().cell(held)->backColour(), Cell::Idle);
    QVERIFY(!w.boardWindow().marker(cell)->isVisible());
    QVERIFY(w.boardWindow().startButton()->isEnabled());
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QCOMPARE(m_refusals.size(), 1);
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option3"))->click();
    QCOMPARE(w.boardWindow().cell(held)->backColour(), Cell::Idle);
}

void TestDraw::secondRoundAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes starts the second round") << true;
    QTest::newRow("no changes nothing") << false;
}

// The second round puts every held number back into the draw, and nothing undoes that.
void TestDraw::secondRoundAsksFirst()
{
    QFETCH(bool, answer);
    ProgramStage w(prizeList());
    w.boardWindow().show();
    spin(w);
    const int cell = w.night().board().stopCell;
    const int held = (cell + 5) % Board::Cells;
    QTest::mouseClick(w.boardWindow().cell(held), Qt::RightButton);
    QTest::mouseClick(w.boardWindow().cell(held), Qt::RightButton);
    QCOMPARE(w.boardWindow().cell(held)->backColour(), Cell::Held);
    QStringList asked;
    Prompt::setConfirmHandler([&](QWidget *, const QString &t) {
        asked << t;
        return answer;
    });
    auto *option1 = w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"));
    auto *option3 = w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option3"));
    option1->click();
    QCOMPARE(asked, QStringList{QStringLiteral("確定要開始第二輪抽獎嗎?")});
    QCOMPARE(option1->isChecked(), answer);
    QCOMPARE(option3->isChecked(), !answer);
    QCOMPARE(w.boardWindow().cell(held)->backColour(), answer ? Cell::Idle : Cell::Held);
    QCOMPARE(w.night().board().awaitingPrize, !answer);
    QCOMPARE(w.boardWindow().marker(cell)->isVisible(), !answer);
}

void TestDraw::prizeWindowInFrontOfBoard()
{
    ProgramStage w(prizeList());
    w.boardWindow().show();
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    PrizeWindow *prize = w.windows().prizeWindow();
    prize->finishOpening();
    // Window managers keep a dialog above the window it belongs to, and give it no
    // minimise or maximise button.
    QVERIFY(prize->isWindow());
    QCOMPARE(prize->windowType(), Qt::Dialog);
    QVERIFY(prize->windowHandle());
    QCOMPARE(prize->windowHandle()->transientParent(), w.boardWindow().windowHandle());
    const Qt::WindowFlags flags = prize->windowFlags();
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(prize->minimumSize(), prize->maximumSize());
    // The board stays usable meanwhile.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(w.boardWindow().isEnabled());
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    QVERIFY(w.night().board().timer1Enabled);
    QVERIFY(prize->isVisible());
}

void TestDraw::minimisedPrizeWindowComesBack()
{
    ProgramStage w(prizeList());
    w.boardWindow().show();
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QPointer<PrizeWindow> prize = w.windows().prizeWindow();
    prize->finishOpening();
    prize->showMinimized();
    QVERIFY(prize->isMinimized());
    spin(w);
    QTest::mouseClick(w.boardWindow().cardButton(1), Qt::LeftButton);
    QCOMPARE(w.windows().prizeWindow(), prize.data());
    QVERIFY(!prize->isMinimized());
    QVERIFY(prize->isVisible());
    QCOMPARE(prizeShown(prize), w.night().board().drawnGift);
}

void TestDraw::pictureClosedAnyWayShowsBoard_data()
{
    QTest::addColumn<bool>("byClick");
    QTest::newRow("click on the picture") << true;
    QTest::newRow("closed by the window manager") << false;
}

void TestDraw::pictureClosedAnyWayShowsBoard()
{
    QFETCH(bool, byClick);
    ProgramStage w(prizeList());
    w.boardWindow().show();
    lastStop(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    w.windows().prizeWindow()->finishOpening();
    QTest::mouseClick(
        w.windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1")),
        Qt::LeftButton);
    QVERIFY(!w.boardWindow().isVisible());
    QPointer<ClosingPicture> picture = w.windows().closingPicture();
    QVERIFY(picture);
    picture->finishOpening();
    if (byClick)
        QTest::mouseClick(picture->findChild<QWidget *>(QStringLiteral("Picture1")),
                          Qt::LeftButton);
    else
        QVERIFY(picture->close()); // what Alt+F4 or a close request amounts to
    flushDeletes();
    QVERIFY(!picture);
    QVERIFY(w.boardWindow().isVisible());
}

void TestDraw::pendingHeldGivesWay_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<ColourValue>("after");
    QTest::newRow("nothing in between") << QString() << Cell::Held;
    QTest::newRow("right click: won to held") << QStringLiteral("r") << Cell::Held;
    QTest::newRow("two right clicks: excluded") << QStringLiteral("rr") << Cell::Excluded;
    QTest::newRow("three right clicks: back in play") << QStringLiteral("rrr") << Cell::Idle;
    // The number is still won when the round changes, and won numbers stay won.
    QTest::newRow("second round") << QStringLiteral("2") << Cell::Won;
    QTest::newRow("right click on another cell") << QStringLiteral("o") << Cell::Held;
}

// A consolation prize marks its number held once the prize window has opened; what the
// operator does to that number or the round meanwhile comes later and wins.
void TestDraw::pendingHeldGivesWay()
{
    QFETCH(QString, action);
    QFETCH(ColourValue, after);
    m_answer = true;
    ProgramStage w({QStringLiteral("精美紀念獎")});
    w.boardWindow().show();
    lastStop(w);
    const int cell = w.night().board().stopCell;
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QVERIFY(w.windows().prizeWindow()->isOpening());
    for (QChar c : action) {
        if (c == u'r')
            QTest::mouseClick(w.boardWindow().cell(cell), Qt::RightButton);
        else if (c == u'o')
            QTest::mouseClick(w.boardWindow().cell((cell + 3) % Board::Cells), Qt::RightButton);
        else
            w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
    }
    w.windows().prizeWindow()->finishOpening();
    QCOMPARE(w.boardWindow().cell(cell)->backColour(), after);
    w.windows().prizeWindow()->close();
    flushDeletes();
    QCOMPARE(w.boardWindow().cell(cell)->backColour(), after);
}

// The close box leads where 確 定 leads: after the 56th card, to the closing picture.
void TestDraw::closeBoxAfterLastCard()
{
    ProgramStage w(prizeList());
    w.boardWindow().show();
    lastStop(w);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QVERIFY(!w.boardWindow().cardButton(0)->isEnabled() &&
            !w.boardWindow().cardButton(1)->isEnabled());
    w.windows().prizeWindow()->finishOpening();
    QList<BoardChange> changes;
    connect(&w.night(), &Night::boardChanged, this, [&](BoardChange c) { changes << c; });
    QVERIFY(w.windows().prizeWindow()->close());
    flushDeletes();
    QVERIFY(!w.windows().prizeWindow());
    // The journal has the close once, then the end of the night.
    QCOMPARE(changes, (QList<BoardChange>{BoardChange::PrizeClosed, BoardChange::Closing}));
    QVERIFY(w.windows().closingPicture());
    QVERIFY(w.windows().closingPicture()->isVisible());
    QVERIFY(!w.boardWindow().isVisible());
}

QTEST_MAIN(TestDraw)
#include "test_draw.moc"
