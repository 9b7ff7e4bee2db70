#include "board.h"
#include "scriptedrandom.h"

#include <QTest>

#include <cmath>

namespace {
// Cells written as a string, one character each: . initial, i idle, l lit, W won,
// h held, x excluded.
ColourValue cellFromChar(QChar c)
{
    switch (c.toLatin1()) {
    case 'i':
        return Cell::Idle;
    case 'l':
        return Cell::Lit;
    case 'W':
        return Cell::Won;
    case 'h':
        return Cell::Held;
    case 'x':
        return Cell::Excluded;
    default:
        return Cell::Initial;
    }
}

void setCells(Board &b, const QString &cells)
{
    for (int i = 0; i < Board::Cells; ++i)
        b.cells[std::size_t(i)] = cellFromChar(i < cells.size() ? cells[i] : QChar(u'.'));
}

QString cellString(const Board &b)
{
    QString s;
    for (ColourValue c : b.cells) {
        if (c == Cell::Idle)
            s += u'i';
        else if (c == Cell::Lit)
            s += u'l';
        else if (c == Cell::Won)
            s += u'W';
        else if (c == Cell::Held)
            s += u'h';
        else if (c == Cell::Excluded)
            s += u'x';
        else if (c == Cell::Initial)
            s += u'.';
        else
            s += u'?';
    }
    return s;
}

int freeCount(const Board &b)
{
    return int(std::count_if(b.cells.begin(), b.cells.end(),
                             [](ColourValue c) { return Cell::isFree(c); }));
}

// Scripts a spin of the given length whose winner is the k-th free cell of the board.
ScriptedRandom spinScript(const Board &b, int k, int length)
{
    return ScriptedRandom(
        {ScriptedRandom::forPick(length - 198, 5), ScriptedRandom::forPick(k, freeCount(b))});
}

// Upper chi-square bound at p = 0.001 (Wilson-Hilferty).
double chiSquareLimit(int degrees)
{
    const double d = degrees;
    const double t = 1.0 - 2.0 / (9.0 * d) + 3.0902 * std::sqrt(2.0 / (9.0 * d));
    return d * t * t * t;
}

int runSpin(Board &b)
{
    int ticks = 0;
    while (b.timer1Enabled) {
        b.tick();
        ++ticks;
    }
    return ticks;
}

QStringList gifts(int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("g%1").arg(i);
    return l;
}

// The parts of the board that a refusal must leave alone.
struct Snapshot
{
    explicit Snapshot(const Board &b)
        : cells(b.cells), markers(b.markerVisible), gifts(b.gifts), giftsLeft(b.giftsLeft),
          chanceLeft(b.chanceLeft), fateLeft(b.fateLeft), drawNo(b.drawNo),
          awaitingPrize(b.awaitingPrize), stopCell(b.stopCell), timer1(b.timer1Enabled),
          start(b.startEnabled), counter(b.counterCaption), text1(b.text1)
    {
    }
    bool operator==(const Snapshot &) const = default;
    std::array<ColourValue, Board::Cells> cells;
    std::array<bool, Board::Cells> markers;
    std::array<QString, Board::Cells> gifts;
    int giftsLeft, chanceLeft, fateLeft;
    qint64 drawNo;
    bool awaitingPrize;
    int stopCell;
    bool timer1, start;
    QString counter, text1;
};
} // namespace

class TestBoard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp();
    void winner_data();
    void winner();
    void spinTiming_data();
    void spinTiming();
    void stopSearchesOn_data();
    void stopSearchesOn();
    void startDuringSpinPlansAnew();
    void refusals_data();
    void refusals();
    void startFollowsPrizes_data();
    void startFollowsPrizes();
    void stopCounterDoesNotOverflow();
    void draw_data();
    void draw();
    void stacksRunOut();
    void consolation_data();
    void consolation();
    void rightClick_data();
    void rightClick();
    void secondRound_data();
    void secondRound();
    void fairness();
    void everyFreeCellEquallyLikely_data();
    void everyFreeCellEquallyLikely();
};

void TestBoard::startUp()
{
    Board b(gifts(3));
    QCOMPARE(b.giftsLeft, 56);
    QCOMPARE(b.idx, 3);
    QCOMPARE(b.gifts[2], QStringLiteral("g2"));
    QVERIFY(b.gifts[3].isEmpty());
    QCOMPARE(b.drawNo, 1);
    QVERIFY(!b.awaitingPrize);
    QCOMPARE(b.cells[16], Cell::Idle);
    QCOMPARE(cellString(b).count(u'.'), 55);
    QCOMPARE(b.stackCaption(Board::Chance), QStringLiteral("機會-28"));
    QCOMPARE(b.stackCaption(Board::Fate), QStringLiteral("命運-28"));
}

void TestBoard::winner_data()
{
    QTest::addColumn<int>("pick");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("winner");

    QTest::newRow("all free, k27 L198") << 27 << 198 << QString() << 0 << 27;
    QTest::newRow("all free, k29 L202") << 29 << 202 << QString() << 54 << 29;
    QTest::newRow("all free, k39 L200") << 39 << 200 << QString() << 10 << 39;
    QTest::newRow("all free, start on 55") << 26 << 198 << QString() << 55 << 26;
    QTest::newRow("all free, winner 55") << 55 << 198 << QString() << 28 << 55;
    const QString won27 = QString(27, u'.') + u'W';
    QTest::newRow("k27 skips won 27") << 27 << 198 << won27 << 1 << 28;
    QTest::newRow("k0 with 55 won") << 0 << 198 << QString(55, u'.') + u'W' << 29 << 0;
    const QString xh = QStringLiteral("xh") + QString(53, u'.') + u'W';
    QTest::newRow("first free after held and excluded") << 0 << 198 << xh << 31 << 2;
    QTest::newRow("last free before won 55") << 52 << 201 << xh << 24 << 54;
}

void TestBoard::winner()
{
    QFETCH(int, pick);
    QFETCH(int, length);
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(int, winner);
    Board b;
    setCells(b, before);
    ScriptedRandom r = spinScript(b, pick, length);
    QCOMPARE(b.start(r, 3600.5), Board::StartResult::Started);
    QCOMPARE(r.reseeds, QList<double>{3600.5});
    QCOMPARE(b.spinLength, length);
    QCOMPARE(b.lightPos, start);
    QVERIFY(!b.startEnabled);
    QCOMPARE(runSpin(b), length - 1);
    QCOMPARE(b.stopCell, winner);
    QCOMPARE(b.cells[std::size_t(winner)], Cell::Won);
    QCOMPARE(int(std::count(b.markerVisible.begin(), b.markerVisible.end(), true)), 1);
    QVERIFY(b.markerVisible[std::size_t(winner)]);
    QCOMPARE(cellString(b).count(u'l'), 0);
    QCOMPARE(b.counterCaption, QStringLiteral("1"));
    QCOMPARE(b.drawNo, 2);
    QVERIFY(b.awaitingPrize);
    QVERIFY(b.startEnabled);
    // Cells the light never lit keep their colours.
    for (int i = 0; i < before.size(); ++i)
        if (i != winner && !Cell::isFree(cellFromChar(before[i])))
            QCOMPARE(b.cells[std::size_t(i)], cellFromChar(before[i]));
}

// The stop still searches on when the planned winner is taken before the last step.
void TestBoard::stopSearchesOn_data()
{
    QTest::addColumn<QString>("taken");
    QTest::addColumn<int>("winner");
    QTest::newRow("next cell") << QStringLiteral("W") << 28;
    QTest::newRow("past held and excluded") << QStringLiteral("Whx") << 30;
    QTest::newRow("wraps to 0") << QStringLiteral("W") + QString(28, u'x') << 0;
}

void TestBoard::stopSearchesOn()
{
    QFETCH(QString, taken);
    QFETCH(int, winner);
    Board b;
    ScriptedRandom r = spinScript(b, 27, 198);
    b.start(r, 0);
    while (b.stepCount < b.spinLength - 1)
        b.tick();
    for (int i = 0; i < taken.size(); ++i)
        b.cells[std::size_t(27 + i)] = cellFromChar(taken[i]);
    b.tick();
    QVERIFY(!b.timer1Enabled);
    QCOMPARE(b.stopCell, winner);
    QCOMPARE(b.cells[std::size_t(winner)], Cell::Won);
}

void TestBoard::spinTiming_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("nominalMs");
    for (int l = 198; l <= 202; ++l)
        QTest::addRow("length %d", l) << l << 10080 + (l - 198) * 500;
}

void TestBoard::spinTiming()
{
    QFETCH(int, length);
    QFETCH(int, nominalMs);
    Board b;
    // The winner whose spin starts on cell 0.
    ScriptedRandom r = spinScript(b, (length - 3) % Board::Cells, length);
    b.start(r, 0);
    QCOMPARE(b.lightPos, 0);
    int total = b.timer1Interval;
    QCOMPARE(total, 50);
    b.tick();
    // The cell before the start cell turns idle at once, though the light never left it.
    QCOMPARE(b.cells[55], Cell::Idle);
    QCOMPARE(b.cells[0], Cell::Lit);
    while (b.timer1Enabled) {
        total += b.timer1Interval;
        b.tick();
    }
    QCOMPARE(total, nominalMs);
}

// Start pressed again during a spin, once the second round has enabled it.
void TestBoard::startDuringSpinPlansAnew()
{
    Board b;
    ScriptedRandom r({ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(27, 56),
                      ScriptedRandom::forPick(4, 5), ScriptedRandom::forPick(3, 54)});
    b.start(r, 0);
    for (int i = 0; i < 50; ++i)
        b.tick();
    b.cells[5] = Cell::Won;
    b.cells[6] = Cell::Excluded;
    b.secondRound();
    QVERIFY(b.startEnabled);
    QCOMPARE(b.start(r, 1), Board::StartResult::Started);
    QCOMPARE(b.spinLength, 202);
    QCOMPARE(b.stepCount, 1);
    QCOMPARE(runSpin(b), 201);
    // Free cells 0..4, then 7: the fourth free cell counting from zero is 3.
    QCOMPARE(b.stopCell, 3);
    QCOMPARE(b.cells[3], Cell::Won);
}

void TestBoard::refusals_data()
{
    QTest::addColumn<QString>("cells");
    QTest::addColumn<bool>("awaiting");
    QTest::addColumn<Board::StartResult>("result");
    QTest::newRow("prize awaited") << QString() << true << Board::StartResult::AwaitingPrize;
    QTest::newRow("no free cell") << QString(28, u'W') + QString(14, u'h') + QString(14, u'x')
                                  << false << Board::StartResult::NoFreeCell;
}

void TestBoard::refusals()
{
    QFETCH(QString, cells);
    QFETCH(bool, awaiting);
    QFETCH(Board::StartResult, result);
    Board b(gifts(56));
    setCells(b, cells);
    b.awaitingPrize = awaiting;
    b.markerVisible[7] = true;
    b.stopCell = 7;
    const Snapshot before(b);
    ScriptedRandom r({0.3f});
    QCOMPARE(b.start(r, 10), result);
    QVERIFY(Snapshot(b) == before);
    QVERIFY(r.reseeds.isEmpty());
}

// A night as a string of steps: S a spin to its stop, C a card, D 重新搖獎, R the second
// round, U the last stop's number put back in play by right clicks. `start` holds one digit
// a step: whether Start is enabled after it.
void TestBoard::startFollowsPrizes_data()
{
    QTest::addColumn<QString>("night");
    QTest::addColumn<QString>("start");
    const QString night55 = QStringLiteral("SC").repeated(55);
    const QString on55 = QStringLiteral("11").repeated(55);
    QTest::newRow("no discard: the 56th stop and the last card")
        << night55 + QStringLiteral("SC") << on55 + QStringLiteral("00");
    QTest::newRow("round change after the last card")
        << night55 + QStringLiteral("SCR") << on55 + QStringLiteral("000");
    // Today's fault: the 56th stop disabled Start with a prize still to give.
    QTest::newRow("one discard: the 57th stop takes the last prize")
        << QStringLiteral("SDU") + night55 + QStringLiteral("SC")
        << QStringLiteral("111") + on55 + QStringLiteral("00");
    QTest::newRow("discarding the stop of the last prize")
        << night55 + QStringLiteral("SDUSC") << on55 + QStringLiteral("01100");
    QTest::newRow("round change drops the stop of the last prize")
        << night55 + QStringLiteral("SR") << on55 + QStringLiteral("01");
    QTest::newRow("round change with prizes left")
        << QStringLiteral("SCSCR") << QStringLiteral("11111");
    QTest::newRow("round change drops a waiting stop")
        << QStringLiteral("SCSR") << QStringLiteral("1111");
    QTest::newRow("corrections change nothing")
        << QStringLiteral("SUDSCU") << QStringLiteral("111111");
}

void TestBoard::startFollowsPrizes()
{
    QFETCH(QString, night);
    QFETCH(QString, start);
    Board b(gifts(56));
    Random r;
    double clock = 0;
    QString got;
    for (QChar step : night) {
        switch (step.toLatin1()) {
        case 'S':
            QCOMPARE(b.start(r, clock += 11.5), Board::StartResult::Started);
            runSpin(b);
            break;
        case 'C':
            QCOMPARE(b.drawCard(b.chanceLeft > 0 ? Board::Chance : Board::Fate, r),
                     Board::DrawResult::Drawn);
            break;
        case 'D':
            b.redraw();
            break;
        case 'R':
            b.secondRound();
            break;
        case 'U':
            for (int i = 0; i < 3; ++i)
                b.rightClick(b.stopCell);
            QCOMPARE(b.cells[std::size_t(b.stopCell)], Cell::Idle);
            break;
        }
        got += b.startEnabled ? u'1' : u'0';
    }
    QCOMPARE(got, start);
}

void TestBoard::stopCounterDoesNotOverflow()
{
    Board b;
    b.drawNo = 32767;
    ScriptedRandom r = spinScript(b, 0, 198);
    b.start(r, 0);
    runSpin(b);
    QCOMPARE(b.counterCaption, QStringLiteral("32767"));
    QCOMPARE(b.drawNo, 32768);
    QVERIFY(b.startEnabled);
}

void TestBoard::draw_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<int>("giftsLeft");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<QStringList>("remaining");
    const QStringList abcd{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d")};
    QTest::newRow("first moves all down")
        << abcd << 4 << 0 << QStringLiteral("a")
        << QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    QTest::newRow("middle") << abcd << 4 << 2 << QStringLiteral("c")
                            << QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                           QStringLiteral("d")};
    QTest::newRow("last moves nothing")
        << abcd << 4 << 3 << QStringLiteral("d")
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("one left is entry 0") << abcd << 1 << 0 << QStringLiteral("a") << QStringList{};
    QTest::newRow("duplicates are two prizes")
        << QStringList{QStringLiteral("x"), QStringLiteral("x")} << 2 << 1 << QStringLiteral("x")
        << QStringList{QStringLiteral("x")};
    QTest::newRow("empty prize") << QStringList{QString(), QStringLiteral("b")} << 2 << 0
                                 << QString() << QStringList{QStringLiteral("b")};
}

void TestBoard::draw()
{
    QFETCH(QStringList, list);
    QFETCH(int, giftsLeft);
    QFETCH(int, pick);
    QFETCH(QString, drawn);
    QFETCH(QStringList, remaining);
    Board b(list);
    b.giftsLeft = giftsLeft;
    b.chanceLeft = giftsLeft; // keeps the stacks' sum equal to the list
    b.fateLeft = 0;
    b.awaitingPrize = true;
    ScriptedRandom r({ScriptedRandom::forPick(pick, giftsLeft)});
    QCOMPARE(b.drawCard(Board::Chance, r), Board::DrawResult::Drawn);
    QCOMPARE(b.drawnGift, drawn);
    QCOMPARE(b.text1, drawn);
    QCOMPARE(b.giftsLeft, giftsLeft - 1);
    for (int i = 0; i < remaining.size(); ++i)
        QCOMPARE(b.gifts[std::size_t(i)], remaining[i]);
    QVERIFY(!b.awaitingPrize);
    QVERIFY(!b.drawnIsConsolation());
    QCOMPARE(b.chanceLeft + b.fateLeft, b.giftsLeft);
    // A second card for the same stop is refused and changes nothing.
    const Snapshot after(b);
    QCOMPARE(b.drawCard(Board::Fate, r), Board::DrawResult::NoStop);
    QVERIFY(Snapshot(b) == after);
}

void TestBoard::stacksRunOut()
{
    Board b(gifts(56));
    Random r;
    QStringList given;
    for (int n = 0; n < 56; ++n) {
        b.awaitingPrize = true;
        const int stack = n % 3 == 0 && b.chanceLeft > 0 ? Board::Chance
                          : b.fateLeft > 0               ? Board::Fate
                                                         : Board::Chance;
        QVERIFY(b.cardEnabled[std::size_t(stack)]);
        QCOMPARE(b.drawCard(stack, r), Board::DrawResult::Drawn);
        given << b.drawnGift;
        QCOMPARE(b.chanceLeft + b.fateLeft, b.giftsLeft);
        if (n == 0)
            QCOMPARE(b.stackCaption(Board::Chance), QStringLiteral("機會-27"));
    }
    QCOMPARE(b.stackCaption(Board::Chance), QStringLiteral("機會-0"));
    QCOMPARE(b.stackCaption(Board::Fate), QStringLiteral("命運-0"));
    QVERIFY(!b.cardEnabled[0] && !b.cardEnabled[1]);
    given.sort();
    QStringList all = gifts(56);
    all.sort();
    QCOMPARE(given, all);
}

void TestBoard::consolation_data()
{
    QTest::addColumn<QString>("gift");
    QTest::addColumn<bool>("held");
    QTest::newRow("exact") << QStringLiteral("紀念獎") << true;
    QTest::newRow("text before") << QStringLiteral("精美紀念獎") << true;
    QTest::newRow("blank after") << QStringLiteral("紀念獎 ") << false;
    QTest::newRow("other character after") << QStringLiteral("紀念獎品") << false;
    QTest::newRow("blank inside") << QStringLiteral("紀念 獎") << false;
    QTest::newRow("shorter than three") << QStringLiteral("獎") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestBoard::consolation()
{
    QFETCH(QString, gift);
    QFETCH(bool, held);
    Board b({gift});
    b.giftsLeft = 1;
    b.chanceLeft = 1;
    b.fateLeft = 0;
    b.awaitingPrize = true;
    ScriptedRandom r({0.9f});
    b.drawCard(Board::Chance, r);
    QCOMPARE(b.drawnGift, gift);
    QCOMPARE(b.drawnIsConsolation(), held);
}

void TestBoard::rightClick_data()
{
    QTest::addColumn<ColourValue>("from");
    QTest::addColumn<QList<ColourValue>>("cycle");
    QTest::newRow("idle round trip")
        << Cell::Idle << QList<ColourValue>{Cell::Won, Cell::Held, Cell::Excluded, Cell::Idle};
    QTest::newRow("won round trip")
        << Cell::Won << QList<ColourValue>{Cell::Held, Cell::Excluded, Cell::Idle, Cell::Won};
    QTest::newRow("initial stays")
        << Cell::Initial << QList<ColourValue>{Cell::Initial, Cell::Initial};
    QTest::newRow("lit stays") << Cell::Lit << QList<ColourValue>{Cell::Lit};
    QTest::newRow("other system colour stays")
        << Colour::system(5) << QList<ColourValue>{Colour::system(5)};
}

void TestBoard::rightClick()
{
    QFETCH(ColourValue, from);
    QFETCH(QList<ColourValue>, cycle);
    Board b;
    b.cells[9] = from;
    b.awaitingPrize = true;
    b.stopCell = 3;
    for (ColourValue expected : cycle) {
        b.rightClick(9);
        QCOMPARE(b.cells[9], expected);
    }
    QVERIFY(b.awaitingPrize);
    QCOMPARE(b.stopCell, 3);
    // Cell 16 starts idle and can be cycled at once.
    Board fresh;
    fresh.rightClick(16);
    QCOMPARE(fresh.cells[16], Cell::Won);
    // Ignored while the light runs.
    b.cells[9] = Cell::Idle;
    b.timer1Enabled = true;
    b.rightClick(9);
    QCOMPARE(b.cells[9], Cell::Idle);
}

void TestBoard::secondRound_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("markerStays");
    QTest::newRow("mixed") << QStringLiteral(".ilWhx") + QString(50, u'W')
                           << QStringLiteral("iiiWix") + QString(50, u'W') << false;
    QTest::newRow("all won or excluded")
        << QString(40, u'W') + QString(16, u'x') << QString(40, u'W') + QString(16, u'x') << true;
    QTest::newRow("only one held") << QString(55, u'W') + u'h' << QString(55, u'W') + u'i' << false;
}

void TestBoard::secondRound()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, markerStays);
    Board b;
    setCells(b, before);
    b.stopCell = 3;
    b.markerVisible[3] = true;
    b.awaitingPrize = true;
    b.startEnabled = false;
    b.secondRound();
    QCOMPARE(cellString(b), after);
    QCOMPARE(b.markerVisible[3], markerStays);
    QVERIFY(!b.awaitingPrize);
    QVERIFY(b.startEnabled);
    ScriptedRandom r;
    QCOMPARE(b.drawCard(Board::Chance, r), Board::DrawResult::NoStop);
}

// Every prize position equally likely.
void TestBoard::fairness()
{
    Random r;
    constexpr int Draws = 200000;
    std::array<int, Board::Cells> position{};
    for (int i = 0; i < Draws; ++i)
        ++position[std::size_t(r.pick(Board::Cells))];
    double chi = 0;
    const double expected = double(Draws) / Board::Cells;
    for (int n : position)
        chi += (n - expected) * (n - expected) / expected;
    QVERIFY2(chi < chiSquareLimit(55), qPrintable(QString::number(chi)));
}

void TestBoard::everyFreeCellEquallyLikely_data()
{
    QTest::addColumn<QString>("board");
    QTest::newRow("all free") << QString();
    QTest::newRow("runs of won") << QString(10, u'W') + QString(10, u'.') + QString(20, u'W');
    QTest::newRow("alternating") << QStringLiteral("W.").repeated(28);
    QTest::newRow("five left") << QString(20, u'W') + u'.' + QString(10, u'x') + u'.' +
                                      QString(10, u'h') + u'.' + QString(10, u'W') +
                                      QStringLiteral("..W");
    QTest::newRow("held and excluded mixed") << QStringLiteral("hx.iW..x").repeated(7);
}

// Through start and tick alone, as the window runs them.
void TestBoard::everyFreeCellEquallyLikely()
{
    QFETCH(QString, board);
    Board b;
    setCells(b, board);
    const auto before = b.cells;
    const int free = freeCount(b);
    const int spins = 2000 * free;
    std::array<int, Board::Cells> stops{};
    Random r;
    for (int i = 0; i < spins; ++i) {
        b.cells = before;
        b.awaitingPrize = false;
        QCOMPARE(b.start(r, i * 1.7 + 0.1), Board::StartResult::Started);
        runSpin(b);
        QVERIFY(Cell::isFree(before[std::size_t(b.stopCell)]));
        ++stops[std::size_t(b.stopCell)];
    }
    double chi = 0;
    const double expected = double(spins) / free;
    for (int c = 0; c < Board::Cells; ++c)
        if (Cell::isFree(before[std::size_t(c)]))
            chi +=
                (stops[std::size_t(c)] - expected) * (stops[std::size_t(c)] - expected) / expected;
    QVERIFY2(chi < chiSquareLimit(free - 1), qPrintable(QString::number(chi)));
}

QTEST_GUILESS_MAIN(TestBoard)
#include "test_board.moc"
