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
    while (night.isSpinning())
        night.tick();
}

// What the views were told, in order: the journal's changes as "journal", the rest by what
// changed.
struct Told
{
    QStringList order;
    Night::Aspects all = {};
    Told(Night &night, QObject *context)
    {
        QObject::connect(&night, &Night::boardChanged, context,
                         [this] { order << QStringLiteral("journal"); });
        QObject::connect(&night, &Night::changed, context, [this](Night::Aspects a) {
            order << QStringLiteral("changed");
            all |= a;
        });
    }
};
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
    void lineAndQuestions();
    void namesFollowTheStop();
    void cellNames_data();
    void cellNames();
    void oneDeliveryAtATime();
    void bingoDraw_data();
    void bingoDraw();
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
    QCOMPARE(night.shownNumber(), cell + 1);

    Told told(night, this);
    sound.clear();
    QVERIFY(night.drawCard(Board::Fate));
    // The journal has the card before any window shows it; one word for every view.
    QCOMPARE(told.order, (QStringList{QStringLiteral("journal"), QStringLiteral("changed")}));
    QVERIFY(told.all.testFlags(Night::Prize | Night::Counts));
    QCOMPARE(night.prize().stage, Night::PrizeStage::Drawn);
    QCOMPARE(night.prize().cell, cell);
    QCOMPARE(night.prize().text, prize);
    // The number stays up with the prize until it is confirmed.
    QCOMPARE(night.shownNumber(), cell + 1);

    const bool consolation = cue == Sound::Cue::Consolation;
    // Nothing is heard and no number turns held until the window has opened.
    if (!openedAtOnce) {
        night.reportPrize(Night::PrizeStage::Growing);
        QVERIFY(sound.cues().isEmpty());
        QCOMPARE(night.settledBoard().cells[std::size_t(cell)] == Cell::Held, consolation);
        QCOMPARE(night.board().cells[std::size_t(cell)], Cell::Won);
        QVERIFY(night.presenterState().prizeShown);
        QVERIFY(!night.presenterState().prizeOpened);
    }
    night.reportPrize(Night::PrizeStage::Shown);
    QCOMPARE(sound.cues(), QList<Sound::Cue>{cue});
    QCOMPARE(night.board().cells[std::size_t(cell)] == Cell::Held, consolation);
    QVERIFY(night.presenterState().prizeOpened);

    const int serial = night.prize().serial;
    night.reportPrize(Night::PrizeStage::None);
    QCOMPARE(night.prize().stage, Night::PrizeStage::None);
    QCOMPARE(night.shownNumber(), 0);
    QVERIFY(!night.isFinale());
    // A later report of a window gone changes nothing; the next card is a new prize.
    night.reportPrize(Night::PrizeStage::Shown);
    QCOMPARE(sound.cues().size(), 1);
    spinToStop(night, random);
    QVERIFY(night.drawCard(Board::Chance));
    QCOMPARE(night.prize().serial, serial + 1);
}

void TestNight::lastConfirmationEndsTheNight_data()
{
    QTest::addColumn<bool>("grown");
    QTest::newRow("確 定 once grown") << true;
    // The close box while it still grows: the prize has been announced all the same.
    QTest::newRow("closed while growing") << false;
}

void TestNight::lastConfirmationEndsTheNight()
{
    QFETCH(bool, grown);
    ScriptedRandom random;
    Night night(prizes(QStringLiteral("頭獎")), random);
    QList<BoardChange> changes;
    connect(&night, &Night::boardChanged, this, [&](BoardChange c) { changes << c; });
    Told told(night, this);
    for (int card = 0; card < 56; ++card) {
        spinToStop(night, random);
        QVERIFY(night.drawCard(card % 2));
        night.reportPrize(Night::PrizeStage::Growing);
        if (grown)
            night.reportPrize(Night::PrizeStage::Shown);
        told.all = {};
        night.reportPrize(Night::PrizeStage::None);
        QCOMPARE(night.isFinale(), card == 55);
        QCOMPARE(told.all.testFlag(Night::Finale), card == 55);
    }
    QCOMPARE(changes.mid(changes.size() - 2),
             (QList<BoardChange>{BoardChange::PrizeClosed, BoardChange::Closing}));
    night.endFinale();
    QVERIFY(!night.isFinale());
}

// The line the board and the show give: a question before the hint; each goes once the night
// has moved past it.
void TestNight::lineAndQuestions()
{
    ScriptedRandom random;
    Night night(prizes(QStringLiteral("頭獎")), random);
    night.board().cells.fill(Cell::Excluded);
    night.explain();
    QCOMPARE(night.hint(), Presenter::Hint::RoundDone);
    QCOMPARE(night.line(), Presenter::hintText(Presenter::Hint::RoundDone));
    night.ask(Presenter::Question::SecondRound);
    QCOMPARE(night.line(), Presenter::questionText(Presenter::Question::SecondRound));
    QCOMPARE(night.answer(true), Presenter::Question::SecondRound);
    QVERIFY(night.isSecondRound());
    // The round freed nothing (every number excluded): the hint says so now.
    night.explain();
    QCOMPARE(night.line(), Presenter::hintText(Presenter::Hint::NoNumber));
    night.board().cells.fill(Cell::Idle);
    night.rightClick(0);
    QCOMPARE(night.line(), QString());

    // Asked for a card over the board: yes draws 命運 while it lasts, then 機會.
    night.setShowMode(Night::ShowMode::Over);
    for (int stack : {Board::Fate, Board::Chance}) {
        night.board().cardEnabled[Board::Fate] = stack == Board::Fate;
        spinToStop(night, random);
        night.ask(Presenter::Question::Card);
        const int chance = night.board().chanceLeft;
        const int fate = night.board().fateLeft;
        QCOMPARE(night.answer(true), Presenter::Question::Card);
        QCOMPARE(night.board().chanceLeft, chance - (stack == Board::Chance));
        QCOMPARE(night.board().fateLeft, fate - (stack == Board::Fate));
        night.reportPrize(Night::PrizeStage::None);
    }
    // The show going ends its question.
    spinToStop(night, random);
    night.ask(Presenter::Question::Card);
    night.setShowMode(Night::ShowMode::Off);
    QCOMPARE(night.question(), Presenter::Question::None);
}

// The name announced is the list's at the stop; a list changed afterwards names the next stop.
void TestNight::namesFollowTheStop()
{
    ScriptedRandom random;
    Night night(prizes(QStringLiteral("頭獎")), random);
    QMap<int, Guest> list;
    for (int n = 1; n <= 56; ++n)
        list[n] = {QStringLiteral("王%1").arg(n), QStringLiteral("業務部")};
    night.setGuests(list);
    spinToStop(night, random);
    const int number = night.shownNumber();
    const Guest announced = list[number];
    QCOMPARE(night.shownGuest(), announced);
    night.setGuests({});
    QCOMPARE(night.shownGuest(), announced);
    QVERIFY(night.drawCard(Board::Fate));
    QCOMPARE(night.prize().guest, announced);
    QCOMPARE(night.shownGuest(), announced);
    night.reportPrize(Night::PrizeStage::None);
    QCOMPARE(night.shownGuest(), Guest());
    spinToStop(night, random);
    QCOMPARE(night.stopGuest(), Guest());
    // Put back from the journal, a stop keeps the name it was announced with.
    night.restore(night.board(), false, false, {{night.shownNumber(), announced}});
    QCOMPARE(night.shownGuest(), announced);
}

// A number out of play names who it was announced as, whatever list is in force since;
// one back in play, or never drawn, names the list in force.
void TestNight::cellNames_data()
{
    QTest::addColumn<bool>("namedAtStop");
    QTest::addColumn<QString>("after");      // c: card, d: discard, r: right click, 2: second round
    QTest::addColumn<bool>("announcedName"); // else the new list's name

    QTest::newRow("won, list changed") << true << "c" << true;
    QTest::newRow("won naming nobody, list names it since") << false << "c" << true;
    QTest::newRow("stop thrown away stays won") << true << "d" << true;
    QTest::newRow("held, then excluded by hand") << true << "crr" << true;
    QTest::newRow("back in play by hand") << true << "crrr" << false;
    QTest::newRow("won by hand after it") << true << "crrrr" << false;
}

void TestNight::cellNames()
{
    QFETCH(bool, namedAtStop);
    QFETCH(QString, after);
    QFETCH(bool, announcedName);
    ScriptedRandom random;
    Night night(prizes(QStringLiteral("頭獎")), random);
    const auto list = [](const QString &surname) {
        QMap<int, Guest> l;
        for (int n = 1; n <= 56; ++n)
            l[n] = {surname + QString::number(n), {}};
        return l;
    };
    QMap<int, Guest> before = list(QStringLiteral("王"));
    if (!namedAtStop)
        before.remove(1);
    night.setGuests(before);
    spinToStop(night, random);
    const int number = night.shownNumber();
    QCOMPARE(number, 1);
    for (QChar step : after) {
        if (step == u'c') {
            QVERIFY(night.drawCard(Board::Chance));
            night.reportPrize(Night::PrizeStage::None);
        } else if (step == u'd') {
            night.discardStop();
        } else {
            night.rightClick(number - 1);
        }
    }
    const QMap<int, Guest> now = list(QStringLiteral("林"));
    night.setGuests(now);
    QCOMPARE(night.cellGuest(number), announcedName ? before.value(number) : now[number]);
    QCOMPARE(night.cellGuest(number + 1), now[number + 1]);
}

// A view that changes the night while it is told (the prize window reporting its growth as
// it opens) is told of it once every view has seen the first change, in order.
void TestNight::oneDeliveryAtATime()
{
    ScriptedRandom random;
    Night night(prizes(QStringLiteral("頭獎")), random);
    spinToStop(night, random);
    QList<QList<Night::Aspects>> seen(2);
    for (int view = 0; view < 2; ++view)
        QObject::connect(&night, &Night::changed, this, [&, view](Night::Aspects a) {
            seen[view] << a;
            if (view == 0 && night.prize().stage == Night::PrizeStage::Drawn)
                night.reportPrize(Night::PrizeStage::Growing);
        });
    QVERIFY(night.drawCard(Board::Chance));
    QCOMPARE(night.prize().stage, Night::PrizeStage::Growing);
    QCOMPARE(seen[0].size(), 2);
    QVERIFY(seen[0][0] & Night::Counts);
    QCOMPARE(seen[0][1], Night::Aspects(Night::Prize));
    QCOMPARE(seen[1], seen[0]);
}

void TestNight::bingoDraw_data()
{
    // o open, s start, p a pass of the loop, t take, h hold, r go on, c clear, x close,
    // b and B brought back with 4 and 9 taken, at rest or rolling; A takes all that are left.
    // A take before a pass has put a number on display, after a clear or a bringing back,
    // has nothing to take.
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("drawing");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("dings");

    QTest::newRow("nothing before it opens") << "stp" << false << false << false << 0 << 0;
    QTest::newRow("opened") << "o" << true << false << false << 0 << 0;
    QTest::newRow("a take on the next pass") << "ostp" << true << true << false << 1 << 1;
    QTest::newRow("a pass without a take") << "osp" << true << true << false << 0 << 0;
    QTest::newRow("a take waits while held") << "osthp" << true << true << true << 0 << 0;
    QTest::newRow("and is served on going on") << "osthrp" << true << true << false << 1 << 1;
    QTest::newRow("a start while rolling does nothing")
        << "ostpsp" << true << true << false << 1 << 1;
    QTest::newRow("clear mid-draw starts over") << "ostpcptp" << true << true << false << 1 << 2;
    QTest::newRow("all 25 end the draw") << "osA" << true << false << false << 25 << 25;
    QTest::newRow("closed mid-draw") << "ostpx" << false << false << false << 0 << 1;
    QTest::newRow("brought back at rest") << "b" << true << false << false << 2 << 0;
    QTest::newRow("brought back rolling") << "Bptp" << true << true << false << 3 << 1;
}

// The night runs the bingo draw without a window: what its views and the journal read, the
// roll heard exactly while the loop runs.
void TestNight::bingoDraw()
{
    QFETCH(QString, script);
    QFETCH(bool, open);
    QFETCH(bool, drawing);
    QFETCH(bool, paused);
    QFETCH(int, taken);
    QFETCH(int, dings);
    ScriptedRandom random;
    RecordingSound sound;
    Night night(prizes(QStringLiteral("頭獎")), random);
    night.setSound(&sound);
    Night::Aspects told = {};
    QObject::connect(&night, &Night::changed, this, [&told](Night::Aspects a) { told |= a; });
    for (QChar c : script) {
        told = {};
        switch (c.unicode()) {
        case 'o':
            night.openBingo();
            break;
        case 's':
            night.startBingo();
            break;
        case 't':
            night.takeBingo();
            break;
        case 'h':
            night.pauseBingo();
            break;
        case 'r':
            night.resumeBingo();
            break;
        case 'c':
            night.clearBingo();
            break;
        case 'x':
            night.closeBingo();
            break;
        case 'b':
            night.restoreBingo({4, 9}, false);
            break;
        case 'B':
            night.restoreBingo({4, 9}, true);
            break;
        case 'A':
            while (night.bingo().drawing) {
                night.takeBingo();
                night.bingoStep();
            }
            break;
        case 'p': {
            const int before = int(night.bingo().taken.size());
            night.bingoStep();
            // A pass that takes nothing only rolls the number: the views draw that alone.
            if (night.bingo().drawing && !night.bingo().paused &&
                night.bingo().taken.size() == before)
                QCOMPARE(told, Night::Aspects(Night::BingoRoll));
            break;
        }
        }
    }
    const Night::BingoState &bingo = night.bingo();
    QCOMPARE(bingo.open, open);
    QCOMPARE(bingo.drawing, drawing);
    QCOMPARE(bingo.paused, paused);
    QCOMPARE(bingo.taken.size(), taken);
    QCOMPARE(bingo.rolling.isEmpty(), !drawing);
    QCOMPARE(night.bingoTimer().isActive(), drawing && !paused);
    QCOMPARE(sound.rolling, drawing && !paused);
    QCOMPARE(sound.count(Sound::Cue::Ding), dings);
    const Presenter::NightState state = night.presenterState();
    QCOMPARE(state.bingoOpen, open);
    QCOMPARE(state.bingoTaken, taken > 0);
}

QTEST_GUILESS_MAIN(TestNight)
#include "test_night.moc"
