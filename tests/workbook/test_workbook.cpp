#include "cputime.h"
#include "files.h"
#include "workbookparts.h"
#include "workbookreader.h"
#include "workbookwriter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Workbook::Status;

namespace {
// "1:a|b;3:c": rows by number, cells by column.
QString dump(const QList<SheetRow> &rows)
{
    QStringList out;
    for (const SheetRow &r : rows)
        out << QString::number(r.number) + u':' + r.cells.join(u'|');
    return out.join(u';');
}

} // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void readBackByOpenpyxl();
};

void TestWorkbook::reads_data()
{
    QTest::addColumn<QByteArray>("workbook");
    QTest::addColumn<QString>("rows");
    QTest::newRow("shared strings, 7.0, 7.5, 1E+1, a binary fraction")
        << workbookOf("<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\"><v>7.0</v></c>"
                      "<c r=\"C2\"><v>7.5</v></c><c r=\"D2\" t=\"n\"><v>1E+1</v></c><c r=\"E2\">"
                      "<v>0.30000000000000004</v></c></row>",
                      "<si><t>王小明</t></si>")
        << QStringLiteral("2:王小明|7|7.5|10|0.3");
    QTest::newRow("inline string and cached formula values")
        << workbookOf("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>陳 美玲</t></is></c><c "
                      "r=\"B1\"><f>3+4</f><v>7</v></c><c r=\"C1\" t=\"str\"><f>\"林\"&amp;\"大華\""
                      "</f><v>林大華</v></c><c r=\"D1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"E1\" "
                      "t=\"b\"><v>1</v></c></row>")
        << QStringLiteral("1:陳 美玲|7|林大華|#DIV/0!|TRUE");
    QTest::newRow("rich text runs, the phonetic guide left out, escapes")
        << workbookOf("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v>"
                      "</c></row>",
                      "<si><r><rPr><b/></rPr><t>張</t></r><r><t xml:space=\"preserve\">三 </t></r>"
                      "<rPh><t>ㄓㄤ</t></rPh></si><si><t>a_x000D_b_x005F_x0041_</t></si>")
        << QStringLiteral("1:張三 |a\rb_x0041_");
    QTest::newRow("gaps kept, empty rows and far columns left out")
        << workbookOf(
               "<row r=\"1\"><c r=\"C1\"><v>3</v></c><c r=\"XFD1\"><v>9</v></c></row>"
               "<row r=\"2\"/><row r=\"4\"><c r=\"A4\" s=\"1\"/><c r=\"B4\"><v>2</v></c></row>")
        << QStringLiteral("1:||3;4:|2");
    QTest::newRow("places left out count on")
        << workbookOf("<row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row>")
        << QStringLiteral("1:1|2;2:3");

    const QByteArray sheet = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is>"
                             "<t>%1</t></is></c></row></sheetData></worksheet>";
    QTest::newRow("the first tab by the relationships, not by the part's name")
        << zipOf({{QStringLiteral("_rels/.rels"),
                   "<Relationships>" + relationship("r", "officeDocument", "/Book/main.xml") +
                       "</Relationships>"},
                  {QStringLiteral("Book/main.xml"),
                   "<workbook xmlns:x=\"" + Rel +
                       "\"><sheets><sheet x:id=\"b\"/><sheet x:id=\"a\"/></sheets></workbook>"},
                  {QStringLiteral("Book/_rels/main.xml.rels"),
                   "<Relationships>" + relationship("a", "worksheet", "s/sheet1.xml") +
                       relationship("b", "worksheet", "./s/../s/sheet2.xml") + "</Relationships>"},
                  {QStringLiteral("Book/s/sheet1.xml"), QByteArray(sheet).replace("%1", "second")},
                  {QStringLiteral("book/S/sheet2.xml"), QByteArray(sheet).replace("%1", "first")}})
        << QStringLiteral("1:first");
}

void TestWorkbook::reads()
{
    QFETCH(QByteArray, workbook);
    QFETCH(QString, rows);
    const Workbook::Sheet s = Workbook::read(workbook);
    QCOMPARE(s.reason, QString());
    QCOMPARE(dump(s.rows), rows);
}

void TestWorkbook::refuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("says");

    const QByteArray ole =
        QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0');
    QByteArray locked = ole;
    for (char c : QByteArrayLiteral("EncryptedPackage"))
        locked.append(c).append('\0');
    QTest::newRow("Excel 97-2003") << ole << Status::OldExcel << QStringLiteral("(*.xlsx)");
    QTest::newRow("password") << locked << Status::Encrypted << QStringLiteral("密碼");
    const QByteArray good = workbookOf("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    QTest::newRow("cut short") << good.left(good.size() / 2) << Status::Damaged << QString();
    Parts noSheet = sheetParts("");
    noSheet.removeAt(3);
    QTest::newRow("sheet missing") << zipOf(noSheet) << Status::Damaged << QStringLiteral("sheet1");
    QTest::newRow("string out of range")
        << workbookOf("<row><c t=\"s\"><v>5</v></c></row>", "<si/>") << Status::Damaged
        << QString();
    QTest::newRow("row past Excel's last")
        << workbookOf("<row r=\"1048577\"><c><v>1</v></c></row>") << Status::Damaged << QString();
    QTest::newRow("malformed") << workbookOf("<row><c><v>1</v></row>") << Status::Damaged
                               << QString();
    QTest::newRow("outside the archive")
        << zipOf({{QStringLiteral("_rels/.rels"),
                   "<Relationships><Relationship Type=\"x/officeDocu"
                   "ment\" Target=\"../../etc/passwd\"/></Relationships>"}})
        << Status::NotWorkbook << QString();

    // Hostile: each is refused before it is read whole, let alone expanded.
    Parts laughs = sheetParts("<row><c t=\"inlineStr\"><is><t>&lol9;</t></is></c></row>");
    QByteArray dtd = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i)
        dtd += "<!ENTITY lol" + QByteArray::number(i) + " \"" +
               ("&lol" + (i == 1 ? QByteArray() : QByteArray::number(i - 1)) + ";").repeated(10) +
               "\">";
    laughs[3].second.prepend(dtd + "]>");
    QTest::newRow("entities") << zipOf(laughs) << Status::Hostile << QStringLiteral("DTD");
    QTest::newRow("nested deep") << workbookOf("", "<si>" + QByteArray("<r>").repeated(100000) +
                                                       "</si>")
                                 << Status::Hostile << QString();
    QTest::newRow("millions of rows")
        << workbookOf(QByteArray("<row><c><v>1</v></c></row>").repeated(150000) +
                      QByteArray("<row/>").repeated(1500000))
        << Status::TooManyRows << QStringLiteral("10000");
    QTest::newRow("zip bomb") << zipOf({{QStringLiteral("_rels/.rels"), QByteArray(80 << 20, ' ')}})
                              << Status::Inflated << QStringLiteral("48 MB");
    Parts strings = sheetParts("", "");
    strings[4].second = "<sst>" + QByteArray("<si/>").repeated(1100000) + "</sst>";
    QTest::newRow("strings past the cap") << zipOf(strings) << Status::Inflated << QString();
}

void TestWorkbook::refuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Status, status);
    QFETCH(QString, says);
    const double t0 = cpuSeconds();
    const Workbook::Sheet s = Workbook::read(bytes);
    const double spent = cpuSeconds() - t0;
    QCOMPARE(s.status, status);
    QVERIFY(s.rows.isEmpty());
    QVERIFY2(s.reason.contains(says), qPrintable(s.reason));
    QVERIFY2(spent < 1.0, qPrintable(QStringLiteral("%1 s of processor time").arg(spent)));
}

// What is written reads back the same, by our reader and by another: numbers, Chinese and
// texts that look like formulas (formatted as text, so an edit keeps them text); the
// types, the bold frozen header and the widths as Excel sees them.
void TestWorkbook::readBackByOpenpyxl()
{
    using Row = QList<Workbook::Cell>;
    const Workbook::Written w =
        Workbook::write(QStringLiteral("抽獎紀錄"),
                        {QStringLiteral("號碼"), QStringLiteral("姓名"), QStringLiteral("獎品")},
                        {Row{7.0, QStringLiteral("歐陽美玲"), QStringLiteral("=1+1")},
                         Row{7.5, QStringLiteral("@SUM(A1)"), QStringLiteral("<b>&amp;</b>\n")}});
    QVERIFY2(w.ok, qPrintable(w.reason));
    QCOMPARE(dump(Workbook::read(w.bytes).rows),
             QStringLiteral("1:號碼|姓名|獎品;2:7|歐陽美玲|=1+1;3:7.5|@SUM(A1)|<b>&amp;</b>\n"));
    const QString python =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty() ||
        QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) != 0)
        QSKIP("no python3-openpyxl");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("紀錄.xlsx"));
    writeFile(path, w.bytes);
    QProcess p;
    p.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import sys, openpyxl\n"
                                    "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                    "print(ws.title, ws['A1'].font.b, ws.freeze_panes)\n"
                                    "for c in ws[2]: print(c.data_type, repr(c.value), c.number_format)\n"
                                    "print(ws.column_dimensions['A'].width >= 6,\n"
                                    "      ws.column_dimensions['B'].width >= 10)\n"),
                     path});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
             QStringLiteral("抽獎紀錄 True A2\nn 7 General\ns '歐陽美玲' General\ns '=1+1' @\n"
                            "True True\n"));
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "test_workbook.moc"
