#include "night.h"
#include "recordingsound.h"
#include "scriptedrandom.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QStringList prizes(const QString &last)
{
    QStringList l;
    for (int i = 1; i < 56; ++i)
        l << QStringLiteral("獎品%1").arg(i);
    return l << last;
}

void spinToStop(Night &night, ScriptedRandom &random)
{
    random.push(ScriptedRandom::forPick(0, 5));
    random.push(0.0f);
    night.setClock([] { return 1.0; });
    QCOMPARE(night.start(), Board::StartResult::Started);
    while (night.board().timer1Enabled)
        night.tick();
}
} // namespace

// The card flow as the windows see it, with no window: what the night says, in which order,
// and what waits for the prize window's word.
class TestNight : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cardFlow_data();
    void cardFlow();
    void lastConfirmationEndsTheNight_data();
    void lastConfirmationEndsTheNight();
};

void TestNight::cardFlow_data()
{
    QTest::addColumn<QString>("prize");
    QTest::addColumn<bool>("openedAtOnce"); // a window already up shows the card at once
    QTest::addColumn<Sound::Cue>("cue");
    QTest::newRow("prize, window grows") << QStringLiteral("獎品") << false << Sound::Cue::Fanfare;
    QTest::newRow("consolation, window grows")
        << QStringLiteral("紀念獎") << false << Sound::Cue::Consolation;
    QTest::newRow("consolation, window up")
        << QStringLiteral("紀念獎") << true << Sound::Cue::Consolation;
}

void TestNight::cardFlow()
{
    QFETCH(QString, prize);
    QFETCH(bool, openedAtOnce);
    QFETCH(Sound::Cue, cue);
    // Every card draws the same prize, so whichever the generator picks is known.
    ScriptedRandom random;
    RecordingSound sound;
    Night night(QStringList(56, prize), random);
    night.setSound(&sound);
    spinToStop(night, random);
    const int cell = night.board().stopCell;

    QStringList order;
    connect(&night, &Night::boardChanged, this, [&](BoardChange c) {
        order << (c == BoardChange::Card ? QStringLiteral("journal") : QStringLiteral("other"));
    });
    connect(&night, &Night::changed, this, [&] { order << QStringLiteral("render"); });
    QSignalSpy drawn(&night, &Night::prizeDrawn);
    sound.clear();
    QVERIFY(night.drawCard(Board::Fate));
    // The journal has the card before any window shows it, and the prize window comes last.
    QCOMPARE(order.mid(0, 2), (QStringList{QStringLiteral("journal"), QStringLiteral("render")}));
    QCOMPARE(drawn.size(), 1);
    QCOMPARE(drawn[0][0].toInt(), cell);
    QCOMPARE(drawn[0][1].toString(), prize);

    const bool consolation = cue == Sound::Cue::Consolation;
    // Nothing is heard and no number turns held until the window has opened.
    night.prizeShown(openedAtOnce);
    if (!openedAtOnce) {
        QVERIFY(sound.cues().isEmpty());
        QCOMPARE(night.pendingHeld().size(), consolation ? 1 : 0);
        QVERIFY(!night.presenterState().prizeOpened);
        night.prizeOpened();
    }
    QCOMPARE(sound.cues(), QList<Sound::Cue>{cue});
    QVERIFY(night.pendingHeld().isEmpty());
    QCOMPARE(night.board().cells[std::size_t(cell)] == Cell::Held, consolation);
    QVERIFY(night.presenterState().prizeOpened);
}

void TestNight::lastConfirmationEndsTheNight_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("確 定") << true;
    // The close box or Alt+F4: the prize has been announced all the same.
    QTest::newRow("close box") << false;
}

void TestNight::lastConfirmationEndsTheNight()
{
    QFETCH(bool, byButton);
    ScriptedRandom random;
    Night night(prizes(QStringLiteral("頭獎")), random);
    QSignalSpy finale(&night, &Night::finaleRequested);
    QList<BoardChange> changes;
    connect(&night, &Night::boardChanged, this, [&](BoardChange c) { changes << c; });
    for (int card = 0; card < 56; ++card) {
        spinToStop(night, random);
        QVERIFY(night.drawCard(card % 2));
        night.prizeShown(false);
        night.prizeOpened();
        night.prizeClosing();
        if (byButton)
            night.prizeConfirmed();
        night.prizeGone();
        QCOMPARE(finale.size(), card == 55 ? 1 : 0);
    }
    QCOMPARE(changes.mid(changes.size() - 2),
             (QList<BoardChange>{BoardChange::PrizeClosed, BoardChange::Closing}));
}

QTEST_GUILESS_MAIN(TestNight)
#include "test_night.moc"
