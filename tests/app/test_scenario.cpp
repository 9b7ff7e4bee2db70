#include "cellbutton.h"
#include "prompt.h"
#include "random.h"
#include "teststage.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

// One night through the real windows: a first round with consolation prizes, the second
// round, the bingo window and the About box used while the light runs, to the closing
// picture.
namespace {
QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << (i <= 20 ? QStringLiteral("第%1號紀念獎").arg(i) : QStringLiteral("大獎%1").arg(i));
    return l;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void finishSpin(Stage &w)
{
    while (w.night().board().timer1Enabled)
        w.night().tick();
}

void drawCard(Stage &w, int stack)
{
    QTest::mouseClick(w.boardWindow().cardButton(stack), Qt::LeftButton);
    w.windows().prizeWindow()->finishOpening();
    QTest::mouseClick(
        w.windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1")),
        Qt::LeftButton);
    flushDeletes();
}

int countCells(Stage &w, ColourValue c)
{
    return int(std::count(w.night().board().cells.begin(), w.night().board().cells.end(), c));
}
} // namespace

class TestScenario : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wholeNightWithEverything();
    void exitDuringBingoDraw();
};

void TestScenario::wholeNightWithEverything()
{
    QStringList refusals;
    Prompt::setRefuseHandler([&](QWidget *, const QString &t) { refusals << t; });
    QStringList questions;
    Prompt::setConfirmHandler([&](QWidget *, const QString &t) {
        questions << t;
        return true;
    });
    QList<QUrl> links;
    AboutBox::setLinkOpener([&](const QUrl &u) { links << u; });
    double now = 0;
    ProgramStage w(prizeList());
    w.night().setClock([&now] { return now += 1.25; });
    w.boardWindow().show();

    // First round: 30 numbers, some of them consolation prizes.
    int held = 0;
    for (int n = 0; n < 30; ++n) {
        QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
        finishSpin(w);
        drawCard(w, n % 2);
        held += w.night().board().drawnIsConsolation();
    }
    QCOMPARE(countCells(w, Cell::Held), held);
    QCOMPARE(countCells(w, Cell::Won), 30 - held);
    QVERIFY(held > 0);

    // Take one number out by hand, then the second round frees every held number.
    const int out =
        int(std::find(w.night().board().cells.begin(), w.night().board().cells.end(), Cell::Idle) -
            w.night().board().cells.begin());
    for (int k = 0; k < 2; ++k)
        QTest::mouseClick(w.boardWindow().cell(out), Qt::RightButton);
    QCOMPARE(w.boardWindow().cell(out)->backColour(), Cell::Held);
    QTest::mouseClick(w.boardWindow().cell(out), Qt::RightButton);
    QCOMPARE(w.boardWindow().cell(out)->backColour(), Cell::Excluded);
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
    QCOMPARE(questions, QStringList{QStringLiteral("確定要開始第二輪抽獎嗎?")});
    QCOMPARE(countCells(w, Cell::Held), 0);
    QCOMPARE(countCells(w, Cell::Won), 30 - held);
    QCOMPARE(countCells(w, Cell::Idle), 56 - (30 - held) - 1);

    // A spin, with the bingo window and the About box used while the light runs.
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    for (int t = 0; t < 50; ++t)
        w.night().tick();
    w.boardWindow().findChild<QAction *>(QStringLiteral("Lotto"))->trigger();
    BingoWindow *bingo = w.windows().bingoWindow();
    QVERIFY(bingo);
    QTest::mouseClick(bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)")),
                      Qt::LeftButton);
    for (int k = 0; k < 25; ++k) {
        w.night().bingoStep();
        w.night().tick();
        QTest::mouseClick(bingo->findChild<QPushButton *>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        w.night().bingoStep();
    }
    QVERIFY(!bingo->isDrawing());
    QVERIFY(!bingo->findChild<QLabel *>(QStringLiteral("Label1(23)"))->text().isEmpty());
    w.boardWindow().findChild<QAction *>(QStringLiteral("Lotto"))->trigger();
    QCOMPARE(w.windows().bingoWindow(), bingo); // brought forward, state kept
    QVERIFY(!bingo->findChild<QLabel *>(QStringLiteral("Label1(0)"))->text().isEmpty());
    w.boardWindow().findChild<QAction *>(QStringLiteral("aboutus"))->trigger();
    QVERIFY(w.windows().aboutBox());
    QTest::mouseClick(w.windows().aboutBox()->findChild<QLabel *>(QStringLiteral("lbl(2)")),
                      Qt::LeftButton);
    QCOMPARE(links.size(), 1);
    QTest::mouseClick(w.windows().aboutBox()->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    flushDeletes();
    QVERIFY(!w.windows().aboutBox());
    QVERIFY(w.night().board().timer1Enabled); // none of it stopped the light
    finishSpin(w);
    drawCard(w, 0);

    // The rest of the night, to the closing picture.
    while (w.night().board().giftsLeft > 0) {
        QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
        finishSpin(w);
        drawCard(w, w.boardWindow().cardButton(0)->isEnabled() ? 0 : 1);
    }
    QVERIFY(refusals.isEmpty());
    QVERIFY(!w.boardWindow().isVisible());
    QVERIFY(w.windows().closingPicture());
    w.windows().closingPicture()->finishOpening();
    QTest::mouseClick(
        w.windows().closingPicture()->findChild<QWidget *>(QStringLiteral("Picture1")),
        Qt::LeftButton);
    flushDeletes();
    QVERIFY(w.boardWindow().isVisible());
    QCOMPARE(w.boardWindow().cell(out)->backColour(), Cell::Excluded);
    Prompt::setRefuseHandler({});
    Prompt::setConfirmHandler({});
    AboutBox::setLinkOpener({});
}

void TestScenario::exitDuringBingoDraw()
{
    ProgramStage w(prizeList());
    w.boardWindow().show();
    w.boardWindow().findChild<QAction *>(QStringLiteral("Lotto"))->trigger();
    QTest::mouseClick(
        w.windows().bingoWindow()->findChild<QPushButton *>(QStringLiteral("Command1(0)")),
        Qt::LeftButton);
    QVERIFY(w.windows().bingoWindow()->isDrawing());
    QSignalSpy exit(&w.boardWindow(), &BoardWindow::exitRequested);
    w.boardWindow().findChild<QAction *>(QStringLiteral("close"))->trigger();
    QCOMPARE(exit.count(), 1);
}

QTEST_MAIN(TestScenario)
#include "test_scenario.moc"
