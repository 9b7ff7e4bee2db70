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

// One row: the files in the folder, "|" between; the prize's line or the guest's number asked
// for; the file it gets; what is said of the others, "|" between, {heic} for the HEIC advice,
// {not} for "not a picture".
void row(const char *folder, const char *name, const char *files, int key, const char *picture,
         const char *problems, bool list = true)
{
    const auto split = [](const char *s) {
        QStringList out = QString::fromUtf8(s).split(u'|', Qt::SkipEmptyParts);
        for (QString &p : out)
            p.replace(QStringLiteral("{heic}"), Gallery::heicAdvice())
                .replace(QStringLiteral("{not}"),
                         QStringLiteral("：不是圖片（請用 JPG、PNG、BMP 或 GIF）"));
        return out;
    };
    QTest::addRow("%s: %s", folder, name) << QString::fromUtf8(folder) << split(files) << key
                                          << list << QString::fromUtf8(picture) << split(problems);
}

// Empty files, made in order under dir, "|" between; a name ending in "/" is a folder.
bool touch(const QString &dir, const QString &names)
{
    for (const QString &name : names.split(u'|')) {
        if (name.endsWith(u'/') ? !QDir(dir).mkpath(name)
                                : !QFile(dir + u'/' + name).open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}
} // namespace

class TestGallery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void names_data();
    void names();
    void scanListsFilesOnly();
    void logoByName_data();
    void logoByName();
    void atMostMaxFiles();
};

void TestGallery::names_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("list");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("problems");

    const auto prize = [](const char *name, const char *files, int line, const char *picture,
                          const char *problems = "") {
        row("prizes", name, files, line, picture, problems);
    };
    prize("line", "1.jpg", 1, "1.jpg");
    prize("leading zero, upper-case extension", "02.PNG", 2, "02.PNG");
    prize("full-width digit", "３.jpeg", 3, "３.jpeg");
    prize("text", "現金 6,000 元.jpg", 1, "現金 6,000 元.jpg");
    prize("text without blanks, Latin in another case", "dyson吹風機.GIF", 5, "dyson吹風機.GIF");
    prize("a slash as a blank", "iPhone 15  128GB.bmp", 2, "iPhone 15  128GB.bmp");
    prize("a slash left out", "iPhone 15 128GB.jpg", 2, "iPhone 15 128GB.jpg");
    // As a Mac names it: the accent apart from its letter.
    prize("decomposed accent", "Cafe\u0301 咖啡機.jpg", 7, "Cafe\u0301 咖啡機.jpg");
    prize("the number wins over the text", "1.jpg|現金 6,000 元.png", 1, "1.jpg",
          "現金 6,000 元.png：同一個獎品已用 1.jpg（號碼優先）");
    prize("two files for one line: the first by name", "1.png|01.jpg", 1, "01.jpg",
          "1.png：同一個獎品已用 01.jpg");
    prize("two files for one text", "現金 6,000 元.png|現金 6,000 元.jpg", 1, "現金 6,000 元.jpg",
          "現金 6,000 元.png：同一個獎品已用 現金 6,000 元.jpg");
    prize("a prize on two lines, named by the second", "6.jpg", 3, "6.jpg");
    prize("a prize on two lines, both numbered", "6.jpg|3.jpg", 3, "3.jpg",
          "6.jpg：與第 3 行是同一個獎品，已用 3.jpg");
    prize("a prize on two lines, by number and by text", "禮券 500 元.jpg|6.jpg", 3, "6.jpg",
          "禮券 500 元.jpg：同一個獎品已用 6.jpg（號碼優先）");
    prize("a blank line", "4.jpg", 1, "", "4.jpg：沒有這一行獎品");
    prize("past the list, 0, 57", "8.jpg|0.jpg|57.jpg", 1, "",
          "0.jpg：沒有這一行獎品|57.jpg：沒有這一行獎品|8.jpg：沒有這一行獎品");
    prize("a picture for no prize", "腳踏車.jpg|1.jpg", 1, "1.jpg",
          "腳踏車.jpg：獎品清單裡沒有這個獎品");
    prize("not a picture", "1.webp|說明.txt|2", 1, "", "1.webp{not}|2{not}|說明.txt{not}");
    prize("HEIC", "1.HEIC|現金 6,000 元.heif", 1, "", "1.HEIC：{heic}|現金 6,000 元.heif：{heic}");

    const auto photo = [](const char *name, const char *files, int number, const char *picture,
                          const char *problems = "", bool list = true) {
        row("photos", name, files, number, picture, problems, list);
    };
    photo("number", "7.jpg", 7, "7.jpg");
    photo("leading zeros", "007.JPG", 7, "007.JPG");
    photo("a number no list names", "56.png", 56, "56.png");
    photo("name", "王美玲.jpg", 7, "王美玲.jpg");
    photo("Latin name in another case", "amy chen.png", 9, "amy chen.png");
    photo("the number wins over the name", "王美玲.jpg|7.jpg", 7, "7.jpg",
          "王美玲.jpg：同一個人已用 7.jpg（號碼優先）");
    photo("two files for one name", "王美玲.png|王美玲.jpg", 7, "王美玲.jpg",
          "王美玲.png：同一個人已用 王美玲.jpg");
    photo("two files for one number", "7.jpg|07.jpg", 7, "07.jpg", "7.jpg：同一個號碼已用 07.jpg");
    photo("a name not on the list", "李四.jpg", 7, "", "李四.jpg：名單裡沒有這個名字");
    photo("no such number", "0.jpg|57.jpg", 7, "", "0.jpg：沒有這個號碼|57.jpg：沒有這個號碼");
    photo("a name two guests share", "王偉.jpg", 30, "王偉.jpg",
          "王偉.jpg：名單裡有 2 個人同名，12、30 號都會用這張相片；請用號碼命名");
    photo("a shared name, one numbered", "王偉.jpg|12.jpg", 30, "王偉.jpg",
          "王偉.jpg：名單裡有 2 個人同名，30 號都會用這張相片；請用號碼命名");
    photo("a shared name, both numbered", "王偉.jpg|12.jpg|30.jpg", 30, "30.jpg",
          "王偉.jpg：同一個人已用 12.jpg（號碼優先）");
    photo("no list: names are nobody", "王美玲.jpg|8.jpg", 8, "8.jpg",
          "王美玲.jpg：沒有名單，只能用號碼命名", false);
    photo("HEIC", "7.heic", 7, "", "7.heic：{heic}");
    photo("not a picture", "7.pdf", 7, "", "7.pdf{not}");
}

// Which picture a prize or a number gets, and what is said of every other file.
void TestGallery::names()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    QFETCH(int, key);
    QFETCH(bool, list);
    QFETCH(QString, picture);
    QFETCH(QStringList, problems);
    const bool prizes = folder == u"prizes";
    const Gallery g(Dir, prizes ? files : QStringList(), prizes ? QStringList() : files);
    const QMap<int, Guest> named = list ? guests() : QMap<int, Guest>{};
    const QString found =
        prizes ? g.prizePicture(Lines, Lines[key - 1]) : g.photo(key, named.value(key).name);
    QCOMPARE(found.isEmpty() ? QString() : QDir(Dir + u'/' + folder).relativeFilePath(found),
             picture);
    // Matched for all lines or numbers at once, the same.
    QCOMPARE(prizes ? g.prizePictures(Lines).value(key - 1) : g.photos(named).value(key - 1),
             found);
    QCOMPARE(said(g.unmatched(Lines, named)), problems);
}

// Listing opens nothing: a FIFO named like a picture is told, never waited on.
void TestGallery::scanListsFilesOnly()
{
    QTemporaryDir dir;
    QDir d(dir.path());
    QVERIFY(touch(dir.path(), QStringLiteral("prizes/2.jpg/|prizes/舊的/|photos/|prizes/1.jpg|"
                                             "prizes/._1.jpg|prizes/Thumbs.db|photos/王美玲.jpg|"
                                             "elsewhere.jpg")));
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
    QTest::addColumn<QString>("files");
    QTest::addColumn<QString>("logo");
    const auto row = [](const char *name, const char *files, const char *logo) {
        QTest::newRow(name) << QString::fromUtf8(files) << QString::fromUtf8(logo);
    };
    row("png before jpg", "logo.jpg|logo.png", "logo.png");
    row("any case", "LOGO.JPEG", "LOGO.JPEG");
    row("jpg before jpeg", "Logo.jpeg|logo.JPG", "logo.JPG");
    row("a folder is none", "logo.png/", "");
    row("other names are none", "logo.gif|logo2.png", "");
}

void TestGallery::logoByName()
{
    QFETCH(QString, files);
    QFETCH(QString, logo);
    QTemporaryDir dir;
    QVERIFY(touch(dir.path(), files));
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
