#include "files.h"
#include "guestlistdialog.h"
#include "workbookparts.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTableWidget>
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

// A CSV in UTF-8, rows one a line, cells split at |.
QByteArray csv(const QString &text)
{
    return QString(text).replace(u'|', u',').toUtf8();
}

QByteArray encoded(const QString &text, const char *encoding)
{
    QStringEncoder e(encoding);
    return e.encode(text);
}

const GuestList::Display Shows{[](char32_t u) { return u < 0x1F000; },
                               [](const Guest &g) -> std::optional<GuestPart> {
                                   if (g.name.size() > 6)
                                       return GuestPart::Name;
                                   if (g.text().size() > 12)
                                       return GuestPart::Department;
                                   return std::nullopt;
                               }};
} // namespace

class TestGuestList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { GuestListDialog::setOpenNameProvider({}); }
    void reads_data();
    void reads();
    void found_data();
    void found();
    void files_data();
    void files();
    void window_data();
    void window();
};

void TestGuestList::reads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QString>("refusal"); // of the whole file, in part

    QTest::newRow("no header: number, name, department")
        << csv(QStringLiteral("1|王小明\n2|陳美玲|研發部"))
        << QStringLiteral("1=王小明;2=陳美玲/研發部") << QStringList() << QString();
    QTest::newRow("header 名字 編號 桌次, other order")
        << csv(QStringLiteral("備註|名字|編號|桌次\n貴賓|王小明|7|第 3 桌"))
        << QStringLiteral("7=王小明/第 3 桌") << QStringList() << QString();
    QTest::newRow("header 單位 with blanks in the words")
        << csv(QStringLiteral(" 號　碼 |姓 名|單位\n7|王小明|總務處"))
        << QStringLiteral("7=王小明/總務處") << QStringList() << QString();
    QTest::newRow("numbers written many ways")
        << csv(QStringLiteral("1|甲\n 2 |乙\n3.0|丙\n０４|丁\n05|戊\n6.00|己"))
        << QStringLiteral("1=甲;2=乙;3=丙;4=丁;5=戊;6=己") << QStringList() << QString();
    QTest::newRow("empty rows keep Excel's numbering; no number, or no name")
        << csv(QStringLiteral("號碼|姓名\n\n|王小明\n8|  \n9||業務部")) << QString()
        << QStringList{QStringLiteral("第 3 列沒有號碼。"),
                       QStringLiteral("第 4 列（號碼 8）沒有姓名。"),
                       QStringLiteral("第 5 列（號碼 9）沒有姓名。")}
        << QString();
    const QString twice =
        QStringLiteral("第 %1 列的號碼 7 重複了（第 1、3 列都是這個號碼），這個號碼不顯示姓名。");
    QTest::newRow("duplicate numbers name neither row; problems in row order")
        << csv(QStringLiteral("7|甲\n8|\n7|丙\n9|乙")) << QStringLiteral("9=乙")
        << QStringList{twice.arg(1), QStringLiteral("第 2 列（號碼 8）沒有姓名。"), twice.arg(3)}
        << QString();
    QTest::newRow("outside 1 to 56, or not a number")
        << csv(QStringLiteral("0|甲\n57|乙\n56|丙\n99999999999999|丁\n七|甲\n-1|乙\n7.5|丙"))
        << QStringLiteral("56=丙")
        << QStringList{QStringLiteral("第 1 列的號碼 0 不在 1 到 56 之間。"),
                       QStringLiteral("第 2 列的號碼 57 不在 1 到 56 之間。"),
                       QStringLiteral("第 4 列的號碼「99999999999999」不是數字。"),
                       QStringLiteral("第 5 列的號碼「七」不是數字。"),
                       QStringLiteral("第 6 列的號碼「-1」不是數字。"),
                       QStringLiteral("第 7 列的號碼「7.5」不是數字。")}
        << QString();
    QTest::newRow("characters that cannot be shown")
        << csv(QStringLiteral("7|王\u0007明\n8|\u202E王明\n9|王小明\U0001F600\n10|陳美玲"))
        << QStringLiteral("10=陳美玲")
        << QStringList{QStringLiteral("第 1 列的姓名：第 2 個字 U+0007 是控制字元，無法顯示。"),
                       QStringLiteral("第 2 列的姓名：第 1 個字 U+202E 是文字方向控制字元，"
                                      "會讓文字倒過來顯示。"),
                       QStringLiteral(
                           "第 3 列的姓名：第 4 個字「\U0001F600」(U+1F600)沒有字型可以顯示。")}
        << QString();
    QTest::newRow("department by its header's word")
        << csv(QStringLiteral("號碼|姓名|桌次\n7|王小明|第\u00073桌")) << QString()
        << QStringList{QStringLiteral("第 2 列的桌次：第 2 個字 U+0007 是控制字元，無法顯示。")}
        << QString();
    QTest::newRow("longer than any name, before and after it is looked at")
        << csv(QStringLiteral("7|%1\n8|%2\n9|王|%3\n%4|王")
                   .arg(QString(150, u'b'), QString(1000, u'a'), QString(500, u'c'),
                        QString(30, u'1')))
        << QString()
        << QStringList{QStringLiteral("第 1 列的姓名超過 100 個字。"),
                       QStringLiteral("第 2 列的姓名超過 100 個字。"),
                       QStringLiteral("第 3 列的部門超過 100 個字。"),
                       QStringLiteral("第 4 列的號碼「11111111111111111111…」不是數字。")}
        << QString();
    QTest::newRow("too long for the show")
        << csv(QStringLiteral("7|歐陽諸葛司馬上官\n8|王小明")) << QStringLiteral("8=王小明")
        << QStringList{QStringLiteral("第 1 列的姓名「歐陽諸葛司馬上官」太長，抽獎畫面放不下。")}
        << QString();
    QTest::newRow("department too long for the show, by its header's word")
        << csv(QStringLiteral("號碼|姓名|桌次\n7|王小明|第三桌靠近舞台右側\n8|王小明|第 3 桌"))
        << QStringLiteral("8=王小明/第 3 桌")
        << QStringList{QStringLiteral("第 2 列的桌次「第三桌靠近舞台右側」太長，抽獎畫面放不下。")}
        << QString();

    const QString text = QStringLiteral("號碼,姓名,部門\r\n7,王小明,\"業務部, 北區\"\r\n"
                                        "8,\"陳\"\"阿美\"\"\",\r\n");
    const QString textNamed = QStringLiteral("7=王小明/業務部, 北區;8=陳\"阿美\"");
    QTest::newRow("CSV UTF-8") << text.toUtf8() << textNamed << QStringList() << QString();
    QTest::newRow("CSV UTF-8 with BOM")
        << "\xEF\xBB\xBF" + text.toUtf8() << textNamed << QStringList() << QString();
    QTest::newRow("CSV Big5") << encoded(text, "Big5") << textNamed << QStringList() << QString();
    QTest::newRow("CSV code page 950 beyond Big5")
        << encoded(QStringLiteral("1,碁恒\r\n2,銹\r\n"), "windows-950")
        << QStringLiteral("1=碁恒;2=銹") << QStringList() << QString();
    const QString tabs =
        QStringLiteral("號碼\t姓名\t部門\r\n7\t王小明\t\"業務部\t北區\"\r\n9\t林大華\t\r\n");
    const QStringList tabInside{
        QStringLiteral("第 2 列的部門：第 4 個字 U+0009 是控制字元，無法顯示。")};
    QTest::newRow("Unicode text, UTF-16 LE")
        << "\xFF\xFE" + encoded(tabs, "UTF-16LE") << QStringLiteral("9=林大華") << tabInside
        << QString();
    QTest::newRow("Unicode text that lost its byte-order mark")
        << encoded(tabs, "UTF-16LE") << QStringLiteral("9=林大華") << tabInside << QString();
    QTest::newRow("one quoted tab does not make a CSV tab-separated")
        << QString(tabs)
               .replace(u'\t', u',')
               .replace(QStringLiteral("業務部,北區"), QStringLiteral("業務部\t北區"))
               .toUtf8()
        << QStringLiteral("9=林大華") << tabInside << QString();
    QTest::newRow("tabs by the first line, a comma in a name")
        << QStringLiteral("號碼\t姓名\r\n7\t王, 小明\r\n").toUtf8() << QStringLiteral("7=王, 小明")
        << QStringList() << QString();
    QTest::newRow("records as Excel numbers its rows: over two lines, blank ones")
        << QStringLiteral("號碼,姓名\n\"8\",\"林\n大華\"\n\n , \n7,\n").toUtf8() << QString()
        << QStringList{QStringLiteral("第 2 列的姓名：第 2 個字 U+000A 是控制字元，無法顯示。"),
                       QStringLiteral("第 5 列（號碼 7）沒有姓名。")}
        << QString();
    QTest::newRow("a title row and blank rows above the header")
        << csv(QStringLiteral("2026 年終晚會名單||\n\n||\n號碼|姓名|部門\n7|王小明|業務部"))
        << QStringLiteral("7=王小明/業務部") << QStringList() << QString();
    QTest::newRow("a table number with its word")
        << csv(QStringLiteral("號碼|姓名|桌次\n7|葉青|2\n8|王小明|第 3 桌\n9|陳美玲|０２.0"))
        << QStringLiteral("7=葉青/第 2 桌;8=王小明/第 3 桌;9=陳美玲/第 2 桌") << QStringList()
        << QString();
    QTest::newRow("a line end inside a quoted cell counts one row")
        << QStringLiteral("1,\"王\n小明\"\r\n2,\r\n3,林大華").toUtf8() << QStringLiteral("3=林大華")
        << QStringList{QStringLiteral("第 1 列的姓名：第 2 個字 U+000A 是控制字元，無法顯示。"),
                       QStringLiteral("第 2 列（號碼 2）沒有姓名。")}
        << QString();
    // Read as a workbook by its first bytes, whatever its name says.
    QTest::newRow("workbook: strings, 7.0, a cached formula")
        << workbookOf(
               "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
               "<row r=\"2\"><c r=\"A2\"><v>7.0</v></c><c r=\"B2\" t=\"s\"><v>2</v></c></row>"
               "<row r=\"3\"><c r=\"A3\"><f>A2+1</f><v>8</v></c>"
               "<c r=\"B3\" t=\"str\"><f>\"林\"&amp;\"大華\"</f><v>林大華</v></c></row>",
               "<si><t>編號</t></si><si><t>名字</t></si><si><t>王小明</t></si>")
        << QStringLiteral("7=王小明;8=林大華") << QStringList() << QString();
    const auto cellText = [](const char *t) { return "<is><t>" + QByteArray(t) + "</t></is></c>"; };
    QTest::newRow("workbook: title, a blank row of spaces, rows stored out of order, a tab")
        << workbookOf("<row r=\"5\"><c r=\"B5\" t=\"inlineStr\">" + cellText("王小明") +
                      "<c r=\"A5\"><v>7</v></c></row><row r=\"1\"><c r=\"A1\" t=\"inlineStr\">" +
                      cellText("2026 年終晚會名單") +
                      "</row><row r=\"2\"><c r=\"A2\" t=\"inlineStr\">" + cellText(" ") +
                      "</row><row r=\"4\"><c r=\"A4\" t=\"inlineStr\">" + cellText("號碼") +
                      "<c r=\"B4\" t=\"inlineStr\">" + cellText("姓名") +
                      "</row><row r=\"6\"><c r=\"A6\"><v>8</v></c><c r=\"B6\" t=\"inlineStr\">" +
                      cellText("林\t大華") + "</row>")
        << QStringLiteral("7=王小明")
        << QStringList{QStringLiteral("第 6 列的姓名：第 2 個字 U+0009 是控制字元，無法顯示。")}
        << QString();
    // Style 1 shows a number as a date.
    QTest::newRow("workbook: errors, booleans, dates, formulas without a value")
        << workbookOf("<row r=\"1\"><c r=\"A1\"><f>ROW()</f></c><c r=\"B1\" t=\"inlineStr\">" +
                          cellText("王") +
                          "</row><row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\" t=\"e\"><v>"
                          "#N/A</v></c></row><row r=\"3\"><c r=\"A3\"><v>3</v></c><c r=\"B3\" "
                          "t=\"b\"><v>1</v></c></row><row r=\"4\"><c r=\"A4\"><v>4</v></c><c "
                          "r=\"B4\" t=\"str\"><f>X1</f></c></row><row r=\"5\"><c r=\"A5\" s=\"1\">"
                          "<v>5</v></c><c r=\"B5\" t=\"inlineStr\">" +
                          cellText("陳") +
                          "</row><row r=\"6\"><c r=\"A6\"><v>6</v></c><c r=\"B6\" "
                          "t=\"inlineStr\">" +
                          cellText("林") +
                          "<c r=\"C6\" s=\"1\"><v>45000</v></c></row><row r=\"7\"><c r=\"A7\"><v>7"
                          "</v></c><c r=\"B7\"><v>1234</v></c></row><row r=\"8\"><c r=\"A8\"><v>8"
                          "</v></c><c r=\"B8\" t=\"e\"><v>#&lt;b&gt;&#x202E;</v></c></row>",
                      {}, "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs>")
        << QStringLiteral("7=1234")
        << QStringList{QStringLiteral("第 1 列號碼欄的公式沒有存下的值，請在 Excel 中開啟並存檔。"),
                       QStringLiteral("第 2 列的姓名是錯誤值「#N/A」。"),
                       QStringLiteral("第 3 列的姓名是 TRUE/FALSE 值「TRUE」。"),
                       QStringLiteral("第 4 列姓名欄的公式沒有存下的值，請在 Excel 中開啟並存檔。"),
                       QStringLiteral("第 5 列的號碼是日期，不是文字或數字。"),
                       QStringLiteral("第 6 列的部門是日期，不是文字或數字。"),
                       QStringLiteral("第 8 列的姓名是錯誤值。")}
        << QString();

    // As Excel and a Traditional Chinese Windows save them, made at build time with openpyxl.
    const QString saved =
        QStringLiteral("1=王小明/業務部;2=陳美玲/研發部, 二課;3=林\"阿\"華;56=歐陽志遠/總經理室");
    const QDir fixtures(QStringLiteral(GUEST_FIXTURES));
    QTest::newRow("workbook saved by openpyxl")
        << readFile(fixtures.filePath(QStringLiteral("names.xlsx"))) << saved << QStringList()
        << QString();
    QTest::newRow("Big5 CSV as a Chinese Excel saves it")
        << readFile(fixtures.filePath(QStringLiteral("names-big5.csv"))) << saved << QStringList()
        << QString();
    QTest::newRow("workbook as HR keeps one, saved by openpyxl")
        << readFile(fixtures.filePath(QStringLiteral("names-hr.xlsx")))
        << QStringLiteral("1=王小明/第 2 桌;6=陳美玲/主桌")
        << QStringList{QStringLiteral("第 5 列的姓名是日期，不是文字或數字。"),
                       QStringLiteral("第 6 列姓名欄的公式沒有存下的值，請在 Excel 中開啟並存檔。"),
                       QStringLiteral("第 7 列的姓名是 TRUE/FALSE 值「TRUE」。"),
                       QStringLiteral("第 8 列的姓名是錯誤值「#N/A」。")}
        << QString();
    // Refused whole, quickly, naming the file.
    QTest::newRow("simplified Chinese")
        << encoded(QStringLiteral("1,王小明\r\n2,陈美玲\r\n3,张伟\r\n4,刘洋\r\n"), "GB18030")
        << QString() << QStringList() << QStringLiteral("簡體中文");
    QTest::newRow("broken Big5") << QByteArray("1,\xA4\xA4\xA4\r\n2,\xA4\x10\r\n") << QString()
                                 << QStringList() << QStringLiteral("無法辨識");
    QTest::newRow("Excel 97-2003")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0') << QString()
        << QStringList() << QStringLiteral("Excel 97-2003 活頁簿 (.xls)");
    QTest::newRow("header without number")
        << QStringLiteral("姓名,部門\r\n王小明,業務部\r\n").toUtf8() << QString() << QStringList()
        << QStringLiteral("名單的第 1 列是標題列，但沒有「號碼」或「編號」欄");
    QTest::newRow("too many rows") << QByteArray("1,a\r\n").repeated(10001) << QString()
                                   << QStringList() << QStringLiteral("超過 10000 列");
    QTest::newRow("10 MB of line ends") << QByteArray(10 << 20, '\n') << QString() << QStringList()
                                        << QStringLiteral("超過 10000 列");
    QTest::newRow("fields past the 64th left out")
        << QByteArray("1,") + QByteArray(10 << 20, ',') + "x\n2,王" << QStringLiteral("2=王")
        << QStringList{QStringLiteral("第 1 列（號碼 1）沒有姓名。")} << QString();
    QTest::newRow("a name longer than a cell holds")
        << "1," + QByteArray(40000, 'a') << QString() << QStringList()
        << QStringLiteral("第 1 列有一格超過 32767 個字");
    QTest::newRow("UTF-16 without a mark, its order unclear")
        << encoded(QStringLiteral("7\tカメラ\r\n8\tテレビ\r\n"), "UTF-16LE") << QString()
        << QStringList() << QStringLiteral("少了位元組順序記號 (BOM)");
}

void TestGuestList::reads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    QFETCH(QStringList, problems);
    QFETCH(QString, refusal);
    if (bytes.isEmpty())
        QSKIP("made at build time with python3-openpyxl, which this build had not");
    const GuestList::Result r = GuestList::parse(bytes, QStringLiteral("names.csv"), Shows);
    QCOMPARE(::named(r), named);
    QCOMPARE(messages(r), problems);
    QCOMPARE(r.hasDepartments(), named.contains(u'/'));
    if (refusal.isEmpty()) {
        QCOMPARE(r.refusal, QString());
        return;
    }
    QVERIFY2(r.refusal.contains(refusal), qPrintable(r.refusal));
    QVERIFY(r.refusal.contains(QStringLiteral("今晚不顯示姓名")) ||
            r.refusal.contains(QStringLiteral("標題列")));
    QVERIFY(r.refusal.endsWith(u'\n' + QDir::toNativeSeparators(QDir::current().absoluteFilePath(
                                           QStringLiteral("names.csv")))));
}

// Where the list was found: the header's row, the workbook's tab; and whether it names anyone.
void TestGuestList::found_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("headerRow");
    QTest::addColumn<QString>("sheetName");
    QTest::addColumn<bool>("namesNobody");
    QTest::newRow("no header") << csv(QStringLiteral("7|王小明")) << 0 << QString() << false;
    QTest::newRow("header as the tenth row with text, blank rows between")
        << csv(QStringLiteral("標題\n\n").repeated(9) + QStringLiteral("號碼|姓名\n7|王")) << 19
        << QString() << false;
    QTest::newRow("no header looked for past ten rows with text")
        << csv(QStringLiteral("標題\n").repeated(10) + QStringLiteral("號碼|姓名\n7|王")) << 0
        << QString() << false;
    QTest::newRow("a list that names nobody")
        << csv(QStringLiteral("號碼|姓名\n7|")) << 1 << QString() << true;
    const QDir fixtures(QStringLiteral(GUEST_FIXTURES));
    QTest::newRow("the first tab") << readFile(fixtures.filePath(QStringLiteral("names.xlsx"))) << 1
                                   << QStringLiteral("來賓") << false;
    QTest::newRow("the first tab shown, under a title")
        << readFile(fixtures.filePath(QStringLiteral("names-hr.xlsx"))) << 3
        << QStringLiteral("來賓") << false;
}

void TestGuestList::found()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, headerRow);
    QFETCH(QString, sheetName);
    QFETCH(bool, namesNobody);
    if (bytes.isEmpty())
        QSKIP("made at build time with python3-openpyxl, which this build had not");
    const GuestList::Result r = GuestList::parse(bytes, QStringLiteral("names.xlsx"));
    QCOMPARE(r.headerRow, headerRow);
    QCOMPARE(r.sheetName, sheetName);
    QCOMPARE(r.namesNobody(), namesNobody);
    QVERIFY(r.ok());
}

// Which list beside the program is read (names.xlsx, then names.csv, then names.txt), and what
// is said of a file there that is none: "/" a folder, "|" a FIFO, "*" 100 MB.
void TestGuestList::files_data()
{
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("says");
    QTest::newRow("none: a list chosen before is missing")
        << QString() << QString() << QStringLiteral("找不到名單檔案");
    QTest::newRow("CSV over text")
        << QStringLiteral("names.txt names.csv") << QStringLiteral("names.csv") << QString();
    QTest::newRow("workbook over all") << QStringLiteral("names.txt names.csv names.xlsx")
                                       << QStringLiteral("names.xlsx") << QString();
    QTest::newRow("a folder of the name is chosen, to be reported")
        << QStringLiteral("names.xlsx/ names.csv") << QStringLiteral("names.xlsx")
        << QStringLiteral("資料夾");
    QTest::newRow("100 MB") << QStringLiteral("names.csv*") << QStringLiteral("names.csv")
                            << QStringLiteral("超過 10 MB");
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO") << QStringLiteral("names.txt|") << QStringLiteral("names.txt")
                          << QStringLiteral("具名管道");
#endif
}

void TestGuestList::files()
{
    QFETCH(QString, present);
    QFETCH(QString, chosen);
    QFETCH(QString, says);
    QTemporaryDir dir;
    for (const QString &name : present.split(u' ', Qt::SkipEmptyParts)) {
        const QChar kind = name.back();
        const QString path = dir.filePath(kind.isLetter() ? name : name.chopped(1));
        if (kind == u'/') {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u'*') {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(100 * 1024 * 1024));
#ifdef Q_OS_UNIX
        } else if (kind == u'|') {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        } else {
            writeFile(path, QByteArray("1,a\r\n"));
        }
    }
    QCOMPARE(GuestList::defaultPath(dir.path()),
             chosen.isEmpty() ? QString() : dir.filePath(chosen));
    const QString path = dir.filePath(chosen.isEmpty() ? QStringLiteral("名單.csv") : chosen);
    const GuestList::Result r = GuestList::load(path);
    QCOMPARE(r.path, path);
    QVERIFY2(r.refusal.contains(says), qPrintable(r.refusal));
    QCOMPARE(r.ok(), says.isEmpty());
    QCOMPARE(r.guests.size(), says.isEmpty() ? 1 : 0);
}

// The list as read, in its window.
void TestGuestList::window_data()
{
    QTest::addColumn<GuestList::Result>("result");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("problems");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("chosen"); // with 選擇…, or cancelled
    GuestList::Result all;
    all.path = QStringLiteral("names.xlsx");
    for (int n = 1; n <= 56; ++n)
        all.guests.insert(n, {QStringLiteral("來賓%1").arg(n), {}});
    QTest::newRow("every number named")
        << all << QStringLiteral("有姓名的號碼：56 個。1 到 56 號都有姓名。") << QString() << 56
        << QString();
    // The numbers without a name in runs, at both ends.
    QTest::newRow("problems and unnamed numbers")
        << GuestList::parse(csv(QStringLiteral("號碼|姓名|部門\n4|<b>王</b>|業務部\n2|\n6|陳美玲")),
                            QStringLiteral("names.csv"))
        << QStringLiteral("有姓名的號碼：2 個。沒有姓名的號碼：1–3、5、7–56。有 1 個問題，見下方。")
        << QStringLiteral("第 3 列（號碼 2）沒有姓名。") << 2 << QString();
    // HR's title above the header: where the list was found is said.
    QTest::newRow("header under a title")
        << GuestList::parse(csv(QStringLiteral("2026 年終晚會名單\n\n號碼|姓名\n7|王美玲")),
                            QStringLiteral("names.csv"))
        << QStringLiteral("標題在第 3 列。有姓名的號碼：1 個。沒有姓名的號碼：1–6、8–56。")
        << QString() << 1 << QString();
    const GuestList::Result refused =
        GuestList::parse(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'),
                         QStringLiteral("names.xls"));
    QTest::newRow("refused, another chosen")
        << refused << refused.refusal << QString() << 0 << QStringLiteral("/tmp/名單.xlsx");
    QTest::newRow("no list") << GuestList::Result{} << QString() << QString() << 0 << QString();
}

void TestGuestList::window()
{
    QFETCH(GuestList::Result, result);
    QFETCH(QString, summary);
    QFETCH(QString, problems);
    QFETCH(int, rows);
    QFETCH(QString, chosen);
    GuestListDialog d;
    d.setResult(GuestList::parse(csv(QStringLiteral("9|前一份")), QStringLiteral("names.csv")));
    d.setResult(result);
    QCOMPARE(d.summary(), summary);
    QCOMPARE(d.problems(), problems);
    QCOMPARE(d.table()->rowCount(), rows);
    for (QLabel *label : d.findChildren<QLabel *>())
        QCOMPARE(label->textFormat(), Qt::PlainText);
    if (rows == 2)
        QCOMPARE(d.table()->item(0, 1)->text(), QStringLiteral("<b>王</b>"));
    QString askedIn;
    GuestListDialog::setOpenNameProvider([&](QWidget *, const QString &folder) {
        askedIn = folder;
        return chosen;
    });
    QSignalSpy spy(&d, &GuestListDialog::fileChosen);
    QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("choose")), Qt::LeftButton);
    QVERIFY(!askedIn.isEmpty());
    QCOMPARE(spy.size(), chosen.isEmpty() ? 0 : 1);
    if (!chosen.isEmpty())
        QCOMPARE(spy[0][0].toString(), chosen);
}

QTEST_MAIN(TestGuestList)
#include "test_guestlist.moc"
