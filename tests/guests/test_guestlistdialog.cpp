#include "guestlistdialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {
GuestList::Result read(const QString &text)
{
    QList<SheetRow> rows;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        rows.append({int(i) + 1, lines[i].split(u'|')});
    return GuestList::fromRows(rows, QStringLiteral("names.csv"));
}
} // namespace

class TestGuestListDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { GuestListDialog::setOpenNameProvider({}); }
    void shows_data();
    void shows();
    void chooses_data();
    void chooses();
};

void TestGuestListDialog::shows_data()
{
    QTest::addColumn<GuestList::Result>("result");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("problems");
    QTest::addColumn<int>("rows");
    GuestList::Result all;
    all.path = QStringLiteral("names.xlsx");
    for (int n = 1; n <= 56; ++n)
        all.guests.insert(n, {QStringLiteral("來賓%1").arg(n), {}});
    QTest::newRow("every number named")
        << all << QStringLiteral("有姓名的號碼：56 個。1 到 56 號都有姓名。") << QString() << 56;
    // The numbers without a name in runs, at both ends.
    QTest::newRow("problems and unnamed numbers")
        << read(QStringLiteral("號碼|姓名|部門\n4|<b>王</b>|業務部\n2|\n6|陳美玲"))
        << QStringLiteral("有姓名的號碼：2 個。沒有姓名的號碼：1–3、5、7–56。有 1 個問題，見下方。")
        << QStringLiteral("第 3 列（號碼 2）沒有姓名。") << 2;
    GuestList::Result refused;
    refused.path = QStringLiteral("names.xls");
    refused.refusal = QStringLiteral("無法讀取名單檔案（…）");
    QTest::newRow("refused") << refused << refused.refusal << QString() << 0;
    QTest::newRow("no list") << GuestList::Result{} << QString() << QString() << 0;
}

void TestGuestListDialog::shows()
{
    QFETCH(GuestList::Result, result);
    QFETCH(QString, summary);
    QFETCH(QString, problems);
    QFETCH(int, rows);
    GuestListDialog d;
    d.setResult(read(QStringLiteral("9|前一份")));
    d.setResult(result);
    QCOMPARE(d.summary(), summary);
    QCOMPARE(d.problems(), problems);
    QCOMPARE(d.table()->rowCount(), rows);
    for (QLabel *label : d.findChildren<QLabel *>())
        QCOMPARE(label->textFormat(), Qt::PlainText);
    if (rows == 2)
        QCOMPARE(d.table()->item(0, 1)->text(), QStringLiteral("<b>王</b>"));
}

void TestGuestListDialog::chooses_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("a file") << QStringLiteral("/tmp/名單.xlsx");
    QTest::newRow("cancelled") << QString();
}

void TestGuestListDialog::chooses()
{
    QFETCH(QString, answer);
    GuestListDialog d;
    d.setResult(read(QStringLiteral("1|王小明")));
    QString askedIn;
    GuestListDialog::setOpenNameProvider([&](QWidget *, const QString &folder) {
        askedIn = folder;
        return answer;
    });
    QSignalSpy chosen(&d, &GuestListDialog::fileChosen);
    QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("choose")), Qt::LeftButton);
    QVERIFY(!askedIn.isEmpty());
    QCOMPARE(chosen.size(), answer.isEmpty() ? 0 : 1);
    if (!answer.isEmpty())
        QCOMPARE(chosen[0][0].toString(), answer);
}

QTEST_MAIN(TestGuestListDialog)
#include "test_guestlistdialog.moc"
