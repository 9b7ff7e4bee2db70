#include "bingowindow.h"
#include "prompt.h"
#include "recordingsound.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

// What the windows make heard, through the sound seam: no device needed.
namespace {
using Cue = Sound::Cue;

QStringList prizeList(bool consolation = false)
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << (consolation ? QStringLiteral("第%1號紀念獎").arg(i)
                          : QStringLiteral("獎品%1").arg(i));
    return l;
}

// Spins with the length 198 + k, starting at cell 0, and runs every tick at once.
void spin(TestStage &w, int k)
{
    w.random().push(ScriptedRandom::forPick(k, 5));
    w.random().push(0.0f);
    w.night().setClock([] { return 1.0; });
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    while (w.night().board().timer1Enabled)
        w.night().tick();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestSoundCues : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void clickPerStepThenChime_data();
    void clickPerStepThenChime();
    void prizeCueOnceOpened_data();
    void prizeCueOnceOpened();
    void closingWithTheClosingPicture();
    void mutedMakesNothing_data();
    void mutedMakesNothing();
    void bingoRollFollowsTheDraw();
    void soundOnByDefault();
};

void TestSoundCues::init()
{
    Prompt::setRefuseHandler([](QWidget *, const QString &) {});
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
}

void TestSoundCues::cleanup()
{
    Prompt::setRefuseHandler({});
    Prompt::setConfirmHandler({});
    flushDeletes();
}

void TestSoundCues::clickPerStepThenChime_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("blocked"); // some cells in the light's path are not free
    for (int k = 0; k < 5; ++k) {
        QTest::addRow("length %d", 198 + k) << k << false;
        QTest::addRow("length %d, cells won on the way", 198 + k) << k << true;
    }
}

// Every step of the light clicks, also one onto a cell that lights nothing; the stop
// chimes once, and nothing comes before the first tick.
void TestSoundCues::clickPerStepThenChime()
{
    QFETCH(int, k);
    QFETCH(bool, blocked);
    RecordingSound sound;
    TestStage w(prizeList());
    w.night().setSound(&sound);
    if (blocked) {
        for (int cell : {3, 4, 40})
            w.boardWindow().cellReleased(cell, Qt::RightButton);
    }
    w.random().push(ScriptedRandom::forPick(k, 5));
    w.random().push(0.0f);
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    QVERIFY(sound.events.isEmpty());
    w.night().tick();
    QCOMPARE(sound.cues(), QList<Cue>{Cue::Click});
    while (w.night().board().timer1Enabled)
        w.night().tick();
    const int length = 198 + k;
    QCOMPARE(w.night().board().spinLength, length);
    QCOMPARE(sound.count(Cue::Click), length - 2);
    QCOMPARE(sound.count(Cue::Chime), 1);
    QCOMPARE(sound.cues().last(), Cue::Chime);
    QCOMPARE(sound.events.size(), length - 1);
    // A tick after the stop is no step.
    w.night().tick();
    QCOMPARE(sound.events.size(), length - 1);
}

void TestSoundCues::prizeCueOnceOpened_data()
{
    QTest::addColumn<bool>("consolation");
    QTest::addColumn<Cue>("cue");
    QTest::newRow("prize") << false << Cue::Fanfare;
    QTest::newRow("consolation") << true << Cue::Consolation;
}

// The prize is heard when the window has opened and shows it, not when the card is
// turned; a second card while the window is up is heard at once.
void TestSoundCues::prizeCueOnceOpened()
{
    QFETCH(bool, consolation);
    QFETCH(Cue, cue);
    RecordingSound sound;
    TestStage w(prizeList(consolation));
    w.night().setSound(&sound);
    spin(w, 0);
    sound.clear();
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    QVERIFY(w.windows().prizeWindow());
    QVERIFY(sound.events.isEmpty());
    w.windows().prizeWindow()->finishOpening();
    QCOMPARE(sound.cues(), QList<Cue>{cue});

    spin(w, 1);
    sound.clear();
    QTest::mouseClick(w.boardWindow().cardButton(1), Qt::LeftButton);
    QCOMPARE(sound.cues(), QList<Cue>{cue});
}

void TestSoundCues::closingWithTheClosingPicture()
{
    RecordingSound sound;
    TestStage w(prizeList());
    w.night().setSound(&sound);
    w.boardWindow().show();
    spin(w, 0);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    PrizeWindow *prize = w.windows().prizeWindow();
    prize->finishOpening();
    // As if this had been the last card.
    w.night().board().cardEnabled = {false, false};
    sound.clear();
    QTest::mouseClick(prize->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(w.windows().closingPicture());
    QCOMPARE(sound.cues(), QList<Cue>{Cue::Closing});
}

void TestSoundCues::mutedMakesNothing_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("menu entry") << false;
    QTest::newRow("key M") << true;
}

void TestSoundCues::mutedMakesNothing()
{
    QFETCH(bool, byKey);
    RecordingSound sound;
    TestStage w(prizeList());
    w.night().setSound(&sound);
    w.boardWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.boardWindow()));
    if (byKey)
        QTest::keyClick(&w.boardWindow(), Qt::Key_M);
    else
        w.viewMenu().soundAction()->trigger();
    QVERIFY(!w.viewMenu().soundAction()->isChecked());
    QVERIFY(sound.isMuted());
    QCOMPARE(sound.silences, 1);

    spin(w, 2);
    QTest::mouseClick(w.boardWindow().cardButton(0), Qt::LeftButton);
    w.windows().prizeWindow()->finishOpening();
    w.windows().openBingo();
    QTest::mouseClick(
        w.windows().bingoWindow()->findChild<QPushButton *>(QStringLiteral("Command1(0)")),
        Qt::LeftButton);
    w.windows().bingoWindow()->take();
    w.night().bingoStep();
    QCOMPARE(sound.cues(), QList<Cue>{});

    // Back on: the next step is heard again.
    if (byKey)
        QTest::keyClick(&w.boardWindow(), Qt::Key_M);
    else
        w.viewMenu().soundAction()->trigger();
    QVERIFY(!sound.isMuted());
    w.windows().bingoWindow()->take();
    w.night().bingoStep();
    QCOMPARE(sound.cues(), QList<Cue>{Cue::Ding});
    w.windows().bingoWindow()->close();
}

// The roll starts with the draw's loop and stops when the loop stops: all numbers
// taken, or the window closed mid-draw. A pass that takes a number dings, once.
void TestSoundCues::bingoRollFollowsTheDraw()
{
    RecordingSound sound;
    TestStage w(prizeList());
    w.night().setSound(&sound);
    w.windows().openBingo();
    BingoWindow *bingo = w.windows().bingoWindow();
    auto *start = bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"));
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(sound.cues(), QList<Cue>{Cue::Roll});
    QVERIFY(sound.rolling);
    w.night().bingoStep();
    w.night().bingoStep();
    QCOMPARE(sound.count(Cue::Ding), 0);
    for (int n = 1; n <= 25; ++n) {
        bingo->take();
        w.night().bingoStep();
        QCOMPARE(sound.count(Cue::Ding), n);
        QCOMPARE(sound.rolling, n < 25);
    }
    QCOMPARE(sound.events.size(), 1 + 25 + 1);
    QVERIFY(sound.events.last().stop);

    sound.clear();
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(sound.rolling);
    bingo->close();
    QVERIFY(!sound.rolling);
    QCOMPARE(sound.events.size(), 2);
}

void TestSoundCues::soundOnByDefault()
{
    TestStage w(prizeList());
    QAction *entry = w.viewMenu().soundAction();
    QCOMPARE(entry->text(), QStringLiteral("音效"));
    QVERIFY(entry->isCheckable());
    QVERIFY(entry->isChecked());
    QVERIFY(w.viewMenu().menu()->actions().contains(entry));
    // A sound set while the entry is off starts muted.
    entry->setChecked(false);
    RecordingSound sound;
    w.night().setSound(&sound);
    QVERIFY(sound.isMuted());
    w.night().setSound(nullptr);
}

QTEST_MAIN(TestSoundCues)
#include "test_soundcues.moc"
