#include "eventtitle.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class TestEventTitle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void load_data();
    void load();
};

namespace {
QByteArray big5(const QString &s)
{
    QStringEncoder e("windows-950");
    return e.encode(s);
}
} // namespace

void TestEventTitle::load_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("refused");
    const QString night = QStringLiteral("115年尾牙摸彩");
    QTest::newRow("absent") << false << QByteArray() << QString() << false;
    QTest::newRow("empty file") << true << QByteArray() << QString() << false;
    QTest::newRow("empty first line") << true << QByteArray("\r\nsecond\r\n") << QString() << false;
    QTest::newRow("Big5") << true << big5(night + QStringLiteral("\r\n")) << night << false;
    QTest::newRow("Big5, no line end") << true << big5(night) << night << false;
    QTest::newRow("UTF-8") << true << (night + QStringLiteral("\n")).toUtf8() << night << false;
    QTest::newRow("first line only")
        << true << (night + QStringLiteral("\n第二行\n")).toUtf8() << night << false;
    QTest::newRow("blanks kept") << true << QByteArray("  Gala 2026 \r\n")
                                 << QStringLiteral("  Gala 2026 ") << false;
    const QString longTitle = QString(60, QChar(0x6A02));
    QTest::newRow("long line") << true << longTitle.toUtf8() << longTitle << false;
    // Accents written apart from their letters; as GBK they pair into common characters.
    const QString vietnamese = QStringLiteral("Tie\u0323\u0302c cuo\u0302\u0301i na\u0306m 2025");
    QTest::newRow("UTF-8, combining accents") << true << vietnamese.toUtf8() << vietnamese << false;
    QTest::newRow("bad bytes") << true << QByteArray("t\x80\xff title\n") << QString() << true;
    QTest::newRow("NUL byte") << true << QByteArray("ti\0tle\n", 7) << QString() << true;
    // Markup is the title's own text; the board shows it as it is.
    const QString markup = QStringLiteral("<b>尾牙</b><img src=\"/etc/logo.png\"><a href=\"x\">");
    QTest::newRow("markup kept as text") << true << markup.toUtf8() << markup << false;
    QTest::newRow("direction control")
        << true << QStringLiteral("尾牙\u202E摸彩").toUtf8() << QString() << true;
    QTest::newRow("Excel workbook")
        << true << QByteArray("PK\x03\x04\x14\0\x06\0", 8) << QString() << true;
    QTest::newRow("57 lines") << true << QByteArray("title\n").repeated(57) << QString() << true;
    QByteArray western("Gr\xF6\xDF"
                       "e Feier");
    QTest::newRow("Latin-1") << true << western << QString() << true;
}

void TestEventTitle::load()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("title.txt"));
    if (present) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const EventTitle::Result r = EventTitle::load(path);
    QCOMPARE(r.ok(), !refused);
    QCOMPARE(r.title, title);
    if (refused) {
        QVERIFY2(r.message.contains(QDir::toNativeSeparators(path)), qPrintable(r.message));
        // The title file is named as such, not as the prize list.
        QVERIFY2(r.message.contains(QStringLiteral("活動標題")), qPrintable(r.message));
        QVERIFY2(!r.message.contains(QStringLiteral("獎品")), qPrintable(r.message));
    }
}

QTEST_GUILESS_MAIN(TestEventTitle)
#include "test_eventtitle.moc"
