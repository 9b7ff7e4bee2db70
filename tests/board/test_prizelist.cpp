#include "prizelist.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using PrizeList::Error;

namespace {
QByteArray big5(const QString &s)
{
    QStringEncoder e("windows-950");
    return e.encode(s);
}

QByteArray lines(int n, const QByteArray &end)
{
    QByteArray b;
    for (int i = 1; i <= n; ++i)
        b += "prize " + QByteArray::number(i) + end;
    return b;
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
    QTest::newRow("57 lines") << lines(57, "\r\n") << Error::TooManyLines << 0;
    QTest::newRow("56 lines and two line ends") << lines(56, "\r\n") + "\r\n"
                                                << Error::TooManyLines << 0;
    QTest::newRow("57 LF lines") << lines(57, "\n") << Error::TooManyLines << 0;
    QTest::newRow("NUL byte") << QByteArray("ok\r\nbad\0line\r\n", 14) << Error::NulByte << 2;
    // With a byte-order mark it is read; without one it is not text.
    QTest::newRow("UTF-16 without byte-order mark") << QByteArray("a\0b\0", 4)
                                                    << Error::NulByte << 1;
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

QTEST_GUILESS_MAIN(TestPrizeList)
#include "test_prizelist.moc"
