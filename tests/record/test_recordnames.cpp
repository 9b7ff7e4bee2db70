#include "board.h"
#include "files.h"
#include "nightrecord.h"
#include "recordwindow.h"
#include "workbookreader.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
NightRecord named(const Guest &guest)
{
    NightRecord r;
    Board before(QStringList{QStringLiteral("液晶電視"), QStringLiteral("=1+1")});
    Board stop = before;
    stop.cells[6] = Cell::Won;
    stop.stopCell = 6;
    stop.drawNo = 2;
    r.apply(BoardChange::Stop, 6, before, stop, 1, QDateTime(QDate(2024, 1, 19), QTime(19, 0)),
            guest);
    return r;
}

QStringList headerOf(const QTableWidget *t)
{
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << t->horizontalHeaderItem(c)->text();
    return out;
}
} // namespace

class TestRecordNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { RecordWindow::setSaveNameProvider({}); }
    void table_data();
    void table();
    void saves_data();
    void saves();
};

void TestRecordNames::table_data()
{
    QTest::addColumn<Guest>("guest");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QString>("third");
    QTest::newRow("no list") << Guest{} << NightRecord::header() << QStringLiteral("第一輪");
    QTest::newRow("a name") << Guest{QStringLiteral("王小明"), {}}
                            << NightRecord::header({true, false}) << QStringLiteral("王小明");
    QTest::newRow("a name and a table")
        << Guest{QStringLiteral("王小明"), QStringLiteral("第 3 桌")}
        << NightRecord::header({true, true}) << QStringLiteral("王小明");
}

// The window's columns follow the record: a list that names someone adds 姓名 (and 部門),
// and a record shown again without one has the columns of old.
void TestRecordNames::table()
{
    QFETCH(Guest, guest);
    QFETCH(QStringList, header);
    QFETCH(QString, third);
    RecordWindow w;
    w.setRecord(named({QStringLiteral("陳美玲"), QStringLiteral("研發部")}));
    w.setRecord(named(guest));
    QCOMPARE(headerOf(w.table()), header);
    QCOMPARE(w.table()->item(0, 2)->text(), third);
}

void TestRecordNames::saves_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("workbook");
    QTest::newRow("CSV by the button") << QStringLiteral("紀錄.csv") << false << false;
    QTest::newRow("workbook by the button") << QStringLiteral("紀錄.xlsx") << false << true;
    QTest::newRow("workbook by Ctrl+S") << QStringLiteral("紀錄.XLSX") << true << true;
    QTest::newRow("CSV by Ctrl+S") << QStringLiteral("紀錄.csv") << true << false;
}

void TestRecordNames::saves()
{
    QFETCH(QString, name);
    QFETCH(bool, byKey);
    QFETCH(bool, workbook);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    int asked = 0;
    RecordWindow::setSaveNameProvider([&](QWidget *, const QString &) {
        ++asked;
        return path;
    });
    RecordWindow w;
    const NightRecord r = named({QStringLiteral("王小明"), {}});
    w.setRecord(r);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    if (byKey)
        QTest::keyClick(w.table(), Qt::Key_S, Qt::ControlModifier);
    else
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("saveAs")), Qt::LeftButton);
    QCOMPARE(asked, 1);
    const QByteArray bytes = readFile(path);
    if (!workbook) {
        QCOMPARE(bytes, r.toCsv());
        return;
    }
    const Workbook::Sheet s = Workbook::read(bytes);
    QVERIFY(s.ok());
    QCOMPARE(s.rows.size(), 2);
    QCOMPARE(s.rows[0].cells, NightRecord::header({true, false}));
    QCOMPARE(s.rows[1].cells.mid(0, 3),
             (QStringList{QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("王小明")}));
}

QTEST_MAIN(TestRecordNames)
#include "test_recordnames.moc"
