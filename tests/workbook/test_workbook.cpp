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
// "1:a|b;3:c": rows by number, cells by column; a cell that holds no text or number is
// marked by its kind: "{e}#N/A", "{b}TRUE", "{d}45000", "{f}" for a formula without a value.
QString dump(const QList<SheetRow> &rows)
{
    using Kind = SheetRow::Kind;
    QStringList out;
    for (const SheetRow &r : rows) {
        QStringList cells;
        for (qsizetype c = 0; c < r.cells.size(); ++c) {
            const Kind k = r.kind(c);
            cells << (k == Kind::Error                 ? QStringLiteral("{e}")
                      : k == Kind::Boolean             ? QStringLiteral("{b}")
                      : k == Kind::Date                ? QStringLiteral("{d}")
                      : k == Kind::FormulaWithoutValue ? QStringLiteral("{f}")
                                                       : QString()) +
                         r.cells[c];
        }
        out << QString::number(r.number) + u':' + cells.join(u'|');
    }
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
    QTest::addColumn<QString>("tab"); // the tab's name, 名單 unless told
    QTest::newRow("shared strings, 7.0, 7.5, 1E+1, a binary fraction")
        << workbookOf("<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\"><v>7.0</v></c>"
                      "<c r=\"C2\"><v>7.5</v></c><c r=\"D2\" t=\"n\"><v>1E+1</v></c><c r=\"E2\">"
                      "<v>0.30000000000000004</v></c></row>",
                      "<si><t>王小明</t></si>")
        << QStringLiteral("2:王小明|7|7.5|10|0.3") << QStringLiteral("名單");
    QTest::newRow("inline string and cached formula values")
        << workbookOf("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>陳 美玲</t></is></c><c "
                      "r=\"B1\"><f>3+4</f><v>7</v></c><c r=\"C1\" t=\"str\"><f>\"林\"&amp;\"大華\""
                      "</f><v>林大華</v></c><c r=\"D1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"E1\" "
                      "t=\"b\"><v>1</v></c></row>")
        << QStringLiteral("1:陳 美玲|7|林大華|{e}#DIV/0!|{b}TRUE") << QStringLiteral("名單");
    QTest::newRow("rich text runs, the phonetic guide left out, escapes")
        << workbookOf("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v>"
                      "</c></row>",
                      "<si><r><rPr><b/></rPr><t>張</t></r><r><t xml:space=\"preserve\">三 </t></r>"
                      "<rPh><t>ㄓㄤ</t></rPh></si><si><t>a_x000D_b_x005F_x0041_</t></si>")
        << QStringLiteral("1:張三 |a\rb_x0041_") << QStringLiteral("名單");
    QTest::newRow("gaps kept, empty rows and far columns left out")
        << workbookOf(
               "<row r=\"1\"><c r=\"C1\"><v>3</v></c><c r=\"XFD1\"><v>9</v></c></row>"
               "<row r=\"2\"/><row r=\"4\"><c r=\"A4\" s=\"1\"/><c r=\"B4\"><v>2</v></c></row>")
        << QStringLiteral("1:||3;4:|2") << QStringLiteral("名單");
    QTest::newRow("places left out count on")
        << workbookOf("<row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row>")
        << QStringLiteral("1:1|2;2:3") << QStringLiteral("名單");

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
        << QStringLiteral("1:first") << QString();
    const QByteArray cell = "<c t=\"inlineStr\"><is><t>%1</t></is></c>";
    QTest::newRow("hidden tabs and a chart sheet passed over")
        << zipOf({{QStringLiteral("_rels/.rels"),
                   "<Relationships>" + relationship("r", "officeDocument", "wb.xml") +
                       "</Relationships>"},
                  {QStringLiteral("wb.xml"),
                   "<workbook xmlns:r=\"" + Rel +
                       "\"><sheets><sheet name=\"圖\" r:id=\"c\"/><sheet name=\"舊\" "
                       "state=\"hidden\" r:id=\"h\"/><sheet name=\"底稿\" state=\"veryHidden\" "
                       "r:id=\"v\"/><sheet name=\"來賓\" state=\"visible\" r:id=\"s\"/></sheets>"
                       "</workbook>"},
                  {QStringLiteral("_rels/wb.xml.rels"),
                   "<Relationships>" + relationship("c", "chartsheet", "c.xml") +
                       relationship("h", "worksheet", "h.xml") +
                       relationship("v", "worksheet", "v.xml") +
                       relationship("s", "worksheet", "s.xml") + "</Relationships>"},
                  {QStringLiteral("c.xml"), QByteArray(sheet).replace("%1", "chart")},
                  {QStringLiteral("h.xml"), QByteArray(sheet).replace("%1", "hidden")},
                  {QStringLiteral("v.xml"), QByteArray(sheet).replace("%1", "very hidden")},
                  {QStringLiteral("s.xml"), QByteArray(sheet).replace("%1", "seen")}})
        << QStringLiteral("1:seen") << QStringLiteral("來賓");
    QTest::newRow("rows and cells stored out of order")
        << workbookOf("<row r=\"3\"><c r=\"B3\"><v>2</v></c>" +
                      QByteArray(cell).replace("%1", "c").replace("<c ", "<c r=\"A3\" ") +
                      "</row><row r=\"1\">" + QByteArray(cell).replace("%1", "a") + "</row><row>" +
                      QByteArray(cell).replace("%1", "b") + "</row>")
        << QStringLiteral("1:a;2:b;3:c|2") << QStringLiteral("名單");
    QTest::newRow("a row without its number follows an empty row")
        << workbookOf("<row r=\"2\"/><row><c><v>5</v></c></row><row r=\"5\"><c/></row><row>"
                      "<c><v>6</v></c></row>")
        << QStringLiteral("3:5;6:6") << QStringLiteral("名單");
    // Number formats: built in (14 a date, 46 an elapsed time), or the file's own, where
    // letters in quotes or in [colours] are no date.
    QTest::newRow("dates by their format, errors, booleans, formulas without a value")
        << workbookOf("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>45000</v></c><c r=\"B1\" s=\"2\">"
                      "<v>45000.5</v></c><c r=\"C1\" s=\"3\"><v>7</v></c><c r=\"D1\" s=\"4\">"
                      "<v>8</v></c><c r=\"E1\" s=\"5\"><v>0.5</v></c><c r=\"F1\" t=\"e\"><v>#N/A"
                      "</v></c><c r=\"G1\" t=\"b\"><v>0</v></c><c r=\"H1\"><f>A1+1</f></c><c "
                      "r=\"I1\" t=\"str\"><f>B1</f></c><c r=\"J1\" s=\"0\"><v>9</v></c><c r=\"K1\">"
                      "<f>J1</f><v></v></c><c r=\"L1\" t=\"str\"><f>\"\"</f><v></v></c></row>",
                      {},
                      "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy/m/d\\ h:mm\"/><numFmt "
                      "numFmtId=\"165\" formatCode=\"&quot;Day &quot;0\"/><numFmt numFmtId=\"166\" "
                      "formatCode=\"[Red]0_);\\d0\"/></numFmts><cellXfs><xf numFmtId=\"0\"/><xf "
                      "numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/><xf "
                      "numFmtId=\"166\"/><xf numFmtId=\"46\"/></cellXfs>")
        << QStringLiteral("1:{d}45000|{d}45000.5|7|8|{d}0.5|{e}#N/A|{b}FALSE|{f}|{f}|9|{f}|")
        << QStringLiteral("名單");
}

void TestWorkbook::reads()
{
    QFETCH(QByteArray, workbook);
    QFETCH(QString, rows);
    QFETCH(QString, tab);
    const Workbook::Sheet s = Workbook::read(workbook);
    QCOMPARE(s.reason, QString());
    QCOMPARE(dump(s.rows), rows);
    QCOMPARE(s.name, tab);
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
    QTest::newRow("zip bomb: one part past its cap")
        << zipOf({{QStringLiteral("_rels/.rels"), QByteArray(80 << 20, ' ')}}) << Status::Inflated
        << QStringLiteral("超過 32 MB");
    // Each part under its cap, and a '<' often enough for the parts to be read.
    const QByteArray big = ("<!--" + QByteArray(300000, 'x') + "-->").repeated(100); // 30 MB
    QTest::newRow("parts past the total")
        << workbookOf("", big, big) << Status::Inflated << QStringLiteral("超過 48 MB");
    QTest::newRow("a number longer than a cell holds")
        << workbookOf("<row><c><v>" + QByteArray(40000, '7') + "</v></c></row>")
        << Status::CellTooLong << QStringLiteral("超過 32767 個字");
    QTest::newRow("a string of runs longer than a cell holds")
        << workbookOf("<row><c t=\"s\"><v>0</v></c></row>",
                      "<si>" + ("<r><t>" + QByteArray(20000, 'a') + "</t></r>").repeated(2) +
                          "</si>")
        << Status::CellTooLong << QStringLiteral("超過 32767 個字");
    QTest::newRow("millions of digits, refused before they are read")
        << workbookOf("<row><c><v>" + QByteArray(3 << 20, '7') + "</v></c></row>")
        << Status::CellTooLong << QStringLiteral("超過 32767 個字");
    QTest::newRow("a row given twice")
        << workbookOf("<row r=\"2\"><c><v>1</v></c></row><row r=\"2\"><c><v>2</v></c></row>")
        << Status::Damaged << QString();
    Parts strings = sheetParts("", "");
    strings[4].second = "<sst>" + QByteArray("<si/>").repeated(1100000) + "</sst>";
    QTest::newRow("strings past the cap") << zipOf(strings) << Status::Inflated << QString();
}

void TestWorkbook::refuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Status, status);
    QFETCH(QString, says);
    const Workbook::Sheet s = Workbook::read(bytes);
    QCOMPARE(s.status, status);
    QVERIFY(s.rows.isEmpty());
    QVERIFY2(s.reason.contains(says), qPrintable(s.reason));
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
    p.start(python,
            {QStringLiteral("-c"),
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
