#include "motifs.h"

#include "pixelart.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace {

const QColor black(0, 0, 0);
const QColor maroon(0x80, 0, 0);
const QColor green(0, 0x80, 0);
const QColor olive(0x80, 0x80, 0);
const QColor grey(0x80, 0x80, 0x80);
const QColor silver(0xc0, 0xc0, 0xc0);
const QColor red(0xff, 0, 0);
const QColor yellow(0xff, 0xff, 0);
const QColor blue(0, 0, 0xff);
const QColor white(0xff, 0xff, 0xff);

// Outlines are one pixel wide; they must not vanish where a curve crosses a pixel slantwise.
const QHash<QRgb, double> outlineWins = {{qRgb(0, 0, 0), 2.2}};

QPen outline(double width)
{
    QPen pen(black, width);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Ring k spans from radius edges[k] inwards; each disc gets an outline inside its edge.
void paintTarget(QPainter &p, QPointF centre, const std::array<double, 4> &edges, double pen)
{
    const std::array<QColor, 4> fills = {yellow, red, yellow, red};
    for (int k = 0; k < 4; ++k) {
        p.setPen(outline(pen));
        p.setBrush(fills[k]);
        const double r = edges[k] - pen / 2;
        p.drawEllipse(centre, r, r);
    }
}

void paintTarget(QPainter &p, int size)
{
    if (size >= 32)
        paintTarget(p, {16, 16}, {15.5, 11.75, 8.0, 4.25}, 1.0);
    else
        paintTarget(p, {8, 8}, {8.0, 6.0, 4.0, 2.0}, 1.0);
}

void paintLamp(QPainter &p, int size)
{
    const double s = size / 32.0;
    const QPointF c(size / 2.0, size / 2.0);
    const double rayWidth = size >= 32 ? 2.2 : 1.2;
    const double rayFrom = size >= 32 ? 11.0 : 5.6;
    const double rayTo = size >= 32 ? 15.6 : 8.0;
    QPen ray(red, rayWidth, Qt::SolidLine, Qt::FlatCap);
    p.setPen(ray);
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(c + rayFrom * d, c + rayTo * d);
    }
    const double body = size >= 32 ? 9.5 : 4.9;
    const double rim = size >= 32 ? 1.0 : 1.0;
    p.setPen(Qt::NoPen);
    p.setBrush(black);
    p.drawEllipse(c, body, body);
    p.setBrush(white);
    p.drawEllipse(c, body - rim, body - rim);
    const double glass = body - rim - (size >= 32 ? 1.3 : 0.9);
    p.setBrush(red);
    p.drawEllipse(c, glass, glass);

    // A darker lower-right crescent and a glint make it read as a lit lamp, not a dot.
    QPainterPath disc;
    disc.addEllipse(c, glass, glass);
    QPainterPath lit;
    lit.addEllipse(c - QPointF(1.6, 1.6) * s, glass, glass);
    p.setBrush(maroon);
    p.drawPath(disc.subtracted(lit));
    p.setBrush(white);
    if (size >= 32)
        p.drawEllipse(c - QPointF(3.2, 3.2), 1.7, 1.7);
    else
        p.drawRect(QRectF(c - QPointF(2, 2), QSizeF(1, 1)));
}

// A sign glyph fitted into box, keeping its proportions.
QPainterPath sign(QChar ch, const QRectF &box)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(100);
    QPainterPath path;
    path.addText(0, 0, font, QString(ch));
    const QRectF ink = path.boundingRect();
    const double k = std::min(box.width() / ink.width(), box.height() / ink.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-ink.center().x(), -ink.center().y());
    return t.map(path);
}

struct Disc
{
    QColor fill;
    QColor rim;
    QColor mark;
};

void paintSignDisc(QPainter &p, QChar ch, const Disc &d, double markHeight)
{
    p.setPen(QPen(d.rim, 1.0));
    p.setBrush(d.fill);
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(d.mark);
    p.drawPath(sign(ch, QRectF(16 - markHeight / 2, 16 - markHeight / 2, markHeight, markHeight)));
}

void paintSmoothSignDisc(QPainter &p, QChar ch, QColor light, QColor dark, QColor rim, QColor mark,
                         double markHeight)
{
    QRadialGradient shade(QPointF(12, 11), 19);
    shade.setColorAt(0, light);
    shade.setColorAt(1, dark);
    p.setPen(QPen(rim, 1.0));
    p.setBrush(shade);
    p.drawEllipse(QPointF(16, 16), 15.0, 15.0);
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    p.drawPath(sign(ch, QRectF(16 - markHeight / 2, 16 - markHeight / 2, markHeight, markHeight)));
}

// One firecracker: an upright red tube with yellow end bands and a fuse bending out to tip.
void paintCracker(QPainter &p, const QRectF &tube, QPointF tip, double pen)
{
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawRect(tube);
    p.setBrush(maroon);
    p.drawRect(QRectF(tube.right() - pen - 2 * pen, tube.top(), 2 * pen, tube.height()));
    p.setBrush(yellow);
    const double band = tube.height() >= 12 ? 2 : 1;
    p.drawRect(QRectF(tube.left(), tube.top() + 2 * pen, tube.width(), band));
    p.drawRect(QRectF(tube.left(), tube.bottom() - 2 * pen - band, tube.width(), band));
    p.setPen(outline(pen));
    p.setBrush(Qt::NoBrush);
    p.drawRect(tube.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));

    const QPointF root(tube.center().x(), tube.top());
    QPainterPath fuse(root);
    fuse.quadTo(QPointF(root.x(), tip.y()), tip);
    p.setPen(QPen(grey, pen, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(fuse);
}

void paintBurst(QPainter &p, QPointF at, double reach, double pen)
{
    const std::array<QColor, 4> colours = {yellow, red, yellow, red};
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4 + std::numbers::pi / 8;
        const QPointF d(std::cos(a), std::sin(a));
        const double r = i % 2 ? reach * 0.65 : reach;
        p.setPen(QPen(colours[i % 4], pen, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(at + d * reach * 0.25, at + d * r);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(at, pen * 0.9, pen * 0.9);
}

void paintFirecrackers(QPainter &p, int size)
{
    struct Spark
    {
        QPointF at;
        QColor colour;
    };
    if (size >= 32) {
        const QPointF a(6.5, 8.5);
        const QPointF b(24.5, 10.5);
        paintCracker(p, QRectF(5, 14, 8, 17), a, 1.0);
        paintCracker(p, QRectF(16, 17, 8, 14), b, 1.0);
        paintBurst(p, a, 6.5, 1.4);
        paintBurst(p, b, 6.0, 1.4);
        const Spark sparks[] = {{{15.5, 4.5}, yellow}, {{1.5, 1.5}, blue},   {{29.5, 2.5}, red},
                                {{20.5, 1.5}, grey},   {{14.5, 11.5}, blue}, {{28.5, 23.5}, grey},
                                {{1.5, 19.5}, yellow}, {{27.5, 29.5}, red}};
        for (const Spark &s : sparks) {
            p.setPen(QPen(s.colour, 1.0, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(s.at - QPointF(1.5, 0), s.at + QPointF(1.5, 0));
            p.drawLine(s.at - QPointF(0, 1.5), s.at + QPointF(0, 1.5));
        }
    } else {
        const QPointF a(3.5, 4.5);
        const QPointF b(12.5, 5.5);
        paintCracker(p, QRectF(2, 8, 5, 8), a, 1.0);
        paintCracker(p, QRectF(9, 9, 5, 7), b, 1.0);
        paintBurst(p, a, 3.4, 1.0);
        paintBurst(p, b, 3.2, 1.0);
        const Spark sparks[] = {{{8.5, 1.5}, yellow}, {{1.5, 0.5}, blue},   {{15.5, 0.5}, red},
                                {{7.5, 5.5}, blue},   {{15.5, 12.5}, grey}, {{0.5, 10.5}, grey}};
        p.setPen(Qt::NoPen);
        for (const Spark &s : sparks) {
            p.setBrush(s.colour);
            p.drawRect(QRectF(s.at - QPointF(0.5, 0.5), QSizeF(1, 1)));
        }
    }
}

} // namespace

QImage Motifs::target(int size)
{
    return PixelArt::render(
        size, [size](QPainter &p) { paintTarget(p, size); }, outlineWins);
}

QImage Motifs::targetSmooth(int size)
{
    return PixelArt::renderSmooth(size, size / 32.0, [](QPainter &p) { paintTarget(p, 32); });
}

QImage Motifs::lamp(int size)
{
    return PixelArt::render(
        size, [size](QPainter &p) { paintLamp(p, size); }, outlineWins);
}

QImage Motifs::chanceSmooth()
{
    return PixelArt::renderSmooth(32, 1.0, [](QPainter &p) {
        paintSmoothSignDisc(p, u'?', white, QColor(0xd8, 0xd8, 0xd8), QColor(0x70, 0x70, 0x70),
                            QColor(0xe0, 0, 0), 21);
    });
}

QImage Motifs::chancePalette(bool monochrome)
{
    const Disc d = monochrome ? Disc{white, black, black} : Disc{green, black, white};
    return PixelArt::render(
        32, [d](QPainter &p) { paintSignDisc(p, u'?', d, 21); }, outlineWins);
}

QImage Motifs::fateSmooth()
{
    return PixelArt::renderSmooth(32, 1.0, [](QPainter &p) {
        paintSmoothSignDisc(p, u'!', QColor(0xff, 0xff, 0x80), QColor(0xf0, 0xc0, 0),
                            QColor(0x80, 0x60, 0), black, 21);
    });
}

QImage Motifs::fatePalette(bool monochrome)
{
    const Disc d = monochrome ? Disc{white, black, black} : Disc{yellow, black, black};
    return PixelArt::render(
        32, [d](QPainter &p) { paintSignDisc(p, u'!', d, 21); }, outlineWins);
}

QImage Motifs::firecrackers(int size)
{
    return PixelArt::render(
        size, [size](QPainter &p) { paintFirecrackers(p, size); }, outlineWins);
}
