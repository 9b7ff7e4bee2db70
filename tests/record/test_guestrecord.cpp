#include "files.h"
#include "journal.h"
#include "nightkeeper.h"
#include "nightrecord.h"
#include "recordwindow.h"
#include "workbookreader.h"

#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList prizeList()
{
    return QStringList(40, QStringLiteral("獎品1"));
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

// A stop on 5 and its card, as the board settles them.
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
    return out;
}

// The night above, each change with the guest the board announced.
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

// Names in the journal and in every form the record leaves the program in.
class TestGuestRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { RecordWindow::setSaveNameProvider({}); }
    void journalLines_data();
    void journalLines();
    void columns_data();
    void columns();
};

// A name travels with its line; lines without one are read as before; a name that is no
// text ends the journal there like any damaged line. Resumed, a name the list's rules would
// refuse (a hand-edited journal) is shown as none, and the record says so.
void TestGuestRecord::journalLines_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("shown"); // once resumed
    QTest::newRow("name") << QStringLiteral("name") << QJsonValue(QStringLiteral("王小明")) << true
                          << true;
    QTest::newRow("an older program's line") << QString() << QJsonValue() << true << true;
    QTest::newRow("a number for a name")
        << QStringLiteral("name") << QJsonValue(7) << false << false;
    QTest::newRow("a name past any list")
        << QStringLiteral("name") << QJsonValue(QString(1001, u'名')) << false << false;
    QTest::newRow("a name turned round by a direction mark")
        << QStringLiteral("name") << QJsonValue(QStringLiteral("王\u202E小明")) << true << false;
    QTest::newRow("a department with a control character")
        << QStringLiteral("department") << QJsonValue(QStringLiteral("業務\u0007部")) << true
        << false;
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
    if (!read)
        return;
    if (key == QLatin1String("name"))
        QCOMPARE(c.entries[0].name, value.toString());

    QFETCH(bool, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("night.journal"));
    writeFile(path, Journal::headerLine(prizeList(), T0) +
                        QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    NightKeeper keeper(path, "gifts", prizeList());
    keeper.setNameCheck([](const Guest &g) {
        for (const QString &text : {g.name, g.department})
            for (QChar ch : text)
                if (ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format)
                    return false;
        return true;
    });
    QCOMPARE(keeper.inspect(), NightKeeper::Earlier::Unfinished);
    QVERIFY(keeper.resume());
    const NightRecord::Entry e = keeper.record().entries().value(0);
    const Guest announced{e.name, e.department};
    QCOMPARE(announced.isEmpty(), !shown || key.isEmpty());
    QCOMPARE(keeper.announced().value(5), announced);
    QCOMPARE(e.note.isEmpty(), shown);
}

// 姓名 and 部門 only as the night needs them, alike in the window, the copy, the CSV and the
// workbook (saved by Ctrl+S, the kind following the name's ending).
void TestGuestRecord::columns_data()
{
    QTest::addColumn<QList<Guest>>("guests"); // announced at the stop, its card, the next stop
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("firstRow");
    QTest::newRow("without a list, as always")
        << QList<Guest>{} << QStringLiteral("序號|號碼|輪次|卡片|獎品|時間|類別|說明")
        << QStringLiteral("1|5|第一輪|機會|獎品1|2024-01-19 19:01:00|搖出|");
    QTest::newRow("names") << QList<Guest>{Chen, Chen}
                           << QStringLiteral("序號|號碼|姓名|輪次|卡片|獎品|時間|類別|說明")
                           << QStringLiteral(
                                  "1|5|陳美玲|第一輪|機會|獎品1|2024-01-19 19:01:00|搖出|");
    QTest::newRow("the card's announcement names the stop")
        << QList<Guest>{{}, Wang}
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

    // A record shown again takes its own columns, not those of the one before.
    RecordWindow w;
    w.setRecord(recordOf({Wang, Wang}));
    w.setRecord(r);
    QStringList shown;
    for (int c = 0; c < w.table()->columnCount(); ++c)
        shown << w.table()->horizontalHeaderItem(c)->text();
    QCOMPARE(shown.join(u'|'), header);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("紀錄.XLSX"));
    RecordWindow::setSaveNameProvider([&](QWidget *, const QString &) { return path; });
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.table(), Qt::Key_S, Qt::ControlModifier);
    const Workbook::Sheet s = Workbook::read(readFile(path));
    QCOMPARE(s.rows.size(), 2);
    QCOMPARE(s.rows[0].cells.join(u'|'), header);
    QCOMPARE(s.rows[1].cells.join(u'|') + u'|', firstRow);
}

QTEST_MAIN(TestGuestRecord)
#include "test_guestrecord.moc"
