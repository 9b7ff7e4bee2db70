#include "gallery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "fifowatch.h"

namespace {
const QString Dir = QStringLiteral("/party");

// Line 4 is blank; lines 3 and 6 are the same prize.
const QStringList Lines{QStringLiteral("現金 6,000 元"), QStringLiteral("iPhone 15 / 128GB"),
                        QStringLiteral("禮券 500 元"),   QString(),
                        QStringLiteral("Dyson 吹風機"),  QStringLiteral("禮券 500 元"),
                        QStringLiteral("Café 咖啡機")};

QMap<int, Guest> guests()
{
    return {{7, {QStringLiteral("王美玲"), QStringLiteral("業務部")}},
            {8, {QStringLiteral("陳大文"), {}}},
            {9, {QStringLiteral("Amy Chen"), {}}},
            {12, {QStringLiteral("王偉"), {}}},
            {30, {QStringLiteral("王偉"), {}}}};
}

// "file：why" for each problem, as short as the tables can say it.
QStringList said(const QList<PictureProblem> &problems)
{
    QStringList out;
    for (const PictureProblem &p : problems)
        out << QFileInfo(p.path).fileName() + u'：' + p.text;
    return out;
}

QString heic()
{
    return Gallery::heicAdvice();
}
} // namespace

class TestGallery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void prizeNames_data();
    void prizeNames();
    void photoNames_data();
    void photoNames();
    void scanListsFilesOnly();
    void logoByName_data();
    void logoByName();
    void atMostMaxFiles();
};

void TestGallery::prizeNames_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("prize");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("problems");

    const QString cash = Lines[0];
    const QString voucher = Lines[2];
    QTest::newRow("line") << QStringList{QStringLiteral("1.jpg")} << cash << "1.jpg"
                          << QStringList{};
    QTest::newRow("leading zero, upper-case extension")
        << QStringList{QStringLiteral("02.PNG")} << Lines[1] << "02.PNG" << QStringList{};
    QTest::newRow("full-width digit")
        << QStringList{QStringLiteral("３.jpeg")} << voucher << "３.jpeg" << QStringList{};
    QTest::newRow("text") << QStringList{QStringLiteral("現金 6,000 元.jpg")} << cash
                          << "現金 6,000 元.jpg" << QStringList{};
    QTest::newRow("text without blanks, Latin in another case")
        << QStringList{QStringLiteral("dyson吹風機.GIF")} << Lines[4] << "dyson吹風機.GIF"
        << QStringList{};
    QTest::newRow("a slash as a blank") << QStringList{QStringLiteral("iPhone 15  128GB.bmp")}
                                        << Lines[1] << "iPhone 15  128GB.bmp" << QStringList{};
    QTest::newRow("a slash left out") << QStringList{QStringLiteral("iPhone 15 128GB.jpg")}
                                      << Lines[1] << "iPhone 15 128GB.jpg" << QStringList{};
    // As a Mac names it: the accent apart from its letter.
    const QString decomposed = QStringLiteral("Cafe\u0301 咖啡機.jpg");
    QTest::newRow("decomposed accent")
        << QStringList{decomposed} << Lines[6] << decomposed << QStringList{};
    QTest::newRow("the number wins over the text")
        << QStringList{QStringLiteral("1.jpg"), QStringLiteral("現金 6,000 元.png")} << cash
        << "1.jpg"
        << QStringList{QStringLiteral("現金 6,000 元.png：同一個獎品已用 1.jpg（號碼優先）")};
    QTest::newRow("two files for one line: the first by name")
        << QStringList{QStringLiteral("1.png"), QStringLiteral("01.jpg")} << cash << "01.jpg"
        << QStringList{QStringLiteral("1.png：同一個獎品已用 01.jpg")};
    QTest::newRow("two files for one text")
        << QStringList{QStringLiteral("現金 6,000 元.png"), QStringLiteral("現金 6,000 元.jpg")}
        << cash << "現金 6,000 元.jpg"
        << QStringList{QStringLiteral("現金 6,000 元.png：同一個獎品已用 現金 6,000 元.jpg")};
    QTest::newRow("a prize on two lines, named by the second")
        << QStringList{QStringLiteral("6.jpg")} << voucher << "6.jpg" << QStringList{};
    QTest::newRow("a prize on two lines, both numbered")
        << QStringList{QStringLiteral("6.jpg"), QStringLiteral("3.jpg")} << voucher << "3.jpg"
        << QStringList{QStringLiteral("6.jpg：與第 3 行是同一個獎品，已用 3.jpg")};
    QTest::newRow("a prize on two lines, by number and by text")
        << QStringList{QStringLiteral("禮券 500 元.jpg"), QStringLiteral("6.jpg")} << voucher
        << "6.jpg"
        << QStringList{QStringLiteral("禮券 500 元.jpg：同一個獎品已用 6.jpg（號碼優先）")};
    QTest::newRow("a blank line") << QStringList{QStringLiteral("4.jpg")} << cash << ""
                                  << QStringList{QStringLiteral("4.jpg：沒有這一行獎品")};
    QTest::newRow("past the list, 0, 57")
        << QStringList{QStringLiteral("8.jpg"), QStringLiteral("0.jpg"), QStringLiteral("57.jpg")}
        << cash << ""
        << QStringList{QStringLiteral("0.jpg：沒有這一行獎品"),
                       QStringLiteral("57.jpg：沒有這一行獎品"),
                       QStringLiteral("8.jpg：沒有這一行獎品")};
    QTest::newRow("a picture for no prize")
        << QStringList{QStringLiteral("腳踏車.jpg"), QStringLiteral("1.jpg")} << cash << "1.jpg"
        << QStringList{QStringLiteral("腳踏車.jpg：獎品清單裡沒有這個獎品")};
    QTest::newRow("not a picture")
        << QStringList{QStringLiteral("1.webp"), QStringLiteral("說明.txt"), QStringLiteral("2")}
        << cash << ""
        << QStringList{QStringLiteral("1.webp：不是圖片（請用 JPG、PNG、BMP 或 GIF）"),
                       QStringLiteral("2：不是圖片（請用 JPG、PNG、BMP 或 GIF）"),
                       QStringLiteral("說明.txt：不是圖片（請用 JPG、PNG、BMP 或 GIF）")};
    QTest::newRow("HEIC") << QStringList{QStringLiteral("1.HEIC"),
                                         QStringLiteral("現金 6,000 元.heif")}
                          << cash << ""
                          << QStringList{QStringLiteral("1.HEIC：") + heic(),
                                         QStringLiteral("現金 6,000 元.heif：") + heic()};
}

void TestGallery::prizeNames()
{
    QFETCH(QStringList, files);
    QFETCH(QString, prize);
    QFETCH(QString, picture);
    QFETCH(QStringList, problems);
    const Gallery g(Dir, files, {});
    const QString found = g.prizePicture(Lines, prize);
    QCOMPARE(found.isEmpty() ? QString()
                             : QDir(Dir + QStringLiteral("/prizes")).relativeFilePath(found),
             picture);
    QCOMPARE(said(g.unmatched(Lines, guests())), problems);
}

void TestGallery::photoNames_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("list");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("number") << QStringList{QStringLiteral("7.jpg")} << true << 7 << "7.jpg"
                            << QStringList{};
    QTest::newRow("leading zeros")
        << QStringList{QStringLiteral("007.JPG")} << true << 7 << "007.JPG" << QStringList{};
    QTest::newRow("a number no list names")
        << QStringList{QStringLiteral("56.png")} << true << 56 << "56.png" << QStringList{};
    QTest::newRow("name") << QStringList{QStringLiteral("王美玲.jpg")} << true << 7 << "王美玲.jpg"
                          << QStringList{};
    QTest::newRow("Latin name in another case") << QStringList{QStringLiteral("amy chen.png")}
                                                << true << 9 << "amy chen.png" << QStringList{};
    QTest::newRow("the number wins over the name")
        << QStringList{QStringLiteral("王美玲.jpg"), QStringLiteral("7.jpg")} << true << 7
        << "7.jpg" << QStringList{QStringLiteral("王美玲.jpg：同一個人已用 7.jpg（號碼優先）")};
    QTest::newRow("two files for one name")
        << QStringList{QStringLiteral("王美玲.png"), QStringLiteral("王美玲.jpg")} << true << 7
        << "王美玲.jpg" << QStringList{QStringLiteral("王美玲.png：同一個人已用 王美玲.jpg")};
    QTest::newRow("two files for one number")
        << QStringList{QStringLiteral("7.jpg"), QStringLiteral("07.jpg")} << true << 7 << "07.jpg"
        << QStringList{QStringLiteral("7.jpg：同一個號碼已用 07.jpg")};
    QTest::newRow("a name not on the list")
        << QStringList{QStringLiteral("李四.jpg")} << true << 7 << ""
        << QStringList{QStringLiteral("李四.jpg：名單裡沒有這個名字")};
    QTest::newRow("no such number")
        << QStringList{QStringLiteral("0.jpg"), QStringLiteral("57.jpg")} << true << 7 << ""
        << QStringList{QStringLiteral("0.jpg：沒有這個號碼"),
                       QStringLiteral("57.jpg：沒有這個號碼")};
    QTest::newRow("a name two guests share")
        << QStringList{QStringLiteral("王偉.jpg")} << true << 30 << "王偉.jpg"
        << QStringList{QStringLiteral(
               "王偉.jpg：名單裡有 2 個人同名，12、30 號都會用這張相片；請用號碼命名")};
    QTest::newRow("a shared name, one numbered")
        << QStringList{QStringLiteral("王偉.jpg"), QStringLiteral("12.jpg")} << true << 30
        << "王偉.jpg"
        << QStringList{
               QStringLiteral("王偉.jpg：名單裡有 2 個人同名，30 號都會用這張相片；請用號碼命名")};
    QTest::newRow("a shared name, both numbered")
        << QStringList{QStringLiteral("王偉.jpg"), QStringLiteral("12.jpg"),
                       QStringLiteral("30.jpg")}
        << true << 30 << "30.jpg"
        << QStringList{QStringLiteral("王偉.jpg：同一個人已用 12.jpg（號碼優先）")};
    QTest::newRow("no list: names are nobody")
        << QStringList{QStringLiteral("王美玲.jpg"), QStringLiteral("8.jpg")} << false << 8
        << "8.jpg" << QStringList{QStringLiteral("王美玲.jpg：沒有名單，只能用號碼命名")};
    QTest::newRow("HEIC") << QStringList{QStringLiteral("7.heic")} << true << 7 << ""
                          << QStringList{QStringLiteral("7.heic：") + heic()};
    QTest::newRow("not a picture")
        << QStringList{QStringLiteral("7.pdf")} << true << 7 << ""
        << QStringList{QStringLiteral("7.pdf：不是圖片（請用 JPG、PNG、BMP 或 GIF）")};
}

void TestGallery::photoNames()
{
    QFETCH(QStringList, files);
    QFETCH(bool, list);
    QFETCH(int, number);
    QFETCH(QString, photo);
    QFETCH(QStringList, problems);
    const Gallery g(Dir, {}, files);
    const QMap<int, Guest> named = list ? guests() : QMap<int, Guest>{};
    const QString found = g.photo(number, named.value(number).name);
    QCOMPARE(found.isEmpty() ? QString()
                             : QDir(Dir + QStringLiteral("/photos")).relativeFilePath(found),
             photo);
    QCOMPARE(said(g.unmatched(Lines, named)), problems);
}

// Listing opens nothing: a FIFO named like a picture is told, never waited on.
void TestGallery::scanListsFilesOnly()
{
    QTemporaryDir dir;
    QDir d(dir.path());
    QVERIFY(d.mkpath(QStringLiteral("prizes/2.jpg")));
    QVERIFY(d.mkpath(QStringLiteral("prizes/舊的")));
    QVERIFY(d.mkpath(QStringLiteral("photos")));
    for (const char *name : {"prizes/1.jpg", "prizes/._1.jpg", "prizes/Thumbs.db",
                             "photos/王美玲.jpg", "elsewhere.jpg"}) {
        QFile f(d.filePath(QString::fromUtf8(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(d.filePath(QStringLiteral("elsewhere.jpg")),
                        d.filePath(QStringLiteral("photos/8.jpg"))));
    FifoWatch fifo(d.filePath(QStringLiteral("prizes/3.jpg")));
    const Gallery g = Gallery::scan(dir.path());
    QCOMPARE(g.prizeFiles(), QStringList{d.filePath(QStringLiteral("prizes/1.jpg"))});
    QCOMPARE(g.photoFiles(), (QStringList{d.filePath(QStringLiteral("photos/8.jpg")),
                                          d.filePath(QStringLiteral("photos/王美玲.jpg"))}));
    QStringList expected{QStringLiteral("2.jpg：不是檔案（資料夾或特殊檔案）")};
    if (fifo.ok)
        expected << QStringLiteral("3.jpg：不是檔案（資料夾或特殊檔案）");
    QStringList found = said(g.unmatched(Lines, guests()));
    found.sort();
    QCOMPARE(found, expected);
    QVERIFY(!fifo.opened);
    QVERIFY(g.logo().isEmpty());
    QVERIFY(!g.isEmpty());
    QVERIFY(Gallery::scan(d.filePath(QStringLiteral("nowhere"))).isEmpty());
}

void TestGallery::logoByName_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("logo");
    QTest::newRow("png before jpg")
        << QStringList{QStringLiteral("logo.jpg"), QStringLiteral("logo.png")} << "logo.png";
    QTest::newRow("any case") << QStringList{QStringLiteral("LOGO.JPEG")} << "LOGO.JPEG";
    QTest::newRow("jpg before jpeg")
        << QStringList{QStringLiteral("Logo.jpeg"), QStringLiteral("logo.JPG")} << "logo.JPG";
    QTest::newRow("a folder is none") << QStringList{QStringLiteral("logo.png/")} << "";
    QTest::newRow("other names are none")
        << QStringList{QStringLiteral("logo.gif"), QStringLiteral("logo2.png")} << "";
}

void TestGallery::logoByName()
{
    QFETCH(QStringList, files);
    QFETCH(QString, logo);
    QTemporaryDir dir;
    for (const QString &name : files) {
        if (name.endsWith(u'/')) {
            QVERIFY(QDir(dir.path()).mkdir(name.chopped(1)));
            continue;
        }
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QString found = Gallery::scan(dir.path()).logo();
    QCOMPARE(QFileInfo(found).fileName(), logo);
}

void TestGallery::atMostMaxFiles()
{
    QStringList names;
    for (int i = Gallery::MaxFiles + 1; i >= 1; --i)
        names << QStringLiteral("x%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    const Gallery g(Dir, names, {});
    QCOMPARE(g.prizeFiles().size(), Gallery::MaxFiles);
    QCOMPARE(g.prizeFiles().first(), Dir + QStringLiteral("/prizes/x0001.jpg"));
    const QList<PictureProblem> problems = g.unmatched({}, {});
    QCOMPARE(problems.first(), (PictureProblem{Dir + QStringLiteral("/prizes"),
                                               QStringLiteral("超過 500 個檔案，只看前 500 個")}));
}

QTEST_GUILESS_MAIN(TestGallery)
#include "test_gallery.moc"
