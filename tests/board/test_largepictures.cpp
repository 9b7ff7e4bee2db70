#include "aboutbox.h"
#include "closingpicture.h"
#include "fonts.h"
#include "pictures.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QMovie>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <cmath>

// The pictures at every scale, on a plain desktop and (run again with QT_SCALE_FACTOR=2) on a
// HiDPI one: photos come from a source large enough, pixel art is enlarged without blur.
class TestLargePictures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void scrolls_data();
    void scrolls();
    void closingPicture_data();
    void closingPicture();
    void pixelArt_data();
    void pixelArt();
    void aboutAnimation_data();
    void aboutAnimation();
};

namespace {
constexpr int DesignW = 792;
constexpr int DesignH = 537;

qreal dpr()
{
    return qApp->devicePixelRatio();
}

// Screens up to 3840×2160 device pixels; at 200 % such a screen is 1920×1080 logical
// pixels, and s = 3 there stands for a larger one still.
void scaleRows()
{
    QTest::addColumn<double>("s");
    QTest::newRow("1") << 1.0;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("1.96 (1080p)") << 1050.0 / DesignH;
    if (dpr() > 1) {
        QTest::newRow("3") << 3.0;
    } else {
        QTest::newRow("2.61 (1440p)") << 1400.0 / DesignH;
        QTest::newRow("3.97 (2160p)") << 2130.0 / DesignH;
    }
}

double difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j);
            const QRgb q = y.pixel(i, j);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (double(x.width()) * x.height());
}

// How much the picture on the screen is enlarged from the source it was made from: of the
// design picture and its large version, the one that, brought to the shown size, looks
// most like what is shown.
double enlargement(const QPixmap &shown, const QString &design, const QString &large)
{
    const QImage seen = shown.toImage();
    double best = -1;
    double factor = 0;
    for (const QString &path : {design, large}) {
        const QImage source(path);
        const QImage ref =
            source.scaled(seen.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double d = difference(seen, ref);
        if (best < 0 || d < best) {
            best = d;
            factor = std::max(double(seen.width()) / source.width(),
                              double(seen.height()) / source.height());
        }
    }
    return factor;
}

void checkPhoto(const QLabel *label, double s, const QString &design, const QString &large)
{
    const QPixmap shown = label->pixmap();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.devicePixelRatio(), dpr());
    // The design's size at s in logical pixels, whatever source it came from.
    const QSize logical = QImage(design).size() * s;
    QVERIFY2(std::abs(shown.deviceIndependentSize().width() - logical.width()) <= 1 &&
                 std::abs(shown.deviceIndependentSize().height() - logical.height()) <= 1,
             qPrintable(QStringLiteral("shown %1×%2, expected %3×%4")
                            .arg(shown.deviceIndependentSize().width())
                            .arg(shown.deviceIndependentSize().height())
                            .arg(logical.width())
                            .arg(logical.height())));
    if (s == 1.0 && dpr() == 1.0) {
        QCOMPARE(shown.toImage(), QImage(design).convertToFormat(shown.toImage().format()));
        return;
    }
    const double e = enlargement(shown, design, large);
    QVERIFY2(e <= 1.55, qPrintable(QStringLiteral("enlarged %1 times").arg(e)));
}

// Premultiplied, so that a transparent pixel is one value however it was stored.
QSet<QRgb> colours(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QSet<QRgb> set;
    for (int j = 0; j < argb.height(); ++j) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(j));
        for (int i = 0; i < argb.width(); ++i)
            set.insert(line[i]);
    }
    return set;
}

// Every frame or image a file holds, for the colours a sharp enlargement may use.
QSet<QRgb> fileColours(const QString &path)
{
    QSet<QRgb> set;
    QImageReader reader(path);
    QImage image;
    // An animation is read frame after frame; an icon file is stepped through.
    const bool animation = reader.supportsAnimation();
    while (reader.read(&image)) {
        set.unite(colours(image));
        if (!animation && !reader.jumpToNextImage())
            break;
    }
    return set;
}

// A sharp enlargement only repeats source pixels; a smooth one mixes new colours in.
void checkSharp(const QImage &shown, const QSet<QRgb> &source, QSize physical)
{
    QVERIFY(!shown.isNull());
    QVERIFY2(std::abs(shown.width() - physical.width()) <= 1 &&
                 std::abs(shown.height() - physical.height()) <= 1,
             qPrintable(QStringLiteral("%1×%2 device pixels, expected %3×%4")
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(physical.width())
                            .arg(physical.height())));
    const QSet<QRgb> extra = colours(shown) - source;
    QVERIFY2(extra.isEmpty(),
             qPrintable(QStringLiteral("%1 colours not in the source, like #%2")
                            .arg(extra.size())
                            .arg(extra.isEmpty() ? 0 : *extra.begin(), 8, 16, QLatin1Char('0'))));
}

QSize physicalSize(QSize design, double s)
{
    return QSize(int(std::lround(design.width() * s * dpr())),
                 int(std::lround(design.height() * s * dpr())));
}

// A board whose client area gives the scale s.
void showAt(Stage &w, double s)
{
    w.boardWindow().show();
    const QSize client(int(std::ceil(DesignW * s)), int(std::ceil(DesignH * s)));
    w.boardWindow().resize(client.width(), client.height() + w.boardWindow().menuBar()->height());
    QCoreApplication::processEvents();
    QVERIFY(std::abs(w.boardWindow().scale() - s) < 0.01);
}
} // namespace

void TestLargePictures::initTestCase()
{
    Fonts::installSubstitutions();
    // The second run of this test is the HiDPI desktop; without the factor it tests nothing new.
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QCOMPARE(dpr(), qgetenv("QT_SCALE_FACTOR").toDouble());
}

void TestLargePictures::scrolls_data()
{
    scaleRows();
}

void TestLargePictures::scrolls()
{
    QFETCH(double, s);
    TestStage w;
    showAt(w, s);
    checkPhoto(w.boardWindow().findChild<QLabel *>(QStringLiteral("Picture2")),
               w.boardWindow().scale(), Pictures::scrollLeft(), Pictures::scrollLeftLarge());
    checkPhoto(w.boardWindow().findChild<QLabel *>(QStringLiteral("Picture3")),
               w.boardWindow().scale(), Pictures::scrollRight(), Pictures::scrollRightLarge());
}

void TestLargePictures::closingPicture_data()
{
    scaleRows();
}

void TestLargePictures::closingPicture()
{
    QFETCH(double, s);
    auto *w = new ClosingPicture;
    w->setScale(s);
    checkPhoto(w->findChild<QLabel *>(QStringLiteral("Picture1")), s, Pictures::closing(),
               Pictures::closingLarge());
    delete w;
}

void TestLargePictures::pixelArt_data()
{
    scaleRows();
}

void TestLargePictures::pixelArt()
{
    QFETCH(double, s);
    TestStage w;
    showAt(w, s);
    const double at = w.boardWindow().scale();
    // The lamp beside a cell.
    const QImage lamp(Pictures::lamp());
    const QLabel *marker = w.boardWindow().marker(0);
    checkSharp(marker->pixmap().toImage(), fileColours(Pictures::lamp()),
               physicalSize(lamp.size(), at));
    // The card icons as the buttons draw them.
    const QString cards[2] = {Pictures::chanceCard(), Pictures::fateCard()};
    for (int i = 0; i < 2; ++i) {
        const QPushButton *b = w.boardWindow().cardButton(i);
        QCOMPARE(b->iconSize(), QSize(32, 32) * at);
        const QPixmap drawn = b->icon().pixmap(b->iconSize(), dpr());
        checkSharp(drawn.toImage(), fileColours(cards[i]), physicalSize(QSize(32, 32), at));
    }
}

void TestLargePictures::aboutAnimation_data()
{
    scaleRows();
}

void TestLargePictures::aboutAnimation()
{
    QFETCH(double, s);
    const QString gif = QStringLiteral(ZENTAVO_RESOURCES "/Atom1.gif");
    auto *w = new AboutBox(QStringLiteral(ZENTAVO_RESOURCES));
    w->setScale(s);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto *label = w->findChild<QLabel *>(QStringLiteral("Gif1"));
    // What the label draws, in device pixels; beyond the frame only the box's own face.
    QSet<QRgb> allowed = fileColours(gif);
    allowed.insert(label->palette().color(QPalette::Window).rgba());
    const QSize box = label->size() * dpr();
    const QImage first = label->grab().toImage();
    checkSharp(first, allowed, box);
    // It goes on playing at that size.
    QTRY_VERIFY(label->grab().toImage() != first);
    checkSharp(label->grab().toImage(), allowed, box);
    delete w;
}

QTEST_MAIN(TestLargePictures)
#include "test_largepictures.moc"
