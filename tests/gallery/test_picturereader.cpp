#include "picturereader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include "fifowatch.h"
#include "files.h"
#include "hostilepictures.h"

#include <memory>

namespace {
using HostilePictures::bmpClaiming;
using HostilePictures::pngClaiming;

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// Four quadrants of four colours: every turn and mirror looks different.
const QColor Corners[4] = {Qt::red, Qt::green, Qt::blue, Qt::white}; // TL, TR, BL, BR

QImage quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, Corners[(y >= height / 2) * 2 + (x >= width / 2)]);
    return image;
}

QImage transposed(const QImage &image)
{
    return image.transformed(QTransform().rotate(90)).mirrored(true, false);
}

// What a camera stores for orientation tag o so that the upright picture is shown.
QImage storedFor(const QImage &upright, int o)
{
    switch (o) {
    case 2:
        return upright.mirrored(true, false);
    case 3:
        return upright.mirrored(true, true);
    case 4:
        return upright.mirrored(false, true);
    case 5:
        return transposed(upright);
    case 6:
        return upright.transformed(QTransform().rotate(-90));
    case 7:
        return transposed(upright).mirrored(true, true);
    case 8:
        return upright.transformed(QTransform().rotate(90));
    }
    return upright;
}

// A JPEG with an APP1 Exif segment holding only the orientation tag, as cameras write it.
QByteArray withOrientation(const QByteArray &jpeg, int o)
{
    QByteArray tiff("MM\x00\x2a\x00\x00\x00\x08", 8);
    tiff += QByteArray("\x00\x01", 2);                         // one entry
    tiff += QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01", 8); // Orientation, SHORT, 1
    tiff += char(0) + QByteArray(1, char(o)) + QByteArray(2, '\0');
    tiff += QByteArray(4, '\0'); // no next IFD
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1 += char((body.size() + 2) >> 8);
    app1 += char((body.size() + 2) & 0xFF);
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) < 60 && std::abs(a.green() - b.green()) < 60 &&
           std::abs(a.blue() - b.blue()) < 60;
}

// ImageMagick makes what Qt cannot write: an animation, a CMYK JPEG.
bool convert(const QStringList &args)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (tool.isEmpty())
        return false;
    QProcess p;
    p.start(tool, args);
    return p.waitForFinished(60000) && p.exitCode() == 0;
}
} // namespace

class TestPictureReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void hostile_data();
    void hostile();
    void orientation_data();
    void orientation();
    void animationGivesItsFirstFrame();
    void report();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FifoWatch> m_fifo;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString path(const char *name) const { return path(QString::fromUtf8(name)); }
};

void TestPictureReader::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestPictureReader::hostile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QSize>("size"); // read into 320 × 240, when it can be
    // What the header alone tells: a JPEG cut off after its header, a bitmap with no pixels
    // behind its header pass it; anything else the header already says as the read does.
    QTest::addColumn<QString>("header");

    const auto make = [this](const char *name, const QByteArray &bytes) {
        writeFile(path(name), bytes);
        return path(name);
    };
    const auto row = [](const char *name, const QString &file, QAnyStringView problem,
                        QSize size = {}, const char *header = nullptr) {
        QTest::newRow(name) << file << problem.toString() << size
                            << (header ? QString::fromUtf8(header) : problem.toString());
    };
    const QByteArray jpeg = encoded(quadrants(800, 600), "JPG");
    const char *notPicture = "無法讀取（不是 JPEG、PNG、BMP 或 GIF 圖片）";
    // The box HEIC and AVIF begin with: brand, version, compatible brands.
    const auto ftyp = [](const char *brands) {
        return QByteArray::fromHex("00000018") + "ftyp" + QByteArray(brands, 16);
    };

    row("a JPEG", make("ok.jpg", jpeg), "", {320, 240});
    row("a PNG named .jpg", make("png.jpg", encoded(quadrants(300, 600), "PNG")), "", {120, 240});
    row("bytes after the end, as phones add", make("tail.jpg", jpeg + QByteArray(5000, 'x')), "",
        {320, 240});
    row("PNG claiming 100000 × 100000", make("bomb.png", pngClaiming(100000, 100000)),
        "圖片太大（100000 × 100000 像素）");
    row("PNG claiming 8000 × 7000", make("big.png", pngClaiming(8000, 7000)),
        "圖片太大（8000 × 7000 像素）");
    // Under the pixel cap, over the allocation cap: refused as it is decoded.
    row("BMP claiming 7000 × 7000", make("big.bmp", bmpClaiming(7000, 7000)), "無法讀取", {}, "");
    row("JPEG cut in half", make("half.jpg", jpeg.left(jpeg.size() / 2)), "無法讀取（檔案不完整）",
        {}, "");
    row("JPEG header, then noise", make("noise.jpg", jpeg.left(20) + QByteArray(4000, '\x5a')),
        "無法讀取");
    row("an empty file", make("empty.png", {}), notPicture);
    row("text named .jpg", make("text.jpg", "not a picture at all\n"), notPicture);
    row("HEIC named .jpg",
        make("iphone.jpg", ftyp("heic\0\0\0\0mif1heic") + QByteArray(2000, '\x11')),
        Gallery::heicAdvice());
    row("HEIC by compatible brand", make("iphone2.jpg", ftyp("msf1\0\0\0\0heixabcd")),
        Gallery::heicAdvice());
    row("HEIC by name", make("iphone.HEIC", jpeg), Gallery::heicAdvice());
    row("AVIF is no iPhone's", make("x.avif", ftyp("avif\0\0\0\0mif1miaf")), notPicture);
    row("missing", path("missing.jpg"), "找不到檔案");
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.jpg")));
    row("a folder", path("folder.jpg"), "不是檔案（資料夾或特殊檔案）");
    {
        QFile sparse(path("sparse.jpg"));
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        QVERIFY(sparse.write(jpeg.left(100)) == 100);
        QVERIFY(sparse.resize(qint64(200) << 20));
    }
    row("200 MB", path("sparse.jpg"), "檔案太大（超過 50 MB）");
    m_fifo = std::make_unique<FifoWatch>(path("fifo.jpg"));
    if (m_fifo->ok)
        row("a FIFO", path("fifo.jpg"), "不是檔案（資料夾或特殊檔案）");
    if (convert({QStringLiteral("-size"), QStringLiteral("400x300"), QStringLiteral("xc:red"),
                 QStringLiteral("-colorspace"), QStringLiteral("CMYK"), path("cmyk.jpg")}))
        row("CMYK JPEG", path("cmyk.jpg"), "", {320, 240});
    // Its first frame, standing still.
    if (convert({QStringLiteral("-delay"), QStringLiteral("10"), QStringLiteral("-size"),
                 QStringLiteral("400x300"), QStringLiteral("xc:red"), QStringLiteral("xc:blue"),
                 QStringLiteral("-loop"), QStringLiteral("0"), path("moving.gif")}))
        row("animated GIF", path("moving.gif"), "", {320, 240});
}

void TestPictureReader::hostile()
{
    QFETCH(QString, file);
    QFETCH(QString, problem);
    QFETCH(QSize, size);
    QFETCH(QString, header);
    QCOMPARE(PictureReader::check(file).problem, header);
    QString why = QStringLiteral("unset");
    const QImage image = PictureReader::read(file, {320, 240}, &why);
    QCOMPARE(why, problem);
    QCOMPARE(image.isNull() ? QSize() : image.size(), size);
    if (m_fifo)
        QVERIFY(!m_fifo->opened);
}

void TestPictureReader::orientation_data()
{
    QTest::addColumn<int>("tag");
    for (int o = 1; o <= 8; ++o)
        QTest::addRow("%d", o) << o;
}

// Upright 240 × 160 whatever the camera stored; fitted into 90 × 90 it is 90 × 60, and the
// decoder was asked for the stored shape.
void TestPictureReader::orientation()
{
    QFETCH(int, tag);
    const QImage upright = quadrants(240, 160);
    const QString file = path(QStringLiteral("o%1.jpg").arg(tag));
    writeFile(file, withOrientation(encoded(storedFor(upright, tag), "JPG"), tag));

    QCOMPARE(PictureReader::check(file).size, QSize(240, 160));
    for (const QSize &box : {QSize(), QSize(90, 90)}) {
        QString why;
        const QImage image = PictureReader::read(file, box, &why);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QCOMPARE(image.size(), box.isValid() ? QSize(90, 60) : QSize(240, 160));
        const int w = image.width(), h = image.height();
        const QPoint at[4] = {
            {w / 4, h / 4}, {w * 3 / 4, h / 4}, {w / 4, h * 3 / 4}, {w * 3 / 4, h * 3 / 4}};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(
                near(image.pixelColor(at[i]), Corners[i]),
                qPrintable(
                    QStringLiteral("corner %1 is %2").arg(i).arg(image.pixelColor(at[i]).name())));
    }
}

void TestPictureReader::animationGivesItsFirstFrame()
{
    const QString file = path(QStringLiteral("anim.gif"));
    if (!convert({QStringLiteral("-delay"), QStringLiteral("10"), QStringLiteral("-size"),
                  QStringLiteral("64x48"), QStringLiteral("xc:red"), QStringLiteral("xc:blue"),
                  QStringLiteral("-loop"), QStringLiteral("0"), file}))
        QSKIP("ImageMagick's convert is not here");
    QString why;
    const QImage image = PictureReader::read(file, {32, 32}, &why);
    QCOMPARE(why, QString());
    QCOMPARE(image.size(), QSize(32, 24));
    QVERIFY(near(image.pixelColor(16, 12), Qt::red));
}

// What HR reads before the night.
void TestPictureReader::report()
{
    QTemporaryDir dir;
    QDir d(dir.path());
    QVERIFY(d.mkpath(QStringLiteral("prizes")) && d.mkpath(QStringLiteral("photos")));
    const QByteArray good = encoded(quadrants(500, 400), "JPG");
    for (const char *name : {"prizes/1.jpg", "prizes/禮券.jpg", "prizes/腳踏車.jpg", "photos/7.jpg",
                             "photos/王美玲.jpg", "photos/8.heic"})
        writeFile(d.filePath(QString::fromUtf8(name)), good);
    writeFile(d.filePath(QStringLiteral("prizes/2.png")), encoded(quadrants(300, 200), "PNG"));
    writeFile(d.filePath(QStringLiteral("prizes/03.jpg")), good.left(30));
    writeFile(d.filePath(QStringLiteral("logo.png")), encoded(quadrants(600, 200), "PNG"));
    // Lines 5 and 6 are one prize: its picture is checked once.
    const QStringList lines{
        QStringLiteral("現金"), QStringLiteral("電視"), QStringLiteral("吹風機"), QString(),
        QStringLiteral("禮券"), QStringLiteral("禮券"), QStringLiteral("咖啡機")};
    const QMap<int, Guest> guests{{7, {QStringLiteral("陳大文"), {}}},
                                  {9, {QStringLiteral("王美玲"), {}}}};
    const PictureReport r = PictureReport::make(Gallery::scan(dir.path()), lines, guests);
    QCOMPARE(r.text(), QStringLiteral("獎品圖片：4 個獎品有圖片，2 個沒有\n"
                                      "得獎者相片：2 個號碼有相片，54 個沒有\n"
                                      "標誌：logo.png\n"
                                      "prizes/腳踏車.jpg：獎品清單裡沒有這個獎品\n"
                                      "photos/8.heic：") +
                           Gallery::heicAdvice() +
                           QStringLiteral("\nprizes/2.png：小於 400 像素（300 × 200）\n"
                                          "prizes/03.jpg：無法讀取"));
    QVERIFY(!r.isEmpty());
    QVERIFY(PictureReport::make(Gallery::scan(d.filePath(QStringLiteral("none"))), lines, guests)
                .isEmpty());
}

QTEST_GUILESS_MAIN(TestPictureReader)
#include "test_picturereader.moc"
