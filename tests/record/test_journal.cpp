#include "boarddump.h"
#include "journal.h"
#include "nightkeeper.h"

#include <QFile>
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
    QList<QByteArray> lines{Journal::headerLine(Journal::giftHash("gifts"), T0)};
    b.cells[4] = Cell::Won;
    b.markerVisible[4] = true;
    b.stopCell = 4;
    b.awaitingPrize = true;
    b.counterCaption = QStringLiteral("1");
    b.drawNo = 2;
    lines << Journal::entryLine({BoardChange::Stop, 4, T0.addSecs(60), 1, b});
    b.gifts[0] = b.gifts[1];
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
    void inspect_data();
    void inspect();
};

void TestJournal::readBack()
{
    const QList<QByteArray> lines = nightLines();
    const Journal::Contents c = Journal::read(lines.join(), prizeList());
    QVERIFY(c.headerOk);
    QVERIFY(!c.damaged);
    QCOMPARE(c.giftHash, Journal::giftHash("gifts"));
    QCOMPARE(c.entries.size(), 3);
    QCOMPARE(c.stops(), 2);
    // The prize list travels only with cards; the stop after it keeps it.
    QCOMPARE(c.entries[2].state.gifts[0], QStringLiteral("獎品2"));
    QCOMPARE(c.entries[0].state.gifts[0], QStringLiteral("獎品1"));
    QCOMPARE(c.entries[2].state.giftsLeft, 55);
    QCOMPARE(c.entries[1].change, BoardChange::Card);
    QCOMPARE(c.entries[1].time, T0.addSecs(120));
    QCOMPARE(c.wholeBytes, lines.join().size());
}

void TestJournal::damage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("headerOk");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("damaged");
    const QList<QByteArray> l = nightLines();
    const QByteArray head = l[0] + l[1];
    QTest::newRow("empty") << QByteArray() << false << 0 << false;
    QTest::newRow("header only") << l[0] << true << 0 << false;
    QTest::newRow("header cut short") << l[0].left(20) << false << 0 << true;
    QTest::newRow("not a journal") << QByteArray("gift list\n") << false << 0 << true;
    QTest::newRow("other version")
        << edited(l[0], QStringLiteral("version"), 2, false) << false << 0 << true;
    QTest::newRow("last entry cut short")
        << head + l[2] + l[3].left(l[3].size() - 1) << true << 2 << true;
    QTest::newRow("binary tail") << head + QByteArray("\0\xff\n", 3) + l[2] << true << 1 << true;
    QTest::newRow("unknown change")
        << head + edited(l[2], QStringLiteral("change"), QStringLiteral("x"), false) << true << 1
        << true;
    QTest::newRow("card from a third stack")
        << head + edited(l[2], QStringLiteral("index"), 2, false) << true << 1 << true;
    QTest::newRow("round 3") << head + edited(l[2], QStringLiteral("round"), 3, false) << true << 1
                             << true;
    QTest::newRow("bad time") << head + edited(l[2], QStringLiteral("time"), QStringLiteral("now"),
                                               false)
                              << true << 1 << true;
    QTest::newRow("cell colour unknown")
        << head + edited(l[2], QStringLiteral("cells"),
                         QJsonArray::fromVariantList(QVariantList(56, 0x123)))
        << true << 1 << true;
    QTest::newRow("55 cells") << head + edited(l[2], QStringLiteral("cells"),
                                               QJsonArray::fromVariantList(QVariantList(55, 0)))
                              << true << 1 << true;
    QTest::newRow("marker off the board")
        << head + edited(l[2], QStringLiteral("markers"), QJsonArray{56}) << true << 1 << true;
    QTest::newRow("stacks and prizes disagree")
        << head + edited(l[2], QStringLiteral("chanceLeft"), 28) << true << 1 << true;
    QTest::newRow("negative prizes left")
        << head + edited(l[2], QStringLiteral("giftsLeft"), -1) << true << 1 << true;
    QTest::newRow("fractional stop cell")
        << head + edited(l[2], QStringLiteral("stopCell"), 1.5) << true << 1 << true;
    QTest::newRow("counter not text")
        << head + edited(l[2], QStringLiteral("counter"), 1) << true << 1 << true;
    QTest::newRow("short prize list")
        << head + edited(l[2], QStringLiteral("gifts"), QJsonArray{QStringLiteral("a")}) << true
        << 1 << true;
    QTest::newRow("drawNo zero") << head + edited(l[2], QStringLiteral("drawNo"), 0) << true << 1
                                 << true;
}

void TestJournal::damage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, headerOk);
    QFETCH(int, entries);
    QFETCH(bool, damaged);
    const Journal::Contents c = Journal::read(bytes, prizeList());
    QCOMPARE(c.headerOk, headerOk);
    QCOMPARE(c.entries.size(), entries);
    QCOMPARE(c.damaged, damaged);
    // What is kept reads back the same on its own, and nothing after it.
    const Journal::Contents kept = Journal::read(bytes.left(c.wholeBytes), prizeList());
    QVERIFY(!kept.damaged);
    QCOMPARE(kept.entries.size(), entries);
    if (entries > 0)
        QCOMPARE(boardDump(kept.entries.last().state), boardDump(c.entries.last().state));
}

void TestJournal::inspect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("giftBytes");
    QTest::addColumn<int>("earlier");
    const QList<QByteArray> l = nightLines();
    Board done(prizeList());
    const QByteArray closing =
        Journal::entryLine({BoardChange::Closing, 0, T0.addSecs(999), 2, done});
    using E = NightKeeper::Earlier;
    QTest::newRow("no journal") << QByteArray("-") << QByteArray("gifts") << int(E::Nothing);
    QTest::newRow("header only") << l[0] << QByteArray("gifts") << int(E::Nothing);
    QTest::newRow("unfinished") << l.join() << QByteArray("gifts") << int(E::Unfinished);
    QTest::newRow("unfinished, torn tail")
        << l.join() + "{\"chan" << QByteArray("gifts") << int(E::Unfinished);
    QTest::newRow("closing reached")
        << l.join() + closing << QByteArray("gifts") << int(E::Finished);
    QTest::newRow("another gift.txt") << l.join() << QByteArray("gifts ") << int(E::OtherPrizes);
    QTest::newRow("garbage") << QByteArray("\x01\x02\n") << QByteArray("gifts") << int(E::Damaged);
}

void TestJournal::inspect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, giftBytes);
    QFETCH(int, earlier);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    if (bytes != "-") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    NightKeeper keeper(path, giftBytes, prizeList());
    QCOMPARE(int(keeper.inspect()), earlier);
    if (earlier == int(NightKeeper::Earlier::Unfinished)) {
        QVERIFY(keeper.resume());
        QCOMPARE(keeper.record().entries().size(), 2);
        QCOMPARE(keeper.board().drawNo, 3);
        QVERIFY(keeper.board().awaitingPrize);
        QCOMPARE(QFileInfo(path).size(), nightLines().join().size());
    }
}

QTEST_GUILESS_MAIN(TestJournal)
#include "test_journal.moc"
