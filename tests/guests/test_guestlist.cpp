#include "cputime.h"
#include "files.h"
#include "guestlist.h"
#include "workbookparts.h"
#include "workbookwriter.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
// "7=王小明/業務部;8=陳美玲": the numbers named, in order.
QString named(const GuestList::Result &r)
{
    QStringList out;
    for (auto it = r.guests.cbegin(); it != r.guests.cend(); ++it)
        out << QString::number(it.key()) + u'=' + it->name +
                   (it->department.isEmpty() ? QString() : u'/' + it->department);
    return out.join(u';');
}

QStringList messages(const GuestList::Result &r)
{
    QStringList out;
    for (const GuestList::Problem &p : r.problems) {
        // Every message begins with the row it names.
        if (!p.message.startsWith(QStringLiteral("第 %1 列").arg(p.row)))
            return {QStringLiteral("row %1 not at the start of: ").arg(p.row) + p.message};
        out << p.message;
    }
    return out;
}

// Rows one a line, cells split at |, numbered from 1 as Excel would.
QList<SheetRow> table(const QString &text)
{
    QList<SheetRow> rows;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            rows.append({int(i) + 1, lines[i].split(u'|')});
    return rows;
}

QByteArray encoded(const QString &text, const char *encoding)
{
    QStringEncoder e(encoding);
    return e.encode(text);
}

const GuestList::Display Shows{[](char32_t u) { return u < 0x1F000; },
                               [](const Guest &g) { return g.name.size() <= 6; }};
} // namespace

class TestGuestList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rows_data();
    void rows();
    void formats_data();
    void formats();
    void refusals_data();
    void refusals();
    void files_data();
    void files();
    void fixtures_data();
    void fixtures();
    void defaultPath_data();
    void defaultPath();
};

void TestGuestList::rows_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("no header: number, name, department")
        << QStringLiteral("1|王小明\n2|陳美玲|研發部") << QStringLiteral("1=王小明;2=陳美玲/研發部")
        << QStringList();
    QTest::newRow("header 號碼 姓名 部門") << QStringLiteral("號碼|姓名|部門\n7|王小明|業務部")
                                           << QStringLiteral("7=王小明/業務部") << QStringList();
    QTest::newRow("header 名字 編號 桌次, other order")
        << QStringLiteral("備註|名字|編號|桌次\n貴賓|王小明|7|第 3 桌")
        << QStringLiteral("7=王小明/第 3 桌") << QStringList();
    QTest::newRow("header 單位 with blanks in the words")
        << QStringLiteral(" 號　碼 |姓 名|單位\n7|王小明|總務處")
        << QStringLiteral("7=王小明/總務處") << QStringList();
    QTest::newRow("numbers written many ways")
        << QStringLiteral("1|甲\n 2 |乙\n3.0|丙\n０４|丁\n05|戊\n6.00|己")
        << QStringLiteral("1=甲;2=乙;3=丙;4=丁;5=戊;6=己") << QStringList();
    QTest::newRow("empty rows keep Excel's numbering")
        << QStringLiteral("號碼|姓名\n\n\n7|") << QString()
        << QStringList{QStringLiteral("第 4 列（號碼 7）沒有姓名。")};
    QTest::newRow("duplicate numbers name neither row")
        << QStringLiteral("7|甲\n8|乙\n7|丙") << QStringLiteral("8=乙")
        << QStringList{
               QStringLiteral(
                   "第 1 列的號碼 7 重複了（第 1、3 列都是這個號碼），這個號碼不顯示姓名。"),
               QStringLiteral(
                   "第 3 列的號碼 7 重複了（第 1、3 列都是這個號碼），這個號碼不顯示姓名。")};
    QTest::newRow("outside 1 to 56")
        << QStringLiteral("0|甲\n57|乙\n56|丙\n99999999999999|丁") << QStringLiteral("56=丙")
        << QStringList{QStringLiteral("第 1 列的號碼 0 不在 1 到 56 之間。"),
                       QStringLiteral("第 2 列的號碼 57 不在 1 到 56 之間。"),
                       QStringLiteral("第 4 列的號碼「99999999999999」不是數字。")};
    QTest::newRow("not a number") << QStringLiteral("七|甲\n-1|乙\n7.5|丙\n#7|丁") << QString()
                                  << QStringList{QStringLiteral("第 1 列的號碼「七」不是數字。"),
                                                 QStringLiteral("第 2 列的號碼「-1」不是數字。"),
                                                 QStringLiteral("第 3 列的號碼「7.5」不是數字。"),
                                                 QStringLiteral("第 4 列的號碼「#7」不是數字。")};
    QTest::newRow("no number, or no name")
        << QStringLiteral("|王小明\n8|  \n9||業務部") << QString()
        << QStringList{QStringLiteral("第 1 列沒有號碼。"),
                       QStringLiteral("第 2 列（號碼 8）沒有姓名。"),
                       QStringLiteral("第 3 列（號碼 9）沒有姓名。")};
    QTest::newRow("control character")
        << QStringLiteral("7|王\u0007明\n8|陳美玲") << QStringLiteral("8=陳美玲")
        << QStringList{QStringLiteral("第 1 列的姓名：第 2 個字 U+0007 是控制字元，無法顯示。")};
    QTest::newRow("direction control")
        << QStringLiteral("7|\u202E王明") << QString()
        << QStringList{QStringLiteral("第 1 列的姓名：第 1 個字 U+202E 是文字方向控制字元，"
                                      "會讓文字倒過來顯示。")};
    QTest::newRow("a character without a face")
        << QStringLiteral("7|王小明\U0001F600") << QString()
        << QStringList{
               QStringLiteral("第 1 列的姓名：第 4 個字「\U0001F600」(U+1F600)沒有字型可以顯示。")};
    QTest::newRow("department by its header's word")
        << QStringLiteral("號碼|姓名|桌次\n7|王小明|第\u00073桌") << QString()
        << QStringList{QStringLiteral("第 2 列的桌次：第 2 個字 U+0007 是控制字元，無法顯示。")};
    QTest::newRow("too long for the show")
        << QStringLiteral("7|歐陽諸葛司馬上官\n8|王小明") << QStringLiteral("8=王小明")
        << QStringList{QStringLiteral("第 1 列的姓名「歐陽諸葛司馬上官」太長，抽獎畫面放不下。")};
    QTest::newRow("problems beside a right row, in row order")
        << QStringLiteral("號碼|姓名\n9|\n3|林大華\n七|甲") << QStringLiteral("3=林大華")
        << QStringList{QStringLiteral("第 2 列（號碼 9）沒有姓名。"),
                       QStringLiteral("第 4 列的號碼「七」不是數字。")};
}

void TestGuestList::rows()
{
    QFETCH(QString, rows);
    QFETCH(QString, named);
    QFETCH(QStringList, problems);
    const GuestList::Result r =
        GuestList::fromRows(table(rows), QStringLiteral("names.xlsx"), Shows);
    QCOMPARE(r.refusal, QString());
    QCOMPARE(::named(r), named);
    QCOMPARE(messages(r), problems);
}

void TestGuestList::formats_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QStringList>("problems");

    const QString csv = QStringLiteral("號碼,姓名,部門\r\n7,王小明,\"業務部, 北區\"\r\n"
                                       "8,\"陳\"\"阿美\"\"\",\r\n");
    const QString csvNamed = QStringLiteral("7=王小明/業務部, 北區;8=陳\"阿美\"");
    QTest::newRow("CSV UTF-8") << csv.toUtf8() << csvNamed << QStringList();
    QTest::newRow("CSV Big5") << encoded(csv, "Big5") << csvNamed << QStringList();
    QTest::newRow("CSV code page 950 beyond Big5")
        << encoded(QStringLiteral("1,碁恒\r\n2,銹\r\n"), "windows-950")
        << QStringLiteral("1=碁恒;2=銹") << QStringList();
    const QString tabs =
        QStringLiteral("號碼\t姓名\t部門\r\n7\t王小明\t\"業務部\t北區\"\r\n9\t林大華\t\r\n");
    const QString tabsNamed = QStringLiteral("7=王小明/業務部\t北區;9=林大華");
    QTest::newRow("Unicode text, UTF-16 LE")
        << "\xFF\xFE" + encoded(tabs, "UTF-16LE") << tabsNamed << QStringList();
    QTest::newRow("a line end inside a quoted cell counts one row")
        << QStringLiteral("1,\"王\n小明\"\r\n2,\r\n3,林大華").toUtf8() << QStringLiteral("3=林大華")
        << QStringList{QStringLiteral("第 1 列的姓名：第 2 個字 U+000A 是控制字元，無法顯示。"),
                       QStringLiteral("第 2 列（號碼 2）沒有姓名。")};
    QTest::newRow("workbook: strings, 7.0, a cached formula")
        << workbookOf(
               "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
               "<row r=\"2\"><c r=\"A2\"><v>7.0</v></c><c r=\"B2\" t=\"s\"><v>2</v></c></row>"
               "<row r=\"3\"><c r=\"A3\"><f>A2+1</f><v>8</v></c>"
               "<c r=\"B3\" t=\"str\"><f>\"林\"&amp;\"大華\"</f><v>林大華</v></c></row>",
               "<si><t>編號</t></si><si><t>名字</t></si><si><t>王小明</t></si>")
        << QStringLiteral("7=王小明;8=林大華") << QStringList();
    QTest::newRow("a workbook named .csv is read as one")
        << workbookOf("<row r=\"2\"><c r=\"A2\"><v>3</v></c><c r=\"B2\" "
                      "t=\"inlineStr\"><is><t>陳美玲</t></is></c></row>")
        << QStringLiteral("3=陳美玲") << QStringList();
    using Row = QList<Workbook::Cell>;
    QTest::newRow("workbook written by libxlsxwriter")
        << Workbook::write(QStringLiteral("名單"), {QStringLiteral("號碼"), QStringLiteral("姓名")},
                           {Row{1.0, QStringLiteral("王小明")}, Row{2.0, QStringLiteral("=1+1")}})
               .bytes
        << QStringLiteral("1=王小明;2==1+1") << QStringList();
}

void TestGuestList::formats()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    QFETCH(QStringList, problems);
    const GuestList::Result r = GuestList::parse(bytes, QStringLiteral("names.csv"), Shows);
    QCOMPARE(r.refusal, QString());
    QCOMPARE(::named(r), named);
    QCOMPARE(messages(r), problems);
}

void TestGuestList::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");

    QTest::newRow("simplified Chinese")
        << encoded(QStringLiteral("1,王小明\r\n2,陈美玲\r\n3,张伟\r\n4,刘洋\r\n"), "GB18030")
        << QStringLiteral("簡體中文");
    QTest::newRow("broken Big5") << QByteArray("1,\xA4\xA4\xA4\r\n2,\xA4\x10\r\n")
                                 << QStringLiteral("無法辨識");
    QTest::newRow("Excel 97-2003")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0')
        << QStringLiteral("Excel 97-2003 活頁簿 (.xls)");
    QTest::newRow("header without number")
        << QStringLiteral("姓名,部門\r\n王小明,業務部\r\n").toUtf8()
        << QStringLiteral("名單的第 1 列是標題列，但沒有「號碼」或「編號」欄");
    QTest::newRow("too many rows")
        << QByteArray("1,a\r\n").repeated(10001) << QStringLiteral("超過 10000 列");
    QTest::newRow("zip bomb") << zipOf({{QStringLiteral("_rels/.rels"),
                                         QByteArray(60 * 1024 * 1024, 'a')}})
                              << QStringLiteral("解壓縮後超過");
}

void TestGuestList::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    const double t0 = cpuSeconds();
    const GuestList::Result r = GuestList::parse(bytes, QStringLiteral("names.csv"));
    QVERIFY(cpuSeconds() - t0 < 1.0);
    QVERIFY2(r.refusal.contains(says), qPrintable(r.refusal));
    QVERIFY(r.refusal.contains(QStringLiteral("今晚不顯示姓名")) ||
            r.refusal.contains(QStringLiteral("標題列")));
    QVERIFY(r.refusal.endsWith(u'\n' + QDir::toNativeSeparators(QDir::current().absoluteFilePath(
                                           QStringLiteral("names.csv")))));
    QVERIFY(r.guests.isEmpty());
}

void TestGuestList::files_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("says");
    QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("找不到名單檔案");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("資料夾");
    QTest::newRow("100 MB") << QStringLiteral("large") << QStringLiteral("超過 10 MB");
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO") << QStringLiteral("fifo") << QStringLiteral("具名管道");
#endif
    QTest::newRow("a right file") << QStringLiteral("right") << QString();
}

void TestGuestList::files()
{
    QFETCH(QString, kind);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名單.csv"));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("名單.csv")));
    if (kind == QLatin1String("right"))
        writeFile(path, QByteArray("1,a\r\n"));
    if (kind == QLatin1String("large")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(100 * 1024 * 1024));
    }
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    const double t0 = cpuSeconds();
    const GuestList::Result r = GuestList::load(path);
    QVERIFY(cpuSeconds() - t0 < 1.0);
    QCOMPARE(r.path, path);
    QVERIFY2(r.refusal.contains(says), qPrintable(r.refusal));
    QCOMPARE(r.ok(), says.isEmpty());
    QCOMPARE(r.guests.size(), says.isEmpty() ? 1 : 0);
}

void TestGuestList::fixtures_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("workbook saved by openpyxl") << QStringLiteral("names.xlsx");
    QTest::newRow("Big5 CSV as a Chinese Excel saves it") << QStringLiteral("names-big5.csv");
}

void TestGuestList::fixtures()
{
    QFETCH(QString, file);
    const QString path = QDir(QStringLiteral(GUEST_FIXTURES)).filePath(file);
    if (!QFile::exists(path))
        QSKIP("made at build time with python3-openpyxl, which this build had not");
    const GuestList::Result r = GuestList::load(path, Shows);
    QCOMPARE(r.refusal, QString());
    QCOMPARE(
        named(r),
        QStringLiteral("1=王小明/業務部;2=陳美玲/研發部, 二課;3=林\"阿\"華;56=歐陽志遠/總經理室"));
    QCOMPARE(messages(r), QStringList());
    QVERIFY(r.hasDepartments());
}

void TestGuestList::defaultPath_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("CSV over text")
        << QStringList{QStringLiteral("names.txt"), QStringLiteral("names.csv")}
        << QStringLiteral("names.csv");
    QTest::newRow("workbook over all")
        << QStringList{QStringLiteral("names.txt"), QStringLiteral("names.csv"),
                       QStringLiteral("names.xlsx")}
        << QStringLiteral("names.xlsx");
    QTest::newRow("a folder of the name is still chosen, to be reported")
        << QStringList{QStringLiteral("names.xlsx/"), QStringLiteral("names.csv")}
        << QStringLiteral("names.xlsx");
}

void TestGuestList::defaultPath()
{
    QFETCH(QStringList, present);
    QFETCH(QString, chosen);
    QTemporaryDir dir;
    for (const QString &name : present) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir(dir.path()).mkdir(name.chopped(1)));
        else
            writeFile(dir.filePath(name), "1,a\n");
    }
    QCOMPARE(GuestList::defaultPath(dir.path()),
             chosen.isEmpty() ? QString() : dir.filePath(chosen));
}

QTEST_GUILESS_MAIN(TestGuestList)
#include "test_guestlist.moc"
