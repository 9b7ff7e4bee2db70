#include "boarddump.h"
#include "files.h"
#include "frozenfolder.h"
#include "journal.h"
#include "nightkeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 40; ++i)
        l << QStringLiteral("獎品%1").arg(i);
    return l;
}

const QDateTime T0(QDate(2024, 1, 19), QTime(19, 0));

// A short night written the way the keeper writes it: a stop, its card, a stop.
QList<QByteArray> nightLines()
{
    Board b(prizeList());
    QList<QByteArray> lines{Journal::headerLine(prizeList(), T0)};
    b.cells[4] = Cell::Won;
    b.markerVisible[4] = true;
    b.stopCell = 4;
    b.awaitingPrize = true;
    b.counterCaption = QStringLiteral("1");
    b.drawNo = 2;
    lines << Journal::entryLine({BoardChange::Stop, 4, T0.addSecs(60), 1, b});
    for (int i = 0; i < 55; ++i)
        b.gifts[std::size_t(i)] = b.gifts[std::size_t(i + 1)];
    b.giftsLeft = 55;
    b.chanceLeft = 27;
    b.awaitingPrize = false;
    b.drawnGift = b.text1 = QStringLiteral("獎品1");
    lines << Journal::entryLine({BoardChange::Card, Board::Chance, T0.addSecs(120), 1, b});
    b.cells[9] = Cell::Won;
    b.markerVisible[4] = false;
    b.markerVisible[9] = true;
    b.stopCell = 9;
    b.awaitingPrize = true;
    b.drawNo = 3;
    lines << Journal::entryLine({BoardChange::Stop, 9, T0.addSecs(180), 1, b});
    return lines;
}

// A header as the first program wrote it: a hash of gift.txt's bytes in place of the list.
QByteArray firstHeader(const QByteArray &giftBytes)
{
    return "{\"began\":\"2024-01-19T19:00:00.000\",\"gifts\":\"" + Journal::giftHash(giftBytes) +
           "\",\"journal\":\"zentavo-night\",\"version\":1}\n";
}

QStringList besideJournals(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("night-*.journal")},
                                  QDir::Files | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

// The line with one field of its state (or of itself) replaced.
QByteArray edited(const QByteArray &line, const QString &key, const QJsonValue &value,
                  bool inState = true)
{
    QJsonObject o = QJsonDocument::fromJson(line).object();
    if (inState) {
        QJsonObject s = o[QStringLiteral("state")].toObject();
        s[key] = value;
        o[QStringLiteral("state")] = s;
    } else {
        o[key] = value;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}
} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readBack();
    void damage_data();
    void damage();
    void whatCameBack_data();
    void whatCameBack();
    void inspect_data();
    void inspect();
    void damagedInTheMiddle();
    void lastLineWithoutItsEnd_data();
    void lastLineWithoutItsEnd();
    void danglingLinkSetAside();
    void neverWrittenOver_data();
    void neverWrittenOver();
    void heldOpenElsewhere_data();
    void heldOpenElsewhere();
};

void TestJournal::readBack()
{
    const QList<QByteArray> lines = nightLines();
    const Journal::Contents c = Journal::read(lines.join(), prizeList());
    QVERIFY(c.headerOk);
    QVERIFY(!c.damaged);
    QCOMPARE(c.version, 2);
    QCOMPARE(c.prizes, prizeList());
    QCOMPARE(c.entries.size(), 3);
    QCOMPARE(c.stops(), 2);
    // The prize list travels only with cards; the stop after it keeps it.
    QCOMPARE(c.entries[2].state.gifts[0], QStringLiteral("獎品2"));
    QCOMPARE(c.entries[0].state.gifts[0], QStringLiteral("獎品1"));
    QCOMPARE(c.entries[2].state.giftsLeft, 55);
    QCOMPARE(c.entries[1].change, BoardChange::Card);
    QCOMPARE(c.entries[1].time, T0.addSecs(120));
    QCOMPARE(c.wholeBytes, lines.join().size());
    // The night's own list, not the one gift.txt holds now, is where the night starts.
    const Journal::Contents other = Journal::read(lines.join(), {QStringLiteral("別的")});
    QCOMPARE(other.entries[0].state.gifts[0], QStringLiteral("獎品1"));
    // No light runs after a resume: Start follows the prizes, whatever a line written during
    // a spin, or the first program's 56th stop, says.
    Board stuck = c.entries[2].state;
    stuck.startEnabled = false;
    const Journal::Contents back =
        Journal::read(lines[0] + Journal::entryLine({BoardChange::Stop, 9, T0, 1, stuck}), {});
    QVERIFY(back.entries[0].state.startEnabled);
}

void TestJournal::damage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("headerOk");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("linesLost");
    const QList<QByteArray> l = nightLines();
    const QByteArray head = l[0] + l[1];
    QTest::newRow("empty") << QByteArray() << false << 0 << false << false;
    QTest::newRow("header only") << l[0] << true << 0 << false << false;
    QTest::newRow("header cut short") << l[0].left(20) << false << 0 << true << false;
    QTest::newRow("not a journal") << QByteArray("gift list\n") << false << 0 << true << true;
    QTest::newRow("other version")
        << edited(l[0], QStringLiteral("version"), 3, false) << false << 0 << true << true;
    QTest::newRow("version 2 without its list")
        << edited(l[0], QStringLiteral("prizes"), QStringLiteral("x"), false) << false << 0 << true
        << true;
    QTest::newRow("last entry cut short")
        << head + l[2] + l[3].left(l[3].size() - 2) << true << 2 << true << false;
    // Whole and valid, only its line end missing: kept (resume writes the line end).
    QTest::newRow("last entry without its line end")
        << head + l[2] + l[3].chopped(1) << true << 3 << false << false;
    QTest::newRow("header without its line end") << l[0].chopped(1) << true << 0 << false << false;
    // A whole line that does not read is damage, whether or not its line end is there.
    QTest::newRow("last entry unreadable, without its line end")
        << head + l[2] + edited(l[3], QStringLiteral("round"), 3, false).chopped(1) << true << 2
        << true << true;
    QTest::newRow("last line not a journal's, without its line end")
        << head + l[2] + QByteArray("{\"x\":1}") << true << 2 << true << true;
    QTest::newRow("binary tail") << head + QByteArray("\0\xff\n", 3) + l[2] << true << 1 << true
                                 << true;
    QTest::newRow("unknown change")
        << head + edited(l[2], QStringLiteral("change"), QStringLiteral("x"), false) << true << 1
        << true << true;
    QTest::newRow("card from a third stack")
        << head + edited(l[2], QStringLiteral("index"), 2, false) << true << 1 << true << true;
    QTest::newRow("round 3") << head + edited(l[2], QStringLiteral("round"), 3, false) << true << 1
                             << true << true;
    QTest::newRow("bad time") << head + edited(l[2], QStringLiteral("time"), QStringLiteral("now"),
                                               false)
                              << true << 1 << true << true;
    QTest::newRow("cell colour unknown")
        << head + edited(l[2], QStringLiteral("cells"),
                         QJsonArray::fromVariantList(QVariantList(56, 0x123)))
        << true << 1 << true << true;
    QTest::newRow("55 cells") << head + edited(l[2], QStringLiteral("cells"),
                                               QJsonArray::fromVariantList(QVariantList(55, 0)))
                              << true << 1 << true << true;
    QTest::newRow("marker off the board")
        << head + edited(l[2], QStringLiteral("markers"), QJsonArray{56}) << true << 1 << true
        << true;
    QTest::newRow("stacks and prizes disagree")
        << head + edited(l[2], QStringLiteral("chanceLeft"), 28) << true << 1 << true << true;
    QTest::newRow("negative prizes left")
        << head + edited(l[2], QStringLiteral("giftsLeft"), -1) << true << 1 << true << true;
    QTest::newRow("fractional stop cell")
        << head + edited(l[2], QStringLiteral("stopCell"), 1.5) << true << 1 << true << true;
    QTest::newRow("counter not text")
        << head + edited(l[2], QStringLiteral("counter"), 1) << true << 1 << true << true;
    QTest::newRow("short prize list")
        << head + edited(l[2], QStringLiteral("gifts"), QJsonArray{QStringLiteral("a")}) << true
        << 1 << true << true;
    QTest::newRow("drawNo zero") << head + edited(l[2], QStringLiteral("drawNo"), 0) << true << 1
                                 << true << true;
    QTest::newRow("bingo number 26")
        << head + Journal::bingoLine({{3, 26}, true, T0}) << true << 1 << true << true;
    QTest::newRow("bingo number twice")
        << head + Journal::bingoLine({{3, 3}, true, T0}) << true << 1 << true << true;
    QTest::newRow("earlier bingo draw with number 26")
        << head + Journal::bingoLine({{3}, true, T0, {{1, 26}}}) << true << 1 << true << true;
    QTest::newRow("earlier bingo draw with a number twice")
        << head + Journal::bingoLine({{3}, true, T0, {{4, 4}}}) << true << 1 << true << true;
    QTest::newRow("earlier bingo draw empty")
        << head + Journal::bingoLine({{3}, true, T0, {{}}}) << true << 1 << true << true;
    QTest::newRow("earlier bingo draws not a list")
        << head + edited(Journal::bingoLine({{3}, true, T0}), QStringLiteral("draws"),
                         QStringLiteral("x"), false)
        << true << 1 << true << true;
    QTest::newRow("view of no kind") << head + QByteArray("{\"view\":\"x\",\"time\":\"") +
                                            T0.toString(Qt::ISODateWithMs).toLatin1() + "\"}\n"
                                     << true << 1 << true << true;
}

void TestJournal::damage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, headerOk);
    QFETCH(int, entries);
    QFETCH(bool, damaged);
    QFETCH(bool, linesLost);
    const Journal::Contents c = Journal::read(bytes, prizeList());
    QCOMPARE(c.headerOk, headerOk);
    QCOMPARE(c.entries.size(), entries);
    QCOMPARE(c.damaged, damaged);
    QCOMPARE(c.linesLost, linesLost);
    // What is kept reads back the same on its own, and nothing after it.
    const Journal::Contents kept = Journal::read(bytes.left(c.wholeBytes), prizeList());
    QVERIFY(!kept.damaged);
    QCOMPARE(kept.entries.size(), entries);
    if (entries > 0)
        QCOMPARE(boardDump(kept.entries.last().state), boardDump(c.entries.last().state));
}

// What comes back besides the board: the prize window still up, the bingo numbers, full
// screen. Steps: s stop, c card, p prize window closed, x closing picture, r round change,
// b a bingo number, e bingo window closed, n a new bingo draw over the numbers taken,
// o the bingo window closed as the first programs wrote it (its numbers not kept), f full
// screen, w back to a window.
void TestJournal::whatCameBack_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("prizeOpen");
    QTest::addColumn<int>("bingo");
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<QList<int>>("draws"); // how many numbers each earlier draw kept
    const QList<int> none;
    QTest::newRow("card not confirmed") << "sc" << 2 << true << 0 << false << none;
    QTest::newRow("card confirmed") << "scp" << 2 << false << 0 << false << none;
    QTest::newRow("a stop while the prize is up") << "scs" << 2 << true << 0 << false << none;
    QTest::newRow("confirmed, then a stop") << "scps" << 2 << false << 0 << false << none;
    QTest::newRow("last prize closed without the closing picture")
        << "SCp" << 2 << true << 0 << false << none;
    QTest::newRow("last prize, then the round change") << "SCpr" << 2 << true << 0 << false << none;
    QTest::newRow("closing picture reached") << "SCpx" << 2 << false << 0 << false << none;
    QTest::newRow("first program: card last") << "sc" << 1 << true << 0 << false << none;
    QTest::newRow("first program: a stop after the card")
        << "scs" << 1 << false << 0 << false << none;
    QTest::newRow("first program: last prize") << "SCs" << 1 << true << 0 << false << none;
    QTest::newRow("bingo numbers") << "bbsb" << 2 << false << 3 << false << none;
    QTest::newRow("bingo window closed") << "bbe" << 2 << false << 0 << false << QList<int>{2};
    QTest::newRow("bingo window closed, as first written")
        << "bbo" << 2 << false << 0 << false << none;
    QTest::newRow("a second bingo draw") << "bbbnb" << 2 << false << 1 << false << QList<int>{3};
    QTest::newRow("three bingo draws, the last closed")
        << "bnbbnbbbe" << 2 << false << 0 << false << QList<int>{1, 2, 3};
    QTest::newRow("full screen") << "fsc" << 2 << true << 0 << true << none;
    QTest::newRow("full screen left") << "fsw" << 2 << false << 0 << false << none;
}

void TestJournal::whatCameBack()
{
    QFETCH(QString, steps);
    QFETCH(int, version);
    QFETCH(bool, prizeOpen);
    QFETCH(int, bingo);
    QFETCH(bool, fullScreen);
    QFETCH(QList<int>, draws);
    QByteArray bytes = version == 1 ? firstHeader("gifts") : Journal::headerLine(prizeList(), T0);
    Board b(prizeList());
    Journal::Bingo taken{{}, true, T0};
    QDateTime t = T0;
    auto entry = [&](BoardChange change, int index) {
        bytes += Journal::entryLine({change, index, t = t.addSecs(30), 1, b});
    };
    for (QChar step : steps) {
        // Capitals: the last prize of the night.
        if (step.isUpper()) {
            b.giftsLeft = b.chanceLeft = 1;
            b.fateLeft = 0;
        }
        switch (step.toLower().toLatin1()) {
        case 's':
            b.awaitingPrize = true;
            ++b.drawNo;
            entry(BoardChange::Stop, 4);
            break;
        case 'c':
            b.awaitingPrize = false;
            --b.giftsLeft;
            --b.chanceLeft;
            entry(BoardChange::Card, Board::Chance);
            break;
        case 'p':
            entry(BoardChange::PrizeClosed, 0);
            break;
        case 'x':
            entry(BoardChange::Closing, 0);
            break;
        case 'r':
            entry(BoardChange::SecondRound, 4);
            break;
        case 'b':
            taken.taken << int(taken.taken.size()) * 3 + 1;
            bytes += Journal::bingoLine(taken);
            break;
        case 'e':
        case 'n':
            taken.draws << taken.taken;
            taken.taken.clear();
            taken.drawing = step == u'n';
            bytes += Journal::bingoLine(taken);
            taken.drawing = true;
            break;
        case 'o':
            bytes += Journal::bingoLine({{}, false, t});
            break;
        case 'f':
        case 'w':
            bytes += Journal::viewLine(step == u'f', t);
            break;
        }
    }
    const Journal::Contents c = Journal::read(bytes, prizeList());
    QVERIFY(!c.damaged);
    QCOMPARE(c.prizeOpen(), prizeOpen);
    QCOMPARE(c.bingo.taken.size(), bingo);
    QCOMPARE(c.fullScreen, fullScreen);
    if (bingo > 0 && draws.isEmpty())
        QCOMPARE(c.bingo.taken, (QList<int>{1, 4, 7}).mid(0, bingo));
    QList<int> kept;
    for (const QList<int> &d : c.bingo.draws)
        kept << int(d.size());
    QCOMPARE(kept, draws);
    // An earlier draw alone is still a night to keep.
    QCOMPARE(c.holdsNight(), !c.entries.isEmpty() || bingo > 0 || !draws.isEmpty());
}

void TestJournal::inspect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("gifts");
    QTest::addColumn<int>("earlier");
    QTest::addColumn<int>("differing");
    const QList<QByteArray> l = nightLines();
    Board done(prizeList());
    const QByteArray closing =
        Journal::entryLine({BoardChange::Closing, 0, T0.addSecs(999), 2, done});
    QStringList changed = prizeList();
    changed[5] = QStringLiteral("機車");
    changed[39] = QString();
    QStringList reordered = prizeList();
    std::reverse(reordered.begin(), reordered.end());
    // The first program's journal: a hash of the bytes, then the same lines as now.
    const QByteArray big5 = "gift list as Big5 bytes";
    const QByteArray first = firstHeader(big5) + l[1] + l[2] + l[3];
    using E = NightKeeper::Earlier;
    QTest::newRow("no journal") << QByteArray("-") << prizeList() << int(E::Nothing) << 0;
    QTest::newRow("empty file") << QByteArray() << prizeList() << int(E::Nothing) << 0;
    QTest::newRow("header only") << l[0] << prizeList() << int(E::Nothing) << 0;
    QTest::newRow("unfinished") << l.join() << prizeList() << int(E::Unfinished) << 0;
    QTest::newRow("unfinished, torn tail")
        << l.join() + "{\"chan" << prizeList() << int(E::Unfinished) << 0;
    QTest::newRow("unfinished, last line without its end")
        << l.join().chopped(1) << prizeList() << int(E::Unfinished) << 0;
    QTest::newRow("closing reached") << l.join() + closing << prizeList() << int(E::Finished) << 0;
    QTest::newRow("same prizes, another order") << l.join() << reordered << int(E::Unfinished) << 0;
    QTest::newRow("two prizes changed") << l.join() << changed << int(E::OtherPrizes) << 2;
    QTest::newRow("bingo numbers only")
        << l[0] + Journal::bingoLine({{7}, true, T0}) << prizeList() << int(E::Unfinished) << 0;
    QTest::newRow("full screen only")
        << l[0] + Journal::viewLine(true, T0) << prizeList() << int(E::Nothing) << 0;
    // The window closed after a draw: its numbers are kept, so the journal is not replaced.
    QTest::newRow("an earlier bingo draw only")
        << l[0] + Journal::bingoLine({{}, false, T0, {{7, 3}}}) << prizeList() << int(E::Unfinished)
        << 0;
    // gift.txt re-saved as UTF-8: other bytes, the same prizes.
    QTest::newRow("first program, list re-saved")
        << first << prizeList() << int(E::Unfinished) << 0;
    QTest::newRow("first program, two prizes changed")
        << first << changed << int(E::OtherPrizes) << 2;
    QStringList others;
    for (int i = 1; i <= 56; ++i)
        others << QStringLiteral("別的獎品%1").arg(i);
    QTest::newRow("first program, a card written twice")
        << first + l[2] << others << int(E::OtherPrizes) << 56;
    QTest::newRow("first program, no card yet")
        << firstHeader(big5) + l[1] << changed << int(E::Unfinished) << 0;
    QTest::newRow("garbage") << QByteArray("\x01\x02\n") << prizeList() << int(E::Damaged) << 0;
    // The header holds the whole list: 56 prizes as long as the list allows still fit a line.
    const QStringList longest(56, QString(1000, QChar(u'獎')));
    Board stop(longest);
    stop.drawNo = 2;
    QTest::newRow("56 of the longest prizes")
        << Journal::headerLine(longest, T0) +
               Journal::entryLine({BoardChange::Stop, 0, T0, 1, stop})
        << longest << int(E::Unfinished) << 0;
}

void TestJournal::inspect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, gifts);
    QFETCH(int, earlier);
    QFETCH(int, differing);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    if (bytes != "-")
        writeFile(path, bytes);
    NightKeeper keeper(path, "gifts", gifts);
    QCOMPARE(int(keeper.inspect()), earlier);
    QCOMPARE(keeper.differingPrizes(), differing);
    QVERIFY(keeper.damagedCopy().isEmpty());
    if (earlier == int(NightKeeper::Earlier::Unfinished) && keeper.earlier().entries.size() == 3) {
        QVERIFY(keeper.resume());
        QCOMPARE(keeper.record().entries().size(), 2);
        QCOMPARE(keeper.board().drawNo, 3);
        QVERIFY(keeper.board().awaitingPrize);
        // The night goes on with its own prizes.
        QCOMPARE(keeper.board().gifts[0], QStringLiteral("獎品2"));
        // Cut after the last whole line, which gets its line end if it had none.
        const bool unended = keeper.earlier().lastLineUnended;
        QCOMPARE(readFile(path), bytes.left(keeper.earlier().wholeBytes) + (unended ? "\n" : ""));
        if (unended)
            QCOMPARE(readFile(path), nightLines().join());
    }
}

// A line spoilt in the middle: the whole file is copied before the resume cuts it.
void TestJournal::damagedInTheMiddle()
{
    const QList<QByteArray> l = nightLines();
    const QByteArray whole = l[0] + l[1] + l[2] + "{\"change\":\x01\n" + l[3];
    for (bool goOn : {true, false}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("night.journal"));
        writeFile(path, whole);
        NightKeeper keeper(path, "gifts", prizeList());
        QCOMPARE(keeper.inspect(), NightKeeper::Earlier::Unfinished);
        QVERIFY(keeper.earlier().linesLost);
        QCOMPARE(keeper.earlier().stops(), 1);
        const QString copy = keeper.damagedCopy();
        QVERIFY(QFileInfo(copy).fileName().endsWith(QStringLiteral("-damaged.journal")));
        QCOMPARE(readFile(copy), whole);
        if (goOn) {
            QVERIFY(keeper.resume());
            QCOMPARE(readFile(path), l[0] + l[1] + l[2]);
        } else {
            // The copy keeps it: the new night may take the usual name.
            QCOMPARE(keeper.setAside().name, copy);
            QVERIFY(keeper.note(BoardChange::Correction, 3, Board(prizeList()), T0));
            QCOMPARE(Journal::read(readFile(path), prizeList()).entries.size(), 1);
        }
        QCOMPARE(readFile(copy), whole);
        QCOMPARE(besideJournals(dir.path()).size(), 1);
    }
}

// The last line whole but for its line end. Valid, it is kept and the journal goes on after
// it; unreadable, it is damage like any other: copied whole first, then cut.
void TestJournal::lastLineWithoutItsEnd_data()
{
    QTest::addColumn<QByteArray>("last");
    QTest::addColumn<bool>("valid");
    const QList<QByteArray> l = nightLines();
    QTest::newRow("valid") << l[3] << true;
    QTest::newRow("a stop in round 3") << edited(l[3], QStringLiteral("round"), 3, false) << false;
    QTest::newRow("a bingo number 26")
        << Journal::bingoLine({{4, 26}, true, T0.addSecs(200)}) << false;
}

void TestJournal::lastLineWithoutItsEnd()
{
    QFETCH(QByteArray, last);
    QFETCH(bool, valid);
    const QList<QByteArray> l = nightLines();
    const QByteArray before = l[0] + l[1] + l[2];
    const QByteArray whole = before + last.chopped(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    writeFile(path, whole);
    NightKeeper keeper(path, "gifts", prizeList());
    QCOMPARE(keeper.inspect(), NightKeeper::Earlier::Unfinished);
    QCOMPARE(keeper.earlier().linesLost, !valid);
    QCOMPARE(keeper.earlier().entries.size(), valid ? 3 : 2);
    const QString copy = keeper.damagedCopy();
    QCOMPARE(copy.isEmpty(), valid);
    QCOMPARE(besideJournals(dir.path()).size(), valid ? 0 : 1);
    if (!valid)
        QCOMPARE(readFile(copy), whole);
    QVERIFY(keeper.resume());
    QCOMPARE(readFile(path), valid ? before + last : before);
    // The next line starts a line of its own.
    QVERIFY(keeper.note(BoardChange::Correction, 3, keeper.board(), T0.addSecs(300)));
    const Journal::Contents c = Journal::read(readFile(path), prizeList());
    QVERIFY(!c.damaged);
    QCOMPARE(c.entries.size(), valid ? 4 : 3);
}

// Every bingo draw of the night stays in the journal: a new draw, 清除 or the window's
// closing ends one, and its numbers go on in each later line, through a resume too.
// A symbolic link that leads nowhere lies where the journal goes: it is set aside like any
// other file that is no journal, and the night is journaled in its place.
void TestJournal::danglingLinkSetAside()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    const QString nowhere = dir.filePath(QStringLiteral("gone/night.journal"));
    if (!QFile::link(nowhere, path) || !QFileInfo(path).isSymbolicLink())
        QSKIP("no symbolic links here");
    NightKeeper keeper(path, "gifts", prizeList());
    QCOMPARE(keeper.inspect(), NightKeeper::Earlier::Damaged);
    QCOMPARE(keeper.unreadable(), QStringLiteral("它是一個符號連結，指向的檔案並不存在"));
    const NightKeeper::Kept kept = keeper.setAside();
    QVERIFY2(kept.ok, qPrintable(kept.error));
    QCOMPARE(QFileInfo(kept.name).symLinkTarget(), nowhere);
    QVERIFY(keeper.note(BoardChange::Correction, 3, Board(prizeList()), T0));
    QVERIFY(!keeper.journalBroken());
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(Journal::read(readFile(path), prizeList()).entries.size(), 1);
    QVERIFY(!QFile::exists(nowhere));
}

// In a folder where the old journal can be neither renamed nor copied, the new night is
// not written over it.
void TestJournal::neverWrittenOver_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("resume");
    const QList<QByteArray> l = nightLines();
    Board done(prizeList());
    QTest::newRow("unfinished, not resumed") << l.join() << false;
    QTest::newRow("closing reached")
        << l.join() + Journal::entryLine({BoardChange::Closing, 0, T0.addSecs(999), 1, done})
        << false;
    QTest::newRow("garbage") << QByteArray("\x01\x02\n") << false;
    QTest::newRow("damaged in the middle, resumed")
        << l[0] + l[1] + QByteArray("x\n") + l[2] << true;
    QTest::newRow("damaged in the middle, not resumed")
        << l[0] + l[1] + QByteArray("x\n") + l[2] << false;
}

void TestJournal::neverWrittenOver()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, resume);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    writeFile(path, bytes);
    FrozenFolder frozen(dir.path());
    if (!frozen.ok())
        QSKIP("no folder here can be made unwritable");
    NightKeeper keeper(path, "gifts", prizeList());
    keeper.inspect();
    if (resume) {
        QVERIFY(!keeper.resume());
        QVERIFY(!keeper.damagedCopyError().isEmpty());
    } else {
        const NightKeeper::Kept kept = keeper.setAside();
        QVERIFY(!kept.ok);
        QVERIFY(!kept.error.isEmpty());
    }
    QVERIFY(keeper.journalBroken());
    QVERIFY(keeper.note(BoardChange::Correction, 3, Board(prizeList()), T0));
    QCOMPARE(readFile(path), bytes);
    frozen.thaw();
    QVERIFY(besideJournals(dir.path()).isEmpty());
}

// Another program (an editor, a virus scanner) has the old journal open: Windows then
// refuses to rename it, so it is copied whole and the new night written over it.
void TestJournal::heldOpenElsewhere_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QList<QByteArray> l = nightLines();
    Board done(prizeList());
    QTest::newRow("unfinished, not resumed") << l.join();
    QTest::newRow("closing reached")
        << l.join() + Journal::entryLine({BoardChange::Closing, 0, T0.addSecs(999), 1, done});
}

void TestJournal::heldOpenElsewhere()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    writeFile(path, bytes);
    QFile other(path);
    QVERIFY(other.open(QIODevice::ReadOnly));
    NightKeeper keeper(path, "gifts", prizeList());
    keeper.inspect();
    const NightKeeper::Kept kept = keeper.setAside();
    QVERIFY2(kept.ok, qPrintable(kept.error));
    QCOMPARE(readFile(kept.name), bytes);
    QVERIFY(keeper.note(BoardChange::Correction, 3, Board(prizeList()), T0));
    QVERIFY(!keeper.journalBroken());
    QCOMPARE(Journal::read(readFile(path), prizeList()).entries.size(), 1);
    QCOMPARE(besideJournals(dir.path()), QStringList{QFileInfo(kept.name).fileName()});
}

QTEST_GUILESS_MAIN(TestJournal)
#include "test_journal.moc"
