#include "atom.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr double tau = 2 * std::numbers::pi;

struct Star
{
    QPointF at;
    double size;
    double phase; // share of the loop
};

const std::array<Star, 9> stars = {{{{8, 8}, 2.6, 0.0},
                                    {{20, 31}, 2.0, 0.35},
                                    {{31, 11}, 1.6, 0.7},
                                    {{14, 20}, 1.3, 0.5},
                                    {{104, 9}, 2.6, 0.2},
                                    {{93, 31}, 2.0, 0.55},
                                    {{82, 7}, 1.6, 0.85},
                                    {{101, 22}, 1.3, 0.1},
                                    {{58, 36}, 1.2, 0.4}}};

void paintStar(QPainter &p, const Star &s, double t)
{
    const double glow = 0.5 + 0.5 * std::cos(tau * (t - s.phase));
    const double r = s.size * (0.55 + 0.65 * glow);
    QColor c(255, 236, 160);
    c.setAlphaF(0.35 + 0.65 * glow);
    QPainterPath sparkle;
    sparkle.moveTo(s.at + QPointF(0, -2 * r));
    sparkle.quadTo(s.at, s.at + QPointF(2 * r, 0));
    sparkle.quadTo(s.at, s.at + QPointF(0, 2 * r));
    sparkle.quadTo(s.at, s.at + QPointF(-2 * r, 0));
    sparkle.quadTo(s.at, s.at + QPointF(0, -2 * r));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(sparkle);
}

QPointF onOrbit(QPointF centre, double a, double b, double tilt, double angle)
{
    const QPointF local(a * std::cos(angle), b * std::sin(angle));
    const double ct = std::cos(tilt), st = std::sin(tilt);
    return centre + QPointF(local.x() * ct - local.y() * st, local.x() * st + local.y() * ct);
}

} // namespace

QImage Atom::frame(QSize size, int i, int count)
{
    const double t = double(i) / count;
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x10, 0x1c, 0x4a));
    sky.setColorAt(1, QColor(0x05, 0x0a, 0x24));
    p.fillRect(img.rect(), sky);
    p.setPen(QPen(QColor(0xb9, 0xa4, 0x51), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));

    for (const Star &s : stars)
        paintStar(p, s, t);

    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double a = 42, b = 8;
    const std::array<double, 3> tilts = {0.0, tau * 0.045, -tau * 0.045};
    for (double tilt : tilts) {
        QPainterPath orbit;
        for (int k = 0; k <= 96; ++k) {
            const QPointF pt = onOrbit(centre, a, b, tilt, tau * k / 96);
            k == 0 ? orbit.moveTo(pt) : orbit.lineTo(pt);
        }
        p.setPen(QPen(QColor(0x7f, 0xb8, 0xff, 170), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(orbit);
    }

    // Nucleus: a warm cluster, lit from the upper left.
    const std::array<QPointF, 4> balls = {QPointF(-2.2, -1.6), QPointF(2.2, -1.2),
                                          QPointF(-1.4, 2.2), QPointF(1.8, 2.0)};
    const std::array<QColor, 4> ballColours = {QColor(0xe8, 0x30, 0x30), QColor(0xf0, 0xc8, 0x40),
                                               QColor(0xf0, 0xc8, 0x40), QColor(0xe8, 0x30, 0x30)};
    for (int k = 0; k < 4; ++k) {
        const QPointF at = centre + balls[k];
        QRadialGradient shade(at - QPointF(1, 1), 3.6);
        shade.setColorAt(0, Qt::white);
        shade.setColorAt(0.35, ballColours[k]);
        shade.setColorAt(1, ballColours[k].darker(170));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawEllipse(at, 3.0, 3.0);
    }

    for (int k = 0; k < 3; ++k) {
        const QPointF at = onOrbit(centre, a, b, tilts[k], tau * (t + k / 3.0));
        QRadialGradient glow(at, 4.5);
        glow.setColorAt(0, QColor(255, 255, 255));
        glow.setColorAt(0.3, QColor(120, 220, 255));
        glow.setColorAt(1, QColor(120, 220, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(at, 4.5, 4.5);
    }
    return img;
}
