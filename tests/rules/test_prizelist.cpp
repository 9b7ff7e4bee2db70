#include "files.h"
#include "prizelist.h"
#include "workbookparts.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <memory>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using PrizeList::Encoding;
using PrizeList::Error;

namespace {
QByteArray big5(const QString &s)
{
    QStringEncoder e("windows-950");
    return e.encode(s);
}

QByteArray latin1(const QString &s)
{
    QStringEncoder e("windows-1252");
    return e.encode(s);
}

QByteArray gbk(const QString &s)
{
    QStringEncoder e("GB18030");
    return e.encode(s);
}

// Text with a byte-order mark in the given form.
QByteArray withMark(const QString &s, QStringConverter::Encoding e)
{
    QStringEncoder enc(e, QStringEncoder::Flag::WriteBom);
    return enc.encode(s);
}

QByteArray lines(int n, const QByteArray &end)
{
    QByteArray b;
    for (int i = 1; i <= n; ++i)
        b += "prize " + QByteArray::number(i) + end;
    return b;
}

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

class TestPrizeList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void refuses_data();
    void refuses();
    void fileProblems();
    void encodings_data();
    void encodings();
    void refusesNamed_data();
    void refusesNamed();
    void display_data();
    void display();
    void specialFiles_data();
    void specialFiles();
    void startWarnings_data();
    void startWarnings();
    void startQuestion_data();
    void startQuestion();
    void workbook_data();
    void workbook();
    void choose_data();
    void choose();
};

void TestPrizeList::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QStringList fiftySix;
    for (int i = 1; i <= 56; ++i)
        fiftySix << QStringLiteral("prize %1").arg(i);
    QStringList fiftyFive = fiftySix.mid(0, 55);

    QTest::newRow("56 lines with final CR LF") << lines(56, "\r\n") << fiftySix;
    QTest::newRow("56 lines without final line end") << lines(56, "\r\n").chopped(2) << fiftySix;
    QTest::newRow("55 lines then an empty one") << lines(55, "\r\n") + "\r\n"
                                                << (QStringList(fiftyFive) << QString());
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("single line end is one empty prize")
        << QByteArray("\r\n") << QStringList{QString()};
    QTest::newRow("blanks kept") << QByteArray("  a b  \r\n\t\r\n")
                                 << QStringList{QStringLiteral("  a b  "), QStringLiteral("\t")};
    QTest::newRow("CR only") << QByteArray("a\rb\r\rc")
                             << QStringList{QStringLiteral("a"), QStringLiteral("b"), QString(),
                                            QStringLiteral("c")};
    QTest::newRow("LF only") << QByteArray("a\nb\n\nc\n")
                             << QStringList{QStringLiteral("a"), QStringLiteral("b"), QString(),
                                            QStringLiteral("c")};
    QTest::newRow("LF CR is two line ends")
        << QByteArray("a\n\rb") << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    const QString chinese = QStringLiteral("頭獎 液晶電視一台");
    const QString consolation = QStringLiteral("精美紀念獎");
    QTest::newRow("Big5") << big5(chinese + QStringLiteral("\r\n") + consolation +
                                  QStringLiteral("\r\n"))
                          << QStringList{chinese, consolation};
    // 0xA5 0x5C is a Big5 character whose trail byte is a backslash.
    QTest::newRow("Big5 trail byte in ASCII range")
        << QByteArray("\xA5\x5C\r\n") << QStringList{QStringLiteral("功")};
    QTest::newRow("UTF-8") << (chinese + QStringLiteral("\n") + consolation).toUtf8()
                           << QStringList{chinese, consolation};
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() + "\r\n"
                                    << QStringList{chinese};
    QTest::newRow("Big5 that is also valid UTF-8")
        << QByteArray("\xD7\xAD") << QStringList{QStringLiteral("蚼")};
    QTest::newRow("zero-width no-break space inside a UTF-8 file")
        << QByteArray("\xEF\xBB\xBF"
                      "a\n\xEF\xBB\xBF"
                      "b")
        << QStringList{QStringLiteral("a"), QStringLiteral("\uFEFFb")};
    QTest::newRow("ASCII with BOM") << QByteArray("\xEF\xBB\xBF"
                                                  "abc")
                                    << QStringList{QStringLiteral("abc")};
}

void TestPrizeList::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const PrizeList::Result r = PrizeList::parse(bytes, QStringLiteral("/x/gift.txt"));
    QVERIFY2(r.ok(), qPrintable(r.message));
    QCOMPARE(r.lines, expected);
}

void TestPrizeList::refuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("line");
    // The 57th line is named, so the operator knows where the list runs over.
    QTest::newRow("57 lines") << lines(57, "\r\n") << Error::TooManyLines << 57;
    QTest::newRow("56 lines and two line ends") << lines(56, "\r\n") + "\r\n"
                                                << Error::TooManyLines << 57;
    QTest::newRow("57 LF lines") << lines(57, "\n") << Error::TooManyLines << 57;
    QTest::newRow("NUL byte") << QByteArray("ok\r\nbad\0line\r\n", 14) << Error::NulByte << 2;
    QTest::newRow("lone lead byte at end") << QByteArray("ok\r\nx\xA4") << Error::BadText << 2;
    QTest::newRow("lead byte before line end") << QByteArray("\xA4\r\n") << Error::BadText << 1;
    QTest::newRow("0x80 is no character") << QByteArray("a\x80") << Error::BadText << 1;
    QTest::newRow("0xFF is no character") << QByteArray("\xFF\xFF") << Error::BadText << 1;
    QTest::newRow("bad trail byte") << QByteArray("\xA4\x20") << Error::BadText << 1;
    QTest::newRow("user-defined area") << QByteArray("ok\n\xFA\x40") << Error::BadText << 2;
    QTest::newRow("UTF-8 private use beyond the BMP")
        << QByteArray("ok\n\xF4\x8F\x85\x9A") << Error::BadText << 2;
    QTest::newRow("broken UTF-8 after BOM") << QByteArray("\xEF\xBB\xBF"
                                                          "ok\n\xE4\xB8")
                                            << Error::BadText << 2;
}

void TestPrizeList::refuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Error, error);
    QFETCH(int, line);
    const PrizeList::Result r = PrizeList::parse(bytes, QStringLiteral("/party/gift.txt"));
    QCOMPARE(r.error, error);
    QCOMPARE(r.errorLine, line);
    QVERIFY(r.lines.isEmpty());
    QVERIFY(r.message.contains(QStringLiteral("gift.txt")));
    if (line > 0)
        QVERIFY(r.message.contains(QStringLiteral("第 %1 行").arg(line)));
    if (error == Error::TooManyLines)
        QVERIFY(r.message.contains(QStringLiteral("56")));
}

void TestPrizeList::fileProblems()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gift.txt"));

    PrizeList::Result r = PrizeList::load(path);
    QCOMPARE(r.error, Error::Missing);
    QVERIFY(r.message.contains(QDir::toNativeSeparators(path)));

    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gift.txt")));
    QCOMPARE(PrizeList::load(path).error, Error::Unreadable);
    QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("gift.txt")));

    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(PrizeList::MaxBytes + 1, 'a'));
    f.close();
    QCOMPARE(PrizeList::load(path).error, Error::TooLarge);

    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(big5(QStringLiteral("一\r\n二\r\n")));
    f.close();
    r = PrizeList::load(path);
    QVERIFY(r.ok());
    QCOMPARE(r.lines, (QStringList{QStringLiteral("一"), QStringLiteral("二")}));
}

void TestPrizeList::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<Encoding>("encoding");

    const QString two = QStringLiteral("頭獎 液晶電視一台\r\n精美紀念獎\r\n");
    const QStringList twoLines{QStringLiteral("頭獎 液晶電視一台"), QStringLiteral("精美紀念獎")};
    // Read as NUL bytes before byte-order marks decided.
    QTest::newRow("UTF-16 file") << QByteArray("\xFF\xFE"
                                               "a\0b\0",
                                               6)
                                 << QStringList{QStringLiteral("ab")} << Encoding::Utf16LE;
    QTest::newRow("UTF-16 LE") << withMark(two, QStringConverter::Utf16LE) << twoLines
                               << Encoding::Utf16LE;
    QTest::newRow("UTF-16 BE") << withMark(two, QStringConverter::Utf16BE) << twoLines
                               << Encoding::Utf16BE;
    QTest::newRow("UTF-32 LE") << withMark(two, QStringConverter::Utf32LE) << twoLines
                               << Encoding::Utf32LE;
    QTest::newRow("UTF-32 BE") << withMark(two, QStringConverter::Utf32BE) << twoLines
                               << Encoding::Utf32BE;
    QTest::newRow("UTF-16 CR and LF ends")
        << withMark(QStringLiteral("a\rb\n\nc"), QStringConverter::Utf16LE)
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QString(), QStringLiteral("c")}
        << Encoding::Utf16LE;
    QTest::newRow("UTF-16 surrogate pair")
        << withMark(QStringLiteral("𠀀"), QStringConverter::Utf16LE)
        << QStringList{QStringLiteral("𠀀")} << Encoding::Utf16LE;
    QTest::newRow("UTF-16 mark only")
        << QByteArray("\xFE\xFF") << QStringList() << Encoding::Utf16BE;
    // Each of these characters is a valid UTF-8 pair in Big5 ("禮" would be "§").
    QTest::newRow("Big5 made of UTF-8 pairs")
        << big5(QStringLiteral("禮 1000\r\n簽 職 聽\r\n讀 蘋 300\r\n"))
        << QStringList{QStringLiteral("禮 1000"), QStringLiteral("簽 職 聽"),
                       QStringLiteral("讀 蘋 300")}
        << Encoding::Big5;
    QTest::newRow("Big5 made of UTF-8 pairs, one line")
        << big5(QStringLiteral("禮 1000")) << QStringList{QStringLiteral("禮 1000")}
        << Encoding::Big5;
    QTest::newRow("Big5 that GBK also reads")
        << big5(QStringLiteral("禮 1000\r\n蘋 300"))
        << QStringList{QStringLiteral("禮 1000"), QStringLiteral("蘋 300")} << Encoding::Big5;
    QTest::newRow("Big5 one line")
        << big5(QStringLiteral("頭獎 液晶電視一台"))
        << QStringList{QStringLiteral("頭獎 液晶電視一台")} << Encoding::Big5;
    QTest::newRow("Big5 several lines") << big5(two) << twoLines << Encoding::Big5;
    QTest::newRow("UTF-8 Chinese") << two.toUtf8() << twoLines << Encoding::Utf8;
    // Also valid Big5, as "Caf矇 au lait".
    QTest::newRow("UTF-8 accents inside Latin words")
        << QStringLiteral("Café au lait\nCrème brûlée").toUtf8()
        << QStringList{QStringLiteral("Café au lait"), QStringLiteral("Crème brûlée")}
        << Encoding::Utf8;
    // Latin words beside Chinese ones are no Western list.
    const QStringList brands{QStringLiteral("iPhone 15 手機"), QStringLiteral("Sony 液晶電視"),
                             QStringLiteral("T恤 L號"),        QStringLiteral("ASUS筆電"),
                             QStringLiteral("3M 膠帶"),        QStringLiteral("Dyson吹風機")};
    QTest::newRow("Big5 with Latin words")
        << big5(brands.join(QStringLiteral("\r\n"))) << brands << Encoding::Big5;
    // Each of these is a letter in Windows-1252 followed by an ASCII one ("龍" is "Às").
    QTest::newRow("Big5 characters that read as Latin letters")
        << big5(QStringLiteral("點\r\n龍\r\n頭 iPad"))
        << QStringList{QStringLiteral("點"), QStringLiteral("龍"), QStringLiteral("頭 iPad")}
        << Encoding::Big5;
    QTest::newRow("Big5, one Latin word")
        << big5(QStringLiteral("LED燈")) << QStringList{QStringLiteral("LED燈")} << Encoding::Big5;
    QTest::newRow("Big5, rare characters")
        << big5(QStringLiteral("蠶絲被\r\n鑽石"))
        << QStringList{QStringLiteral("蠶絲被"), QStringLiteral("鑽石")} << Encoding::Big5;
    QTest::newRow("ASCII") << QByteArray("TV\r\nDVD")
                           << QStringList{QStringLiteral("TV"), QStringLiteral("DVD")}
                           << Encoding::Utf8;
    // UTF-16 that lost its mark, its order shown by its ASCII halves: its pairs once read as
    // Latin-1 letters ("詁" is "AŠ"), its NULs as damage.
    const auto noMark = [](const char16_t *text, QStringConverter::Encoding e) {
        return QByteArray(QStringEncoder(e).encode(QString::fromUtf16(text)));
    };
    QTest::newRow("UTF-16 LE without a mark, pairs like Latin-1")
        << noMark(u"詁詂\r\n詃\r\n", QStringConverter::Utf16LE)
        << QStringList{QStringLiteral("詁詂"), QStringLiteral("詃")} << Encoding::Utf16LE;
    QTest::newRow("UTF-16 BE without a mark or a line end")
        << noMark(u"TV 1", QStringConverter::Utf16BE) << QStringList{QStringLiteral("TV 1")}
        << Encoding::Utf16BE;
    QTest::newRow("UTF-16 LE without a mark, one short line")
        << noMark(u"電鍋 1 台", QStringConverter::Utf16LE)
        << QStringList{QStringLiteral("電鍋 1 台")} << Encoding::Utf16LE;
}

void TestPrizeList::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QFETCH(Encoding, encoding);
    const PrizeList::Result r = PrizeList::parse(bytes, QStringLiteral("/x/gift.txt"));
    QVERIFY2(r.ok(), qPrintable(r.message));
    QCOMPARE(r.lines, expected);
    QCOMPARE(r.encoding, encoding);
}

void TestPrizeList::refusesNamed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("named"); // must be in the message

    const QString simplified = QStringLiteral("Big5 或 UTF-8");
    QTest::newRow("GBK list") << gbk(QStringLiteral(
                                     "特奖 液晶电视一台\r\n二奖 脚踏车\r\n三奖 电饭锅\r\n"))
                              << Error::Simplified << 0 << simplified;
    QTest::newRow("GBK one line") << gbk(QStringLiteral("特奖 液晶电视一台")) << Error::Simplified
                                  << 0 << simplified;
    QTest::newRow("GBK after good lines")
        << QByteArray("TV\r\n") + gbk(QStringLiteral("四奖 电风扇\r\n精美纪念奖"))
        << Error::Simplified << 0 << QStringLiteral("簡體中文");

    QTest::newRow("BEL") << QByteArray("ok\r\nbell\a") << Error::ControlChar << 2
                         << QStringLiteral("第 5 個字 U+0007");
    QTest::newRow("ESC") << QByteArray("\x1B[31mred") << Error::ControlChar << 1
                         << QStringLiteral("U+001B");
    QTest::newRow("DEL") << QByteArray("a\x7F") << Error::ControlChar << 1
                         << QStringLiteral("U+007F");
    QTest::newRow("form feed") << QByteArray("a\r\n\x0C") << Error::ControlChar << 2
                               << QStringLiteral("U+000C");
    QTest::newRow("C1 code in UTF-8") << QByteArray("\xEF\xBB\xBF\xC2\x85") << Error::ControlChar
                                      << 1 << QStringLiteral("U+0085");
    QTest::newRow("line separator") << QStringLiteral("頭獎\u2028電視").toUtf8()
                                    << Error::ControlChar << 1 << QStringLiteral("U+2028");
    QTest::newRow("control in UTF-16")
        << withMark(QStringLiteral("a\r\nb\u0007"), QStringConverter::Utf16LE) << Error::ControlChar
        << 2 << QStringLiteral("U+0007");

    QTest::newRow("1001 characters") << QByteArray("ok\n") + QByteArray(1001, 'a') << Error::TooLong
                                     << 2 << QStringLiteral("太長");
    QTest::newRow("10000 Chinese characters")
        << big5(QString(10000, QChar(u'獎'))) << Error::TooLong << 1 << QStringLiteral("太長");
    QTest::newRow("40000 characters")
        << QByteArray(40000, 'x') << Error::TooLong << 1 << QStringLiteral("太長");

    QTest::newRow("57th line blank")
        << lines(56, "\r\n") + "\r\n"
        << Error::TooManyLines << 57 << QStringLiteral("第 57 行是空行");
    QTest::newRow("57th line blanks only")
        << lines(56, "\n") + "  \n"
        << Error::TooManyLines << 57 << QStringLiteral("第 57 行是空行");
    QTest::newRow("57 lines in UTF-16")
        << withMark(QStringLiteral("a\r\n").repeated(56) + QStringLiteral("\r\n"),
                    QStringConverter::Utf16LE)
        << Error::TooManyLines << 57 << QStringLiteral("第 57 行是空行");
    QTest::newRow("60 lines") << lines(60, "\r\n") << Error::TooManyLines << 57
                              << QStringLiteral("這個檔案有 60 行，從第 57 行起是多出來的");
    QTest::newRow("a prize after a blank 57th line")
        << lines(56, "\n") + "\nprize 58\n"
        << Error::TooManyLines << 57 << QStringLiteral("這個檔案有 58 行");
    // Each line end counts twice here, once in Notepad.
    QTest::newRow("56 lines ending CR CR LF")
        << lines(56, "\r\r\n") << Error::DoubledCr << 0
        << QStringLiteral(
               "行尾是 CR CR LF，多了一個 CR，每一行後面都會多出一個空行，讀起來有 112 行");
    QTest::newRow("60 lines, one ending CR CR LF")
        << lines(59, "\r\n") + "x\r\r\n"
        << Error::TooManyLines << 57 << QStringLiteral("這個檔案有 61 行");

    // Saved by Excel and renamed: it says what the file is and how to save it as text.
    const QString asText =
        QStringLiteral("「文字檔 (Tab 字元分隔)」或「Unicode 文字」，存成 gift.txt");
    QTest::newRow("xlsx workbook")
        << QByteArray("PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0", 14) << Error::Workbook << 0 << asText;
    QTest::newRow("xls workbook") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                         QByteArray(504, '\0')
                                  << Error::Workbook << 0 << QStringLiteral("Excel 活頁簿");
    QTest::newRow("text starting with PK")
        << QByteArray("PK\x03") << Error::ControlChar << 1 << QStringLiteral("U+0003");

    // Latin-1 / Windows-1252: its accented letters pair into Chinese characters as Big5.
    const QString western = QStringLiteral("Latin-1 / Windows-1252");
    QTest::newRow("Latin-1 Größe Feier")
        << latin1(QStringLiteral("Größe Feier\r\n")) << Error::Western << 1 << western;
    QTest::newRow("Latin-1 accent before a blank, not Big5")
        << latin1(QStringLiteral("Gutschein\r\nCafé au lait\r\n")) << Error::Western << 2
        << western;
    QTest::newRow("Latin-1 line in a Big5 list")
        << big5(QStringLiteral("頭獎 液晶電視\r\n二獎 腳踏車\r\n")) +
               latin1(QStringLiteral("Weißwürste für 2\r\n"))
        << Error::Western << 3 << QStringLiteral("第 3 行");
    QTest::newRow("Windows-1252 Œ and ß")
        << latin1(QStringLiteral("Œuvre\nStraße\n")) << Error::Western << 1 << western;

    // UTF-16 that lost its mark and reads as no list either way: said so, not read.
    QTest::newRow("UTF-16 without a mark, its order unclear")
        << QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(u"カメラ\r\nテレビ\r\n"))
        << Error::WideWithoutMark << 0 << QStringLiteral("少了位元組順序記號 (BOM)");

    // Direction controls turn text around; the message names them, never shows them.
    const QString direction = QStringLiteral("是文字方向控制字元");
    QTest::newRow("right-to-left override")
        << QStringLiteral("ok\niPhone \u202E15").toUtf8() << Error::ControlChar << 2
        << QStringLiteral("第 8 個字 U+202E ") + direction;
    QTest::newRow("left-to-right embedding after a mark")
        << QByteArray("\xEF\xBB\xBF") + QStringLiteral("\u202A頭獎").toUtf8() << Error::ControlChar
        << 1 << QStringLiteral("U+202A");
    QTest::newRow("pop directional isolate") << QStringLiteral("a\u2069").toUtf8()
                                             << Error::ControlChar << 1 << QStringLiteral("U+2069");
    QTest::newRow("right-to-left mark") << QStringLiteral("\u200F頭獎").toUtf8()
                                        << Error::ControlChar << 1 << QStringLiteral("U+200F");
    QTest::newRow("Arabic letter mark in UTF-16")
        << withMark(QStringLiteral("ok\r\nx\u061C"), QStringConverter::Utf16BE)
        << Error::ControlChar << 2 << QStringLiteral("U+061C");

    QTest::newRow("UTF-16 odd last byte") << QByteArray("\xFF\xFE"
                                                        "a\0\n\0b",
                                                        7)
                                          << Error::BadText << 2 << QStringLiteral("第 2 行");
    QTest::newRow("UTF-16 lone surrogate") << QByteArray("\xFF\xFE"
                                                         "a\0\n\0\x00\xD8",
                                                         8)
                                           << Error::BadText << 2 << QStringLiteral("第 2 行");
    QTest::newRow("UTF-16 NUL") << QByteArray("\xFE\xFF\0a\0\0", 6) << Error::NulByte << 1
                                << QStringLiteral("NUL");
    QTest::newRow("UTF-16 private use")
        << withMark(QStringLiteral("\uE000"), QStringConverter::Utf16BE) << Error::BadText << 1
        << QStringLiteral("第 1 行");
    QTest::newRow("UTF-32 beyond Unicode") << QByteArray("\xFF\xFE\0\0\0\0\x11\0", 8)
                                           << Error::BadText << 1 << QStringLiteral("第 1 行");
}

void TestPrizeList::refusesNamed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Error, error);
    QFETCH(int, line);
    QFETCH(QString, named);
    const PrizeList::Result r = PrizeList::parse(bytes, QStringLiteral("/party/gift.txt"));
    QCOMPARE(r.error, error);
    QCOMPARE(r.errorLine, line);
    QVERIFY(r.lines.isEmpty());
    QVERIFY2(r.message.contains(named), qPrintable(r.message));
    QVERIFY(r.message.endsWith(QDir::toNativeSeparators(QStringLiteral("/party/gift.txt"))));
    if (line > 0)
        QVERIFY(r.message.contains(QStringLiteral("第 %1 行").arg(line)));
    // Nothing in the message turns it around or breaks it up.
    for (char32_t u : r.message.toUcs4())
        QVERIFY2(u == U'\n' || (QChar::category(u) != QChar::Other_Control &&
                                QChar::category(u) != QChar::Other_Format),
                 qPrintable(QString::number(uint(u), 16)));
}

void TestPrizeList::display_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("named");

    QTest::newRow("all drawable") << big5(QStringLiteral("頭獎\t電視")) << Error::None << 0
                                  << QString();
    QTest::newRow("no face") << QStringLiteral("ok\n禮物 🎁").toUtf8() << Error::NoGlyph << 2
                             << QStringLiteral("第 4 個字「🎁」(U+1F381)");
    QTest::newRow("no face, rare CJK")
        << QStringLiteral("𪚥").toUtf8() << Error::NoGlyph << 1 << QStringLiteral("U+2A6A5");
    QTest::newRow("too wide for the window")
        << QByteArray(30, 'w') << Error::TooLong << 1 << QStringLiteral("太長");
    QTest::newRow("fits exactly") << QByteArray(20, 'w') << Error::None << 0 << QString();
}

void TestPrizeList::display()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Error, error);
    QFETCH(int, line);
    QFETCH(QString, named);
    QList<char32_t> asked;
    PrizeList::Display d;
    d.canDraw = [&](char32_t u) {
        asked << u;
        return u < 0x10000;
    };
    d.fits = [](const QString &s) { return s.size() <= 20; };
    const PrizeList::Result r = PrizeList::parse(bytes, QStringLiteral("/party/gift.txt"), d);
    QCOMPARE(r.error, error);
    QCOMPARE(r.errorLine, line);
    QVERIFY2(r.message.contains(named), qPrintable(r.message));
    QVERIFY(!asked.contains(U'\t')); // a tab shows as a blank, whatever the font
}

void TestPrizeList::specialFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Error>("error");
    QTest::addColumn<QString>("named");

    QTest::newRow("folder") << QStringLiteral("folder") << Error::Unreadable
                            << QStringLiteral("資料夾");
    // A read from either would wait for a server that never writes.
    QTest::newRow("socket or named pipe")
        << QStringLiteral("server") << Error::Unreadable << QStringLiteral("不是一般的檔案");
#ifdef Q_OS_WIN
    QTest::newRow("device") << QStringLiteral("device") << Error::Unreadable
                            << QStringLiteral("字元裝置");
    // As a spreadsheet holds the file it has open.
    QTest::newRow("held open, shared with nobody")
        << QStringLiteral("unshared") << Error::Unreadable << QStringLiteral("正在被使用");
#else
    QTest::newRow("FIFO") << QStringLiteral("fifo") << Error::Unreadable
                          << QStringLiteral("具名管道 (FIFO)");
    QTest::newRow("device") << QStringLiteral("device") << Error::Unreadable
                            << QStringLiteral("字元裝置");
    QTest::newRow("symlink to a file") << QStringLiteral("link") << Error::None << QString();
    QTest::newRow("symlink loop") << QStringLiteral("loop") << Error::Unreadable
                                  << QStringLiteral("迴圈");
    QTest::newRow("dangling symlink")
        << QStringLiteral("dangling") << Error::Missing << QStringLiteral("找不到");
    // Root reads whatever the permissions say.
    if (geteuid() != 0)
        QTest::newRow("no permission")
            << QStringLiteral("mode000") << Error::Unreadable << QStringLiteral("權限");
#endif
}

void TestPrizeList::specialFiles()
{
    QFETCH(QString, kind);
    QFETCH(Error, error);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString real = dir.filePath(QStringLiteral("real.txt"));
    QFile f(real);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(big5(QStringLiteral("一\r\n")));
    f.close();

    QString path = dir.filePath(QStringLiteral("gift.txt"));
    QLocalServer server;
    if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gift.txt")));
    } else if (kind == QStringLiteral("server")) {
        QVERIFY(server.listen(
            QStringLiteral("zentavo-gift-%1").arg(QCoreApplication::applicationPid())));
        path = server.fullServerName();
    }
#ifdef Q_OS_WIN
    std::unique_ptr<void, decltype(&CloseHandle)> held(nullptr, &CloseHandle);
    if (kind == QStringLiteral("device")) {
        path = QStringLiteral("//./NUL");
    } else if (kind == QStringLiteral("unshared")) {
        QVERIFY(QFile::rename(real, path));
        held.reset(
            CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                        GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        QVERIFY(held.get() != INVALID_HANDLE_VALUE);
    }
#else
    if (kind == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (kind == QStringLiteral("device"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else if (kind == QStringLiteral("link"))
        QVERIFY(QFile::link(real, path));
    else if (kind == QStringLiteral("loop"))
        QVERIFY(QFile::link(path, path));
    else if (kind == QStringLiteral("dangling"))
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.txt")), path));
    else if (kind == QStringLiteral("mode000")) {
        QVERIFY(QFile::rename(real, path));
        QVERIFY(QFile::setPermissions(path, {}));
    }
#endif

    const PrizeList::Result r = PrizeList::load(path);
    QCOMPARE(r.error, error);
    if (error == Error::None) {
        QCOMPARE(r.lines, QStringList{QStringLiteral("一")});
        return;
    }
    QVERIFY2(r.message.contains(named), qPrintable(r.message));
    QVERIFY(r.message.contains(QDir::toNativeSeparators(path)));
}

void TestPrizeList::startWarnings_data()
{
    QTest::addColumn<QStringList>("prizes");
    QTest::addColumn<QStringList>("warnings");

    QStringList full;
    for (int i = 1; i <= 56; ++i)
        full << QStringLiteral("獎品 %1").arg(i);
    auto with = [&](int line, const QString &text) {
        QStringList l = full;
        l[line - 1] = text;
        return l;
    };
    const QString spoilt = QStringLiteral("第 12 行的「紀念獎」後面有空白，這一項不會算紀念獎。");

    QTest::newRow("56 prizes") << full << QStringList();
    QTest::newRow("40 prizes") << full.mid(0, 40)
                               << QStringList{QStringLiteral(
                                      "獎品清單只有 40 項，另外 16 張卡會抽出空白獎品。")};
    QTest::newRow("empty list") << QStringList()
                                << QStringList{QStringLiteral(
                                       "獎品清單只有 0 項，另外 56 張卡會抽出空白獎品。")};
    QTest::newRow("trailing blank after 紀念獎")
        << with(12, QStringLiteral("精美紀念獎 ")) << QStringList{spoilt};
    QTest::newRow("trailing ideographic blank and tab")
        << with(12, QStringLiteral("精美紀念獎\u3000\t")) << QStringList{spoilt};
    QTest::newRow("紀念獎 at the end") << with(12, QStringLiteral("精美紀念獎")) << QStringList();
    QTest::newRow("leading blanks only")
        << with(12, QStringLiteral("  精美紀念獎")) << QStringList();
    QTest::newRow("blank after other text") << with(12, QStringLiteral("電視 ")) << QStringList();
    QStringList holes = with(3, QString());
    holes[6] = QStringLiteral("  ");
    QTest::newRow("empty and blank lines")
        << holes << QStringList{QStringLiteral("第 3、7 行沒有文字，抽到這一項會是空白獎品。")};
    QStringList all = full.mid(0, 20);
    all[0] = QString();
    all[11] = QStringLiteral("紀念獎 ");
    QStringList quoted;
    for (const QString &prize : full)
        quoted << u'"' + prize + u'"';
    const QString quotes = QStringLiteral(
        "每一項獎品都包在雙引號 \"…\" 裡（像 Excel 存成的 CSV 檔），抽獎時引號也會跟著顯示。"
        "請用記事本把引號刪掉，或在 Excel 另存成「文字檔 (Tab 字元分隔)」。");
    QTest::newRow("every prize in quotes") << quoted << QStringList{quotes};
    QStringList quotedConsolation = quoted;
    quotedConsolation[11] = QStringLiteral("\"精美紀念獎\"");
    QTest::newRow("quoted consolation prize")
        << quotedConsolation
        << QStringList{QString(quotes).replace(QStringLiteral("跟著顯示。"),
                                               QStringLiteral("跟著顯示，紀念獎也不會算紀念獎。"))};
    QStringList quotedHoles = quoted;
    quotedHoles[55] = QString();
    QTest::newRow("quoted, with an empty line")
        << quotedHoles
        << QStringList{quotes, QStringLiteral("第 56 行沒有文字，抽到這一項會是空白獎品。")};
    QTest::newRow("one prize in quotes") << with(5, QStringLiteral("\"特別獎\"")) << QStringList();
    QStringList mostlyQuoted = quoted;
    mostlyQuoted[30] = QStringLiteral("電視");
    QTest::newRow("all quoted but one") << mostlyQuoted << QStringList();
    QTest::newRow("lone quote marks") << QStringList(56, QStringLiteral("\"")) << QStringList();
    QTest::newRow("all three, in this order")
        << all
        << QStringList{QStringLiteral("獎品清單只有 20 項，另外 36 張卡會抽出空白獎品。"),
                       QStringLiteral("第 1 行沒有文字，抽到這一項會是空白獎品。"), spoilt};
}

void TestPrizeList::startWarnings()
{
    QFETCH(QStringList, prizes);
    QFETCH(QStringList, warnings);
    QCOMPARE(PrizeList::startWarnings(prizes), warnings);
}

void TestPrizeList::startQuestion_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("question");
    const QString ask = QStringLiteral("\n\n要照這份清單開始抽獎嗎?");
    auto listed = [](int n) {
        QStringList l;
        for (int i = 1; i <= n; ++i)
            l << QStringLiteral("問題 %1。").arg(i);
        return l.join(u'\n');
    };
    QTest::newRow("two") << 2 << listed(2) + ask;
    QTest::newRow("eight, all listed") << 8 << listed(8) + ask;
    // 56 lines would make the box taller than a 1024 × 768 screen.
    QTest::newRow("nine") << 9
                          << listed(7) + QStringLiteral("\n……另外還有 2 項，請打開獎品清單檢查。") +
                                 ask;
    QTest::newRow("56") << 56
                        << listed(7) + QStringLiteral("\n……另外還有 49 項，請打開獎品清單檢查。") +
                               ask;
}

void TestPrizeList::startQuestion()
{
    QFETCH(int, count);
    QFETCH(QString, question);
    QStringList warnings;
    for (int i = 1; i <= count; ++i)
        warnings << QStringLiteral("問題 %1。").arg(i);
    QCOMPARE(PrizeList::startQuestion(warnings), question);
}

// gift.xlsx: its first column, read as gift.txt is.
void TestPrizeList::workbook_data()
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
    QTest::newRow("rows stored out of order, read in the order of their numbers")
        << workbookOf("<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>電鍋</t></is></c></row>"
                      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>液晶電視</t></is></c></row>"
                      "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>腳踏車</t></is></c></row>")
        << QStringList{QStringLiteral("液晶電視"), QStringLiteral("腳踏車"), QStringLiteral("電鍋")}
        << E::None << 0 << QString();
}

void TestPrizeList::workbook()
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

void TestPrizeList::choose_data()
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

void TestPrizeList::choose()
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

QTEST_GUILESS_MAIN(TestPrizeList)
#include "test_prizelist.moc"
