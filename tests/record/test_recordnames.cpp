#include "board.h"
#include "files.h"
#include "nightrecord.h"
#include "recordwindow.h"
#include "workbookreader.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
NightRecord named(const Guest &guest)
{
    NightRecord r;
    const Board before(QStringList{QStringLiteral("液晶電視")});
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
    void saves_data();
    void saves();
};

void TestRecordNames::saves_data()
{
    QTest::addColumn<Guest>("guest");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("no list, CSV by the button") << Guest{} << QStringLiteral("紀錄.csv") << false;
    QTest::newRow("a name and a table, workbook by Ctrl+S")
        << Guest{QStringLiteral("王小明"), QStringLiteral("第 3 桌")} << QStringLiteral("紀錄.XLSX")
        << true;
}

// The columns follow the record: a list that names someone adds 姓名 and 部門, a record
// shown again without one has the columns of old; the file's kind follows its name.
void TestRecordNames::saves()
{
    QFETCH(Guest, guest);
    QFETCH(QString, name);
    QFETCH(bool, byKey);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    int asked = 0;
    RecordWindow::setSaveNameProvider([&](QWidget *, const QString &) {
        ++asked;
        return path;
    });
    RecordWindow w;
    w.setRecord(named({QStringLiteral("陳美玲"), QStringLiteral("研發部")}));
    const NightRecord r = named(guest);
    w.setRecord(r);
    const QStringList header = NightRecord::header({!guest.isEmpty(), !guest.isEmpty()});
    QCOMPARE(headerOf(w.table()), header);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    if (byKey)
        QTest::keyClick(w.table(), Qt::Key_S, Qt::ControlModifier);
    else
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("saveAs")), Qt::LeftButton);
    QCOMPARE(asked, 1);
    const QByteArray bytes = readFile(path);
    if (!name.endsWith(QLatin1String(".XLSX"))) {
        QCOMPARE(bytes, r.toCsv());
        return;
    }
    const Workbook::Sheet s = Workbook::read(bytes);
    QCOMPARE(s.rows.size(), 2);
    QCOMPARE(s.rows[0].cells, header);
    QCOMPARE(s.rows[1].cells.mid(0, 4),
             (QStringList{QStringLiteral("1"), QStringLiteral("7"), guest.name, guest.department}));
}

QTEST_MAIN(TestRecordNames)
#include "test_recordnames.moc"
