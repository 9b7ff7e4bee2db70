#include "cfilename.h"
#include "cputime.h"
#include "files.h"
#include "workbookparts.h"
#include "workbookreader.h"
#include "workbookwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>


#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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


QByteArray repeated(const QByteArray &unit, int times)
{
    QByteArray out;
    out.reserve(unit.size() * times);
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

const QByteArray Rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
} // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void refusesFiles_data();
    void refusesFiles();
    void firstSheet();
    void writes_data();
    void writes();
    void readBackByOpenpyxl();
    void widths_data();
    void widths();
};

void TestWorkbook::reads_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QByteArray>("strings");
    QTest::addColumn<QString>("rows");

    const QByteArray names = "<si><t>王小明</t></si><si><t>業務部</t></si>";
    QTest::newRow("shared strings") << QByteArray("<row r=\"1\"><c r=\"A1\"><v>7</v></c>"
                                                  "<c r=\"B1\" t=\"s\"><v>0</v></c>"
                                                  "<c r=\"C1\" t=\"s\"><v>1</v></c></row>")
                                    << names << QStringLiteral("1:7|王小明|業務部");
    QTest::newRow("7.0 and 7.5") << QByteArray("<row r=\"2\"><c r=\"A2\"><v>7.0</v></c>"
                                               "<c r=\"B2\"><v>7.5</v></c>"
                                               "<c r=\"C2\" t=\"n\"><v>1E+1</v></c></row>")
                                 << QByteArray() << QStringLiteral("2:7|7.5|10");
    QTest::newRow("binary fraction shown as Excel does")
        << QByteArray("<row r=\"1\"><c r=\"A1\"><v>0.30000000000000004</v></c></row>")
        << QByteArray() << QStringLiteral("1:0.3");
    QTest::newRow("inline string") << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\">"
                                                 "<is><t>陳 美玲</t></is></c></row>")
                                   << QByteArray() << QStringLiteral("1:陳 美玲");
    QTest::newRow("cached formula values")
        << QByteArray("<row r=\"1\"><c r=\"A1\"><f>3+4</f><v>7</v></c>"
                      "<c r=\"B1\" t=\"str\"><f>CONCAT(\"林\",\"大華\")</f><v>林大華</v></c>"
                      "<c r=\"C1\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"
                      "<c r=\"D1\" t=\"b\"><v>1</v></c></row>")
        << QByteArray() << QStringLiteral("1:7|林大華|#DIV/0!|TRUE");
    QTest::newRow("rich text runs, phonetic guide left out")
        << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")
        << QByteArray("<si><r><rPr><b/></rPr><t>張</t></r><r><t xml:space=\"preserve\">三 </t></r>"
                      "<rPh sb=\"0\" eb=\"1\"><t>ㄓㄤ</t></rPh><phoneticPr fontId=\"1\"/></si>")
        << QStringLiteral("1:張三 ");
    QTest::newRow("escaped characters")
        << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")
        << QByteArray("<si><t>a_x000D_b_x005F_x0041_</t></si>") << QStringLiteral("1:a\rb_x0041_");
    QTest::newRow("gaps kept, empty rows left out")
        << QByteArray("<row r=\"1\"><c r=\"C1\"><v>3</v></c></row><row r=\"2\"/>"
                      "<row r=\"4\"><c r=\"A4\" s=\"1\"/><c r=\"B4\"><v>2</v></c></row>")
        << QByteArray() << QStringLiteral("1:||3;4:|2");
    QTest::newRow("places left out count on")
        << QByteArray("<row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row>")
        << QByteArray() << QStringLiteral("1:1|2;2:3");
    QTest::newRow("cells past the last column kept are left out")
        << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"XFD1\"><v>2</v></c></row>")
        << QByteArray() << QStringLiteral("1:1");
    QTest::newRow("strings without a sheet's use") << QByteArray() << names << QString();
}

void TestWorkbook::reads()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QByteArray, strings);
    QFETCH(QString, rows);
    const Workbook::Sheet s = Workbook::read(workbookOf(sheet, strings));
    QCOMPARE(s.reason, QString());
    QCOMPARE(dump(s.rows), rows);
}

void TestWorkbook::refuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("says");

    const QByteArray oldExcel = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                QByteArray(504, '\0') + QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    QByteArray encrypted = oldExcel;
    for (char c : QByteArrayLiteral("EncryptedPackage"))
        encrypted.append(c).append('\0');
    QTest::newRow("Excel 97-2003")
        << oldExcel << Status::OldExcel << QStringLiteral("Excel 活頁簿 (*.xlsx)");
    QTest::newRow("password") << encrypted << Status::Encrypted << QStringLiteral("密碼");
    QTest::newRow("text") << QByteArray("1,王小明\r\n") << Status::NotWorkbook << QString();
    const QByteArray good = workbookOf("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    QTest::newRow("cut short") << good.left(good.size() / 2) << Status::Damaged << QString();
    QTest::newRow("a zip, no workbook") << zipOf({{QStringLiteral("readme.txt"), "hello"}})
                                        << Status::Damaged << QStringLiteral("_rels/.rels");
    Parts noSheet = sheetParts("");
    noSheet.removeAt(3);
    QTest::newRow("sheet missing")
        << zipOf(noSheet) << Status::Damaged << QStringLiteral("sheet1.xml");
    QTest::newRow("string index out of range")
        << workbookOf("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>", "<si><t>a</t></si>")
        << Status::Damaged << QString();
    QTest::newRow("bad cell place") << workbookOf("<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>")
                                    << Status::Damaged << QString();
    QTest::newRow("row past Excel's last")
        << workbookOf("<row r=\"1048577\"><c><v>1</v></c></row>") << Status::Damaged << QString();
    QTest::newRow("malformed XML")
        << workbookOf("<row r=\"1\"><c r=\"A1\"><v>1</v></row>") << Status::Damaged << QString();

    // Hostile: each of these is refused without reading it all.
    Parts laughs =
        sheetParts("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lol9;</t></is></c></row>");
    QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i)
        dtd += "<!ENTITY lol" + QByteArray::number(i) + " \"" +
               repeated("&lol" + (i == 1 ? QByteArray() : QByteArray::number(i - 1)) + ";", 10) +
               "\">";
    dtd += "]>";
    laughs[3].second.prepend(dtd);
    QTest::newRow("entities") << zipOf(laughs) << Status::Hostile << QStringLiteral("DTD");
    Parts external =
        sheetParts("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&x;</t></is></c></row>");
    external[3].second.prepend("<!DOCTYPE w [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>");
    QTest::newRow("external entity") << zipOf(external) << Status::Hostile << QString();
    QTest::newRow("nested deep") << workbookOf("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>",
                                               "<si>" + repeated("<r>", 100000) + "</si>")
                                 << Status::Hostile << QString();
    QTest::newRow("millions of rows")
        << workbookOf(repeated("<row><c><v>1</v></c></row>", 150000) + repeated("<row/>", 1500000))
        << Status::TooManyRows << QStringLiteral("100000");
    QTest::newRow("zip bomb") << zipOf({{QStringLiteral("_rels/.rels"),
                                         QByteArray(80 * 1024 * 1024, ' ')}})
                              << Status::Inflated << QStringLiteral("48 MB");
    Parts parts = sheetParts("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "<si><t>a</t></si>");
    parts[4].second = "<sst>" + repeated("<si/>", 1100000) + "</sst>";
    QTest::newRow("strings past the cap") << zipOf(parts) << Status::Inflated << QString();
    QTest::newRow("target outside the archive")
        << zipOf({{QStringLiteral("_rels/.rels"),
                   "<Relationships><Relationship Id=\"a\" Type=\"x/officeDocument\" "
                   "Target=\"../../etc/passwd\"/></Relationships>"}})
        << Status::NotWorkbook << QString();
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

void TestWorkbook::refusesFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Status>("status");
    QTest::newRow("folder") << QStringLiteral("folder") << Status::Unreadable;
    QTest::newRow("missing") << QStringLiteral("missing") << Status::Missing;
    QTest::newRow("100 MB") << QStringLiteral("large") << Status::TooLarge;
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO") << QStringLiteral("fifo") << Status::Unreadable;
#endif
}

void TestWorkbook::refusesFiles()
{
    QFETCH(QString, kind);
    QFETCH(Status, status);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.xlsx"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("names.xlsx")));
    } else if (kind == QLatin1String("large")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("PK\x03\x04");
        QVERIFY(f.resize(100 * 1024 * 1024));
    }
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    const double t0 = cpuSeconds();
    const Workbook::Sheet s = Workbook::load(path);
    QCOMPARE(s.status, status);
    QVERIFY(!s.reason.isEmpty());
    QVERIFY(cpuSeconds() - t0 < 1.0);
}

// The first tab, found through the workbook's relationships, not the part's name.
void TestWorkbook::firstSheet()
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray sheet = "<worksheet " + ns +
                             "><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\">"
                             "<is><t>%1</t></is></c></row></sheetData></worksheet>";
    const QByteArray bytes = zipOf(
        {{QStringLiteral("_rels/.rels"),
          "<Relationships><Relationship Id=\"r\" Type=\"" + Rel +
              "/officeDocument\" Target=\"/Book/main.xml\"/></Relationships>"},
         {QStringLiteral("Book/main.xml"), "<workbook " + ns + " xmlns:x=\"" + Rel +
                                               "\"><sheets><sheet name=\"第一\" x:id=\"b\"/><sheet "
                                               "name=\"第二\" x:id=\"a\"/></sheets></workbook>"},
         {QStringLiteral("Book/_rels/main.xml.rels"),
          "<Relationships><Relationship Id=\"a\" Type=\"" + Rel +
              "/worksheet\" Target=\"sheets/sheet1.xml\"/><Relationship Id=\"b\" Type=\"" + Rel +
              "/worksheet\" Target=\"./sheets/../sheets/sheet2.xml\"/></Relationships>"},
         {QStringLiteral("Book/sheets/sheet1.xml"), QByteArray(sheet).replace("%1", "second")},
         {QStringLiteral("book/SHEETS/sheet2.xml"), QByteArray(sheet).replace("%1", "first")}});
    const Workbook::Sheet s = Workbook::read(bytes);
    QCOMPARE(s.reason, QString());
    QCOMPARE(dump(s.rows), QStringLiteral("1:first"));
}

void TestWorkbook::writes_data()
{
    QTest::addColumn<QList<QList<Workbook::Cell>>>("rows");
    QTest::addColumn<QString>("read");
    using Row = QList<Workbook::Cell>;
    QTest::newRow("numbers and Chinese text")
        << QList<Row>{Row{1.0, QStringLiteral("王小明"), QStringLiteral("液晶電視")},
                      Row{2.0, QStringLiteral("陳美玲"), QString()}}
        << QStringLiteral("1:序號|姓名|獎品;2:1|王小明|液晶電視;3:2|陳美玲");
    QTest::newRow("formula-like texts stay text")
        << QList<Row>{Row{QStringLiteral("=1+1"), QStringLiteral("@SUM(A1)"),
                          QStringLiteral("=HYPERLINK(\"http://x\")")}}
        << QStringLiteral("1:序號|姓名|獎品;2:=1+1|@SUM(A1)|=HYPERLINK(\"http://x\")");
    QTest::newRow("markup and line ends kept as text")
        << QList<Row>{Row{QStringLiteral("<b>&amp;</b>"), QStringLiteral("a\nb"), 7.5}}
        << QStringLiteral("1:序號|姓名|獎品;2:<b>&amp;</b>|a\nb|7.5");
}

void TestWorkbook::writes()
{
    QFETCH(QList<QList<Workbook::Cell>>, rows);
    QFETCH(QString, read);
    const Workbook::Written w = Workbook::write(
        QStringLiteral("抽獎紀錄"),
        {QStringLiteral("序號"), QStringLiteral("姓名"), QStringLiteral("獎品")}, rows);
    QVERIFY2(w.ok, qPrintable(w.reason));
    const Workbook::Sheet s = Workbook::read(w.bytes);
    QCOMPARE(s.reason, QString());
    QCOMPARE(dump(s.rows), read);
}

// Another reader than ours: types, the bold header and the widths as Excel would see them.
void TestWorkbook::readBackByOpenpyxl()
{
    const QString python =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty() ||
        QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) != 0)
        QSKIP("no python3-openpyxl");
    using Row = QList<Workbook::Cell>;
    const Workbook::Written w =
        Workbook::write(QStringLiteral("抽獎紀錄"),
                        {QStringLiteral("號碼"), QStringLiteral("姓名"), QStringLiteral("獎品")},
                        {Row{7.0, QStringLiteral("歐陽美玲"), QStringLiteral("=1+1")}});
    QVERIFY(w.ok);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("紀錄.xlsx"));
    writeFile(path, w.bytes);
    QProcess p;
    p.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import sys, openpyxl\n"
                                    "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                    "print(ws.title, ws['A1'].font.b, ws.freeze_panes)\n"
                                    "for c in ws[2]: print(c.data_type, repr(c.value))\n"
                                    "print(ws.column_dimensions['B'].width >= 10)\n"),
                     path});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
             QStringLiteral("抽獎紀錄 True A2\nn 7\ns '歐陽美玲'\ns '=1+1'\nTrue\n"));
}

void TestWorkbook::widths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("ASCII") << QStringLiteral("iPhone 15") << 9;
    QTest::newRow("Chinese") << QStringLiteral("液晶電視") << 8;
    QTest::newRow("full-width digits and space") << QStringLiteral("１２　") << 6;
    QTest::newRow("half-width katakana") << QStringLiteral("ｶﾀ") << 2;
    QTest::newRow("ideograph beyond the first plane") << QStringLiteral("𠀋") << 2;
}

void TestWorkbook::widths()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QCOMPARE(Workbook::displayWidth(text), width);
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "test_workbook.moc"
