// Draws the program's pictures, synthesises its sounds and writes them, in their final formats, into the folder
// given as the only argument.
#include "atom.h"
#include "gifwriter.h"
#include "icowriter.h"
#include "lettering.h"
#include "motifs.h"
#include "sounds.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

namespace {

const QColor scrollRed(0xff, 0, 0);
const QColor gold(0xb9, 0xa4, 0x51);

void write(const QDir &dir, const QString &name, const QByteArray &data)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        throw std::runtime_error("cannot write " + name.toStdString());
    std::printf("%-18s %7lld bytes\n", qPrintable(name), static_cast<long long>(data.size()));
}

void writeImage(const QDir &dir, const QString &name, const QImage &img, const char *format)
{
    if (!img.save(dir.filePath(name), format))
        throw std::runtime_error("cannot write " + name.toStdString());
    std::printf("%-18s %4d x %d\n", qPrintable(name), img.width(), img.height());
}

void run(const QDir &out)
{
    write(out, QStringLiteral("app.ico"),
          Ico::encode({{Motifs::target(32), 4}, {Motifs::target(16), 4}}));
    // The desktop's icon theme: the two icon images as they are, larger sizes drawn smooth.
    QDir icons(out.filePath(QStringLiteral("icons")));
    if (!icons.exists() && !out.mkdir(QStringLiteral("icons")))
        throw std::runtime_error("cannot make the icons folder");
    for (int size : {16, 32, 48, 128, 256}) {
        const QImage img = size <= 32 ? Motifs::target(size) : Motifs::targetSmooth(size);
        writeImage(icons, QStringLiteral("zentavo-%1.png").arg(size), img, "PNG");
    }
    write(out, QStringLiteral("lamp.ico"),
          Ico::encode({{Motifs::lamp(32), 4}, {Motifs::lamp(16), 4}}));
    write(out, QStringLiteral("chance.ico"),
          Ico::encode({{Motifs::chanceSmooth(), 32},
                       {Motifs::chancePalette(false), 4},
                       {Motifs::chancePalette(true), 1}}));
    write(out, QStringLiteral("fate.ico"),
          Ico::encode({{Motifs::fateSmooth(), 32},
                       {Motifs::fatePalette(false), 4},
                       {Motifs::fatePalette(true), 1}}));
    write(out, QStringLiteral("firecracker.ico"),
          Ico::encode({{Motifs::firecrackers(32), 4}, {Motifs::firecrackers(16), 4}}));

    // The board's picture boxes clip the scrolls' right and bottom edges, so the column keeps
    // clear of the bottom.
    writeImage(out, QStringLiteral("scroll-left.bmp"),
               Lettering::verticalScroll({65, 407}, QStringLiteral("三陽開泰事事如意"), scrollRed,
                                         Qt::black, 44, 6, 16),
               "BMP");
    writeImage(out, QStringLiteral("scroll-right.bmp"),
               Lettering::verticalScroll({68, 416}, QStringLiteral("五福臨門歲歲平安"), scrollRed,
                                         Qt::black, 45, 6, 16),
               "BMP");
    writeImage(out, QStringLiteral("closing.bmp"),
               Lettering::centredLines(
                   {544, 251},
                   {QStringLiteral("獎品已經全部送出"), QStringLiteral("恭祝大家人人有獎")},
                   scrollRed, gold, 60, 22),
               "BMP");

    // The same pictures four times as large, for a board enlarged on a projector: drawn at
    // the size they are shown, the lettering stays sharp.
    constexpr int Large = 4;
    writeImage(out, QStringLiteral("scroll-left-large.png"),
               Lettering::verticalScroll({65 * Large, 407 * Large},
                                         QStringLiteral("三陽開泰事事如意"), scrollRed, Qt::black,
                                         44 * Large, 6 * Large, 16 * Large),
               "PNG");
    writeImage(out, QStringLiteral("scroll-right-large.png"),
               Lettering::verticalScroll({68 * Large, 416 * Large},
                                         QStringLiteral("五福臨門歲歲平安"), scrollRed, Qt::black,
                                         45 * Large, 6 * Large, 16 * Large),
               "PNG");
    writeImage(out, QStringLiteral("closing-large.png"),
               Lettering::centredLines(
                   {544 * Large, 251 * Large},
                   {QStringLiteral("獎品已經全部送出"), QStringLiteral("恭祝大家人人有獎")},
                   scrollRed, gold, 60 * Large, 22 * Large),
               "PNG");

    constexpr int frames = 24;
    QList<Gif::Frame> movie;
    for (int i = 0; i < frames; ++i)
        movie.append({Atom::frame({113, 41}, i, frames), 8});
    write(out, QStringLiteral("Atom1.gif"), Gif::encode(movie));

    write(out, QStringLiteral("click.wav"), Sounds::click());
    write(out, QStringLiteral("chime.wav"), Sounds::chime());
    write(out, QStringLiteral("fanfare.wav"), Sounds::fanfare());
    write(out, QStringLiteral("consolation.wav"), Sounds::consolation());
    write(out, QStringLiteral("closing.wav"), Sounds::closing());
    write(out, QStringLiteral("ding.wav"), Sounds::ding());
    write(out, QStringLiteral("roll.wav"), Sounds::roll());
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists()) {
        std::fprintf(stderr, "no folder %s\n", argv[1]);
        return 2;
    }
    try {
        run(out);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zentavo_imagegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
