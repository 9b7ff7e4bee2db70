#include "files.h"
#include "prizelist.h"
#include "workbookparts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Column A from startRow, a null cell leaving its row out; column B a note, never read.
QByteArray column(const QStringList &cells, int startRow = 1)
{
    QByteArray xml;
    for (int i = 0; i < int(cells.size()); ++i) {
        const QByteArray r = QByteArray::number(startRow + i);
        if (cells[i].isNull())
            continue;
        xml += "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"inlineStr\"><is><t>" +
               cells[i].toHtmlEscaped().toUtf8() + "</t></is></c><c r=\"B" + r +
               "\" t=\"inlineStr\"><is><t>備註</t></is></c></row>";
    }
    return xml;
}
} // namespace

class TestPrizeWorkbook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reads_data();
    void reads();
    void choose_data();
    void choose();
};

void TestPrizeWorkbook::reads_data()
{
    QTest::addColumn<QByteArray>("workbook");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<PrizeList::Error>("error");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("says");

    using E = PrizeList::Error;
    QTest::newRow("first column, row by row; an empty row is an empty line")
        << workbookOf(
               column({QStringLiteral("液晶電視"), QString(), QStringLiteral("腳踏車 紀念獎")}))
        << QStringList{QStringLiteral("液晶電視"), QString(), QStringLiteral("腳踏車 紀念獎")}
        << E::None << 0 << QString();
    QTest::newRow("a prize on row 80")
        << workbookOf(column({QStringLiteral("獎")}, 80)) << QStringList() << E::TooManyLines << 57
        << QStringLiteral("有 80 行");
    QTest::newRow("control character")
        << workbookOf(column({QStringLiteral("電鍋"), QStringLiteral("腳踏車_x0007_")}))
        << QStringList() << E::ControlChar << 2 << QStringLiteral("U+0007 是控制字元");
    QTest::newRow("Excel 97-2003")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0')
        << QStringList() << E::Unreadable << 0 << QStringLiteral("Excel 97-2003");
}

void TestPrizeWorkbook::reads()
{
    QFETCH(QByteArray, workbook);
    QFETCH(QStringList, lines);
    QFETCH(PrizeList::Error, error);
    QFETCH(int, line);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gift.xlsx"));
    writeFile(path, workbook);
    const PrizeList::Display display{[](char32_t u) { return u < 0x1F000; },
                                     [](const QString &t) { return t.size() <= 20; }};
    const PrizeList::Result r = PrizeList::load(path, display);
    QCOMPARE(r.error, error);
    QCOMPARE(r.errorLine, line);
    QCOMPARE(r.lines, lines);
    QVERIFY2(r.message.contains(says), qPrintable(r.message));
    if (!r.ok())
        QVERIFY(r.message.endsWith(QDir::toNativeSeparators(path)));
}

void TestPrizeWorkbook::choose_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("warned");
    QTest::newRow("neither: gift.txt, to be missed by name")
        << QStringList() << QStringLiteral("gift.txt") << false;
    QTest::newRow("gift.xlsx") << QStringList{QStringLiteral("gift.xlsx")}
                               << QStringLiteral("gift.xlsx") << false;
    QTest::newRow("both: gift.txt holds")
        << QStringList{QStringLiteral("gift.txt"), QStringLiteral("gift.xlsx")}
        << QStringLiteral("gift.txt") << true;
}

void TestPrizeWorkbook::choose()
{
    QFETCH(QStringList, present);
    QFETCH(QString, chosen);
    QFETCH(bool, warned);
    QTemporaryDir dir;
    for (const QString &name : present)
        writeFile(dir.filePath(name), "x");
    const PrizeList::Choice c = PrizeList::choose(dir.path());
    QCOMPARE(c.path, dir.filePath(chosen));
    QCOMPARE(!c.warning.isEmpty(), warned);
}

QTEST_GUILESS_MAIN(TestPrizeWorkbook)
#include "test_prizeworkbook.moc"
