#include "pictures.h"

#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QStringDecoder>
#include <QtEndian>
#include <QTest>

namespace {

struct IconImage
{
    int width;
    int height;
    int bitsPerPixel;
    int bytes;
};

quint16 u16(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 u32(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QSet<QRgb> coloursOf(const QImage &img)
{
    QSet<QRgb> colours;
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(rgb.pixel(x, y) & 0xffffff);
    return colours;
}

QString sourceFile(const char *name)
{
    return QStringLiteral(ZENTAVO_RESOURCES_DIR "/") + QLatin1String(name);
}

} // namespace

Q_DECLARE_METATYPE(QList<IconImage>)

class TestResources : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void iconImages_data();
    void iconImages();
    void iconDirectory_data();
    void iconDirectory();
    void bitmaps_data();
    void bitmaps();
    void closingLinesFillBothHalves();
    void themeIcons_data();
    void themeIcons();
    void prizeList();
    void animation();
    void dataBesideProgram_data();
    void dataBesideProgram();
};

namespace {

const QList<IconImage> twoSixteenColour = {{32, 32, 4, 744}, {16, 16, 4, 296}};
const QList<IconImage> cardImages = {{32, 32, 32, 4264}, {32, 32, 4, 744}, {32, 32, 1, 304}};

void addIconRows()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<IconImage>>("images");
    QTest::newRow("application") << Pictures::appIcon() << twoSixteenColour;
    QTest::newRow("lamp") << Pictures::lamp() << twoSixteenColour;
    QTest::newRow("chance card") << Pictures::chanceCard() << cardImages;
    QTest::newRow("fate card") << Pictures::fateCard() << cardImages;
    QTest::newRow("firecracker") << Pictures::firecracker() << twoSixteenColour;
}

} // namespace

void TestResources::iconImages_data()
{
    addIconRows();
}

// Every image decodes at its size, with a see-through ground and a visible motif.
void TestResources::iconImages()
{
    QFETCH(QString, path);
    QFETCH(QList<IconImage>, images);
    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), int(images.size()));
    for (qsizetype i = 0; i < images.size(); ++i) {
        QVERIFY(reader.jumpToImage(int(i)));
        const QImage img = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(img.size(), QSize(images[i].width, images[i].height));
        int opaque = 0;
        int clear = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                opaque += qAlpha(img.pixel(x, y)) == 255;
                clear += qAlpha(img.pixel(x, y)) == 0;
            }
        }
        const int area = img.width() * img.height();
        QVERIFY2(opaque >= area / 5, qPrintable(QString::number(opaque)));
        QVERIFY2(clear >= area / 10, qPrintable(QString::number(clear)));
    }
}

void TestResources::iconDirectory_data()
{
    addIconRows();
}

// The colour depth and byte size of each image, as the directory and the image's own header
// state them.
void TestResources::iconDirectory()
{
    QFETCH(QString, path);
    QFETCH(QList<IconImage>, images);
    const QByteArray ico = readAll(path);
    QVERIFY(ico.size() >= 6);
    QCOMPARE(u16(ico, 0), quint16(0));
    QCOMPARE(u16(ico, 2), quint16(1));
    QCOMPARE(u16(ico, 4), quint16(images.size()));
    qsizetype end = 6 + 16 * images.size();
    for (qsizetype i = 0; i < images.size(); ++i) {
        const qsizetype entry = 6 + 16 * i;
        const IconImage &want = images[i];
        QCOMPARE(int(quint8(ico[entry])), want.width);
        QCOMPARE(int(quint8(ico[entry + 1])), want.height);
        QCOMPARE(int(u16(ico, entry + 6)), want.bitsPerPixel);
        QCOMPARE(int(u32(ico, entry + 8)), want.bytes);
        const qsizetype at = u32(ico, entry + 12);
        QCOMPARE(at, end);
        end = at + want.bytes;
        QVERIFY(end <= ico.size());
        QCOMPARE(u32(ico, at), quint32(40));
        QCOMPARE(int(u32(ico, at + 4)), want.width);
        QCOMPARE(int(u32(ico, at + 8)), 2 * want.height);
        QCOMPARE(int(u16(ico, at + 14)), want.bitsPerPixel);
    }
    QCOMPARE(end, ico.size());
}

void TestResources::bitmaps_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QRgb>>("colours");
    QTest::addColumn<QRect>("shown");
    // "shown" is what the holding picture box shows inside its border; ink outside it is lost.
    const QList<QRgb> redAndBlack = {0xff0000, 0x000000};
    QTest::newRow("left scroll") << Pictures::scrollLeft() << QSize(65, 407) << redAndBlack
                                 << QRect(0, 0, 61, 397);
    QTest::newRow("right scroll") << Pictures::scrollRight() << QSize(68, 416) << redAndBlack
                                  << QRect(0, 0, 61, 405);
    QTest::newRow("closing") << Pictures::closing() << QSize(544, 251)
                             << QList<QRgb>{0xff0000, 0xb9a451} << QRect(0, 0, 538, 238);
}

void TestResources::bitmaps()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(QList<QRgb>, colours);
    QFETCH(QRect, shown);

    const QByteArray bmp = readAll(path);
    QVERIFY(bmp.startsWith("BM"));
    QCOMPARE(u32(bmp, 14), quint32(40));
    QCOMPARE(int(u32(bmp, 18)), size.width());
    QCOMPARE(int(u32(bmp, 22)), size.height());
    QCOMPARE(u16(bmp, 28), quint16(24));

    const QImage img(path);
    QCOMPARE(img.size(), size);
    QCOMPARE(coloursOf(img), QSet<QRgb>(colours.cbegin(), colours.cend()));
    const QRgb ground = colours[0];
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (!shown.contains(x, y) && (img.pixel(x, y) & 0xffffff) != ground)
                QFAIL(qPrintable(QStringLiteral("lettering cut off at %1,%2").arg(x).arg(y)));
        }
    }
}

void TestResources::closingLinesFillBothHalves()
{
    const QImage img(Pictures::closing());
    const int half = img.height() / 2;
    const QImage top = img.copy(0, 0, img.width(), half);
    const QImage bottom = img.copy(0, half, img.width(), img.height() - half);
    QVERIFY(coloursOf(top).contains(0xb9a451));
    QVERIFY(coloursOf(bottom).contains(0xb9a451));
}

void TestResources::themeIcons_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("icoImage"); // the application icon's image it must equal, or -1
    QTest::newRow("16") << 16 << 1;
    QTest::newRow("32") << 32 << 0;
    QTest::newRow("48") << 48 << -1;
    QTest::newRow("128") << 128 << -1;
    QTest::newRow("256") << 256 << -1;
}

// The desktop shows the program's own icon images at their sizes; the larger ones are the same
// target drawn smooth, with a see-through ground.
void TestResources::themeIcons()
{
    QFETCH(int, size);
    QFETCH(int, icoImage);
    const QString name = QStringLiteral("icons/zentavo-%1.png").arg(size);
    const QImage png = QImage(QStringLiteral(ZENTAVO_RESOURCES_DIR "/") + name)
                           .convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!png.isNull(), qPrintable(name));
    QCOMPARE(png.size(), QSize(size, size));
    if (icoImage >= 0) {
        QImageReader reader(Pictures::appIcon());
        QVERIFY(reader.jumpToImage(icoImage));
        QCOMPARE(png, reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    QCOMPARE(qAlpha(png.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(png.pixel(size / 2, size / 2)), 255);
    QCOMPARE(QColor(png.pixel(size / 2, size / 2)).red(), 255);
}

void TestResources::prizeList()
{
    const QByteArray raw = readAll(sourceFile("gift.txt"));
    QVERIFY(raw.endsWith("\r\n"));
    QCOMPARE(raw.count('\n'), raw.count("\r\n"));
    QStringDecoder big5("windows-950");
    QVERIFY(big5.isValid());
    const QString text = big5(raw);
    QVERIFY(!big5.hasError());
    QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.size(), 56);
    qsizetype consolation = 0;
    for (const QString &line : std::as_const(lines)) {
        QVERIFY(!line.trimmed().isEmpty());
        QCOMPARE(line, line.trimmed());
        if (line.endsWith(QStringLiteral("紀念獎")))
            ++consolation;
    }
    QVERIFY2(consolation >= 8 && consolation <= 12, qPrintable(QString::number(consolation)));
}

void TestResources::animation()
{
    QImageReader reader(sourceFile("Atom1.gif"));
    QCOMPARE(reader.format(), QByteArray("gif"));
    QCOMPARE(reader.size(), QSize(113, 41));
    QVERIFY(reader.imageCount() > 1);
    QCOMPARE(reader.loopCount(), -1); // forever
    QImage previous;
    for (int i = 0; i < reader.imageCount(); ++i) {
        const QImage frame = reader.read();
        QVERIFY2(!frame.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(frame.size(), QSize(113, 41));
        QVERIFY(reader.nextImageDelay() > 0);
        QVERIFY(frame != previous);
        previous = frame;
    }
}

void TestResources::dataBesideProgram_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("prize list") << QStringLiteral("gift.txt");
    QTest::newRow("animation") << QStringLiteral("Atom1.gif");
}

// The program reads these from its own folder, which is this test's folder too.
void TestResources::dataBesideProgram()
{
    QFETCH(QString, name);
    const QByteArray copy = readAll(QCoreApplication::applicationDirPath() + u'/' + name);
    QVERIFY(!copy.isEmpty());
    QCOMPARE(copy, readAll(QStringLiteral(ZENTAVO_RESOURCES_DIR "/") + name));
}

QTEST_GUILESS_MAIN(TestResources)
#include "test_resources.moc"
