#include "files.h"
#include "journal.h"
#include "nightkeeper.h"
#include "nightrecord.h"
#include "workbookreader.h"

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
    l[1] = QStringLiteral("=1+1");
    return l;
}

const QDateTime T0(QDate(2024, 1, 19), QTime(19, 0));
const Guest Wang{QStringLiteral("王小明"), QStringLiteral("業務部")};
const Guest Chen{QStringLiteral("陳美玲"), {}};

struct Change
{
    BoardChange change;
    int index;
    Board board;
};

// A stop on 5 and its card, then a stop on 10, as the board settles them.
QList<Change> night()
{
    Board b(prizeList());
    QList<Change> out;
    b.cells[4] = Cell::Won;
    b.stopCell = 4;
    b.awaitingPrize = true;
    b.counterCaption = QStringLiteral("1");
    b.drawNo = 2;
    out << Change{BoardChange::Stop, 4, b};
    for (int i = 0; i < 55; ++i)
        b.gifts[std::size_t(i)] = b.gifts[std::size_t(i + 1)];
    b.giftsLeft = 55;
    b.chanceLeft = 27;
    b.awaitingPrize = false;
    b.drawnGift = b.text1 = prizeList()[0];
    out << Change{BoardChange::Card, Board::Chance, b};
    b.cells[9] = Cell::Won;
    b.stopCell = 9;
    b.awaitingPrize = true;
    b.drawNo = 3;
    out << Change{BoardChange::Stop, 9, b};
    return out;
}

QString names(const NightRecord &r)
{
    QStringList out;
    for (const NightRecord::Entry &e : r.entries())
        out << QString::number(e.number) + u'=' + e.name + u'/' + e.department;
    return out.join(u';');
}

NightRecord recordOf(const QList<Guest> &guests)
{
    NightRecord r;
    Board before(prizeList());
    const QList<Change> changes = night();
    for (qsizetype i = 0; i < changes.size(); ++i) {
        r.apply(changes[i].change, changes[i].index, before, changes[i].board, 1,
                T0.addSecs(60 * (i + 1)), guests.value(i));
        before = changes[i].board;
    }
    return r;
}
} // namespace

class TestGuestRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void journalLines_data();
    void journalLines();
    void namesOutliveTheList();
    void columns_data();
    void columns();
    void workbook();
};

// A name travels with its line; lines without one are read as before; a name that is no
// text ends the journal there like any damaged line.
void TestGuestRecord::journalLines_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<bool>("read");
    QTest::newRow("name") << QStringLiteral("name") << QJsonValue(QStringLiteral("王小明")) << true;
    QTest::newRow("an older program's line") << QString() << QJsonValue() << true;
    QTest::newRow("a number for a name") << QStringLiteral("name") << QJsonValue(7) << false;
    QTest::newRow("a name past any list")
        << QStringLiteral("name") << QJsonValue(QString(1001, u'名')) << false;
}

void TestGuestRecord::journalLines()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(bool, read);
    const Change stop = night().first();
    QJsonObject o =
        QJsonDocument::fromJson(Journal::entryLine({stop.change, stop.index, T0, 1, stop.board}))
            .object();
    QVERIFY(!o.contains(QStringLiteral("name")) && !o.contains(QStringLiteral("department")));
    if (!key.isEmpty())
        o[key] = value;
    const Journal::Contents c =
        Journal::read(Journal::headerLine(prizeList(), T0) +
                          QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n',
                      {});
    QCOMPARE(c.entries.size(), read ? 1 : 0);
    QCOMPARE(c.damaged, !read);
    if (read && !key.isEmpty())
        QCOMPARE(key == QLatin1String("name") ? c.entries[0].name : c.entries[0].department,
                 value.toString());
}

// The name announced is the one kept: a list changed after a crash renames no earlier
// winner, and the next stop takes its name from the new list.
void TestGuestRecord::namesOutliveTheList()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    {
        NightKeeper keeper(path, {}, prizeList());
        QCOMPARE(keeper.inspect(), NightKeeper::Earlier::Nothing);
        const QList<Change> changes = night();
        QVERIFY(keeper.note(changes[0].change, changes[0].index, changes[0].board, T0, Wang));
        QVERIFY(keeper.note(changes[1].change, changes[1].index, changes[1].board, T0, Wang));
        QVERIFY(keeper.note(changes[2].change, changes[2].index, changes[2].board, T0, Chen));
        QCOMPARE(names(keeper.record()), QStringLiteral("5=王小明/業務部;10=陳美玲/"));
    }
    NightKeeper again(path, {}, prizeList());
    QCOMPARE(again.inspect(), NightKeeper::Earlier::Unfinished);
    QVERIFY(again.resume());
    QCOMPARE(names(again.record()), QStringLiteral("5=王小明/業務部;10=陳美玲/"));
    Board next = again.board();
    next.cells[20] = Cell::Won;
    next.stopCell = 20;
    next.drawNo = 4;
    QVERIFY(again.note(BoardChange::Stop, 20, next, T0,
                       {QStringLiteral("林大華"), QStringLiteral("研發部")}));
    QCOMPARE(names(again.record()), QStringLiteral("5=王小明/業務部;10=陳美玲/;21=林大華/研發部"));
}

void TestGuestRecord::columns_data()
{
    QTest::addColumn<QList<Guest>>("guests");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("firstRow");
    const QString plain = QStringLiteral("序號|號碼|輪次|卡片|獎品|時間|類別|說明");
    QTest::newRow("without a list, as always")
        << QList<Guest>{} << plain
        << QStringLiteral("1|5|第一輪|機會|獎品1|2024-01-19 19:01:00|搖出|");
    QTest::newRow("names") << QList<Guest>{Chen, Chen, {}}
                           << QStringLiteral("序號|號碼|姓名|輪次|卡片|獎品|時間|類別|說明")
                           << QStringLiteral(
                                  "1|5|陳美玲|第一輪|機會|獎品1|2024-01-19 19:01:00|搖出|");
    QTest::newRow("names and departments")
        << QList<Guest>{{}, {}, Wang}
        << QStringLiteral("序號|號碼|姓名|部門|輪次|卡片|獎品|時間|類別|說明")
        << QStringLiteral("1|5|||第一輪|機會|獎品1|2024-01-19 19:01:00|搖出|");
    QTest::newRow("the card's announcement names the stop")
        << QList<Guest>{{}, Wang, {}}
        << QStringLiteral("序號|號碼|姓名|部門|輪次|卡片|獎品|時間|類別|說明")
        << QStringLiteral("1|5|王小明|業務部|第一輪|機會|獎品1|2024-01-19 19:01:00|搖出|");
}

void TestGuestRecord::columns()
{
    QFETCH(QList<Guest>, guests);
    QFETCH(QString, header);
    QFETCH(QString, firstRow);
    const NightRecord r = recordOf(guests);
    const QStringList tsv = r.toTsv().split(u'\n');
    QCOMPARE(tsv[0], QString(header).replace(u'|', u'\t'));
    QCOMPARE(tsv[1], QString(firstRow).replace(u'|', u'\t'));
    const QStringList csv = QString::fromUtf8(r.toCsv().mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(csv[0], QString(header).replace(u'|', u','));
    QCOMPARE(csv[1], QString(firstRow).replace(u'|', u','));
}

void TestGuestRecord::workbook()
{
    QString reason;
    const QByteArray bytes = recordOf({Wang, {}, Chen}).toXlsx(&reason);
    QCOMPARE(reason, QString());
    const Workbook::Sheet s = Workbook::read(bytes);
    QVERIFY(s.ok());
    QCOMPARE(s.rows.size(), 3);
    QCOMPARE(s.rows[0].cells, NightRecord::header({true, true}));
    QCOMPARE(
        s.rows[1].cells.mid(0, 6),
        (QStringList{QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("王小明"),
                     QStringLiteral("業務部"), QStringLiteral("第一輪"), QStringLiteral("機會")}));
    QCOMPARE(s.rows[2].cells.mid(0, 3),
             (QStringList{QStringLiteral("2"), QStringLiteral("10"), QStringLiteral("陳美玲")}));
}

QTEST_GUILESS_MAIN(TestGuestRecord)
#include "test_guestrecord.moc"
