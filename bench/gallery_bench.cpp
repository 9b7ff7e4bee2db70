#include "gallery_bench.h"

#include "app_bench.h"

#include "board.h"
#include "hostilepictures.h"
#include "picturereader.h"
#include "procstats.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {
constexpr int Pictures = Board::Cells;
const QSize Phone(4000, 3000);

// A photo's worth of detail: smooth light, a few shapes and fine noise, so that the JPEG is
// about as large as a phone's.
QByteArray phoneJpeg()
{
    QImage image(Phone, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, Phone.width(), Phone.height());
    g.setColorAt(0, QColor(40, 90, 160));
    g.setColorAt(1, QColor(230, 180, 120));
    p.fillRect(image.rect(), g);
    QRandomGenerator random(7);
    for (int i = 0; i < 400; ++i) {
        p.setBrush(QColor::fromRgb(random.generate() | 0xFF000000));
        p.drawEllipse(QPoint(random.bounded(Phone.width()), random.bounded(Phone.height())),
                      random.bounded(20, 300), random.bounded(20, 300));
    }
    p.end();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] ^= random.generate() & 0x070707;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// Held sideways, as phones store most portraits: orientation 6 in an Exif segment.
QByteArray turned(const QByteArray &jpeg)
{
    const QByteArray body = QByteArray("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01"
                                       "\0\x06\0\0\0\0\0\0",
                                       32);
    QByteArray app1("\xFF\xE1", 2);
    app1 += char(0);
    app1 += char(body.size() + 2);
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList lines()
{
    QStringList out;
    for (int i = 1; i <= Pictures; ++i)
        out << QStringLiteral("獎品 %1").arg(i);
    return out;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

double msOf(const std::function<void()> &f, int times)
{
    QList<double> ms;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms << t.nsecsElapsed() / 1e6;
    }
    return median(ms);
}
} // namespace

int runGalleryChild(const QString &dir)
{
    QTemporaryDir none;
    const auto check = [](const QString &d) { PictureReport::make(Gallery::scan(d), lines(), {}); };
    const double headers = msOf([&] { check(dir); }, 5);
    const double empty = msOf([&] { check(none.path()); }, 5);
    const qint64 before = ProcStats::peakKiB();
    const Gallery g = Gallery::scan(dir);
    QList<QImage> held;
    QElapsedTimer t;
    t.start();
    for (const QString &path : g.prizeFiles() + g.photoFiles())
        held << PictureReader::read(path, QSize(1920, 1080) / 3);
    const double decode = t.nsecsElapsed() / 1e6;
    QTextStream(stdout) << headers << ' ' << empty << ' ' << decode << ' ' << before << ' '
                        << ProcStats::peakKiB() << ' '
                        << std::count_if(held.cbegin(), held.cend(),
                                         [](const QImage &i) { return !i.isNull(); })
                        << '\n';
    return 0;
}

void runGalleryBench(QTextStream &out, const QString &self)
{
    QTemporaryDir dir;
    QDir d(dir.path());
    const QByteArray jpeg = phoneJpeg();
    if (!d.mkpath(QLatin1String(Gallery::PrizeFolder)) ||
        !d.mkpath(QLatin1String(Gallery::PhotoFolder)))
        return;
    for (int n = 1; n <= Pictures; ++n)
        if (!write(d.filePath(QStringLiteral("prizes/%1.jpg").arg(n)), jpeg) ||
            !write(d.filePath(QStringLiteral("photos/%1.jpg").arg(n)), turned(jpeg)))
            return;
    out << "\n**Pictures beside the program** (56 prizes and 56 photos, 4000 × 3000 JPEGs of "
        << jpeg.size() / 1024 << " KiB, the photos held sideways; in a fresh process)\n\n";
    QProcess p;
    p.start(self, {QStringLiteral("gallery-child"), dir.path()});
    p.waitForFinished(600000);
    const QStringList f = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(u' ');
    if (f.size() < 6) {
        out << "The child failed.\n";
        return;
    }
    out << "| what | time |\n|---|---|\n";
    out << QStringLiteral("| start check, 112 pictures' headers | %1 ms |\n")
               .arg(f[0].toDouble(), 0, 'f', 1);
    out << QStringLiteral("| start check, no pictures | %1 ms |\n").arg(f[1].toDouble(), 0, 'f', 1);
    out << QStringLiteral("| decoding all %1 fitted into 640 × 360 | %2 ms |\n")
               .arg(f[5])
               .arg(f[2].toDouble(), 0, 'f', 0);
    const QString one = d.filePath(QStringLiteral("photos/1.jpg"));
    const double big = msOf([&] { PictureReader::read(one, QSize(3840, 2160) / 3); }, 5);
    out << QStringLiteral("| one photo fitted into 1280 × 720 | %1 ms |\n").arg(big, 0, 'f', 1);
    out << QStringLiteral("\nPeak memory: %1 MB before decoding, %2 MB with the 112 pictures "
                          "held (the cap: 300 MB for the program).\n")
               .arg(f[3].toLongLong() / 1024.0, 0, 'f', 1)
               .arg(f[4].toLongLong() / 1024.0, 0, 'f', 1);

    // The whole board with the pictures beside it, as the program starts: the folder
    // scanned, checked and handed to the night before the first paint.
    constexpr int Turns = 7;
    QList<double> bare, with, bareMiB, withMiB;
    for (int i = 0; i < Turns; ++i) {
        const AppChildFigures b = runAppChildProcess(self, QStringLiteral("board"), 0);
        const AppChildFigures p =
            runAppChildProcess(self, QStringLiteral("pictures:") + dir.path(), 0);
        bare << b.startupMs;
        with << p.startupMs;
        bareMiB << b.peakMiB;
        withMiB << p.peakMiB;
    }
    out << QStringLiteral("\n| start-up to first paint (median of %1, taking turns) | without "
                          "pictures | with the 112 |\n|---|---|---|\n")
               .arg(Turns);
    out << QStringLiteral("| time | %1 ms | %2 ms |\n")
               .arg(median(bare), 0, 'f', 1)
               .arg(median(with), 0, 'f', 1);
    out << QStringLiteral("| peak memory after the first paint | %1 MB | %2 MB |\n")
               .arg(median(bareMiB), 0, 'f', 1)
               .arg(median(withMiB), 0, 'f', 1);
}

int runHostilePicturesChild(const QString &dir)
{
    QTextStream out(stdout);
    const QFileInfoList files =
        QDir(dir).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &file : files) {
        const double before = ProcStats::cpuSeconds();
        QString problem = PictureReader::check(file.filePath()).problem;
        if (problem.isEmpty())
            PictureReader::read(file.filePath(), QSize(3840, 2160) / 3, &problem);
        out << file.fileName() << '\t' << (ProcStats::cpuSeconds() - before) * 1000 << '\t'
            << (problem.isEmpty() ? QStringLiteral("read") : problem) << '\n';
    }
    out << "peak\t" << ProcStats::peakKiB() << '\n';
    return 0;
}

void runHostilePicturesBench(QTextStream &out, const QString &self)
{
    QTemporaryDir dir;
    QDir d(dir.path());
    const QByteArray jpeg = phoneJpeg();
    write(d.filePath(QStringLiteral("a phone photo.jpg")), jpeg);
    write(d.filePath(QStringLiteral("bomb 100000 x 100000.png")),
          HostilePictures::pngClaiming(100000, 100000));
    write(d.filePath(QStringLiteral("bitmap claiming 7000 x 7000.bmp")),
          HostilePictures::bmpClaiming(7000, 7000));
    write(d.filePath(QStringLiteral("phone photo cut in half.jpg")), jpeg.left(jpeg.size() / 2));
    write(d.filePath(QStringLiteral("header then noise.jpg")),
          jpeg.left(600) + QByteArray(4 << 20, '\x5a'));
    write(d.filePath(QStringLiteral("iphone.heic")),
          QByteArray::fromHex("00000018") + "ftyp" + QByteArray("heic\0\0\0\0mif1heic", 16));
    {
        QFile sparse(d.filePath(QStringLiteral("200 MB.jpg")));
        if (sparse.open(QIODevice::WriteOnly) && sparse.write(jpeg.left(100)) == 100)
            sparse.resize(qint64(200) << 20);
    }
    d.mkdir(QStringLiteral("folder.jpg"));
    // Made by the tools a machine has; a row is missing where one is not.
    QProcess::execute(QStringLiteral("mkfifo"), {d.filePath(QStringLiteral("fifo.jpg"))});
    QProcess::execute(QStringLiteral("convert"),
                      {QStringLiteral("-size"), QStringLiteral("4000x3000"),
                       QStringLiteral("plasma:"), QStringLiteral("-colorspace"),
                       QStringLiteral("CMYK"), d.filePath(QStringLiteral("cmyk.jpg"))});
    QProcess::execute(QStringLiteral("convert"),
                      {QStringLiteral("-delay"), QStringLiteral("10"), QStringLiteral("-size"),
                       QStringLiteral("1920x1080"), QStringLiteral("plasma:"),
                       QStringLiteral("plasma:"), QStringLiteral("plasma:"),
                       QStringLiteral("-loop"), QStringLiteral("0"),
                       d.filePath(QStringLiteral("animated.gif"))});

    QProcess p;
    p.start(self, {QStringLiteral("hostile-child"), dir.path()});
    p.waitForFinished(600000);
    out << "\n**Hostile pictures** (each checked, then read fitted into 1280 × 720 unless "
           "refused; in a fresh process; the cap: 1 s of CPU each, 300 MB for the program)\n\n"
           "| file | CPU | outcome |\n|---|---|---|\n";
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        const QStringList f = line.split(u'\t');
        if (f.size() == 3)
            out << QStringLiteral("| %1 | %2 ms | %3 |\n")
                       .arg(f[0])
                       .arg(f[1].toDouble(), 0, 'f', 1)
                       .arg(f[2]);
        else if (f.size() == 2 && f[0] == QLatin1String("peak"))
            out << QStringLiteral("\nPeak memory of the process: %1 MB.\n")
                       .arg(f[1].toLongLong() / 1024.0, 0, 'f', 1);
    }
}
