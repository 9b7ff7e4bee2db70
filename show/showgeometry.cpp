#include "showgeometry.h"

#include "fonts.h"
#include "look.h"

#include <QFontMetricsF>

#include <cmath>
#include <limits>

QFont ShowGeometry::hallFont(int pixels)
{
    QFont f = Fonts::hall(true);
    f.setPixelSize(std::max(pixels, 1));
    return f;
}

ShowGeometry::RingAt ShowGeometry::ringOf(QSize size)
{
    RingAt g;
    const int h = size.height();
    g.margin = h / 50;
    g.titleHeight = h / 10;
    g.ring =
        QRect(g.margin, g.margin, size.width() - 2 * g.margin, h - g.titleHeight - 2 * g.margin);
    g.across = g.ring.width() / double(Ring::Across);
    g.row = g.ring.height() / 6.0;
    g.side = (g.ring.height() - 2 * g.row) / double(Ring::Down);
    g.gap = std::max(2, int(g.across * 0.12));
    g.centre = QRect(g.ring.left() + int(g.across * 2) + g.gap, g.ring.top() + int(g.row) + g.gap,
                     int(g.ring.width() - g.across * 4) - 2 * g.gap,
                     int(g.ring.height() - 2 * g.row) - 2 * g.gap);
    return g;
}

std::optional<Scale::Wrapped> ShowGeometry::nameSet(const QString &name, const QString &after,
                                                    QSize box, int screenHeight)
{
    const int type = std::max(1, screenHeight / 15);
    // A Chinese character's ink is shorter than its type: first the smallest type whose ink
    // is a fifteenth of the height, on two lines if it must; only a name that this cannot
    // hold goes down to a fifteenth in type.
    static const double han =
        QFontMetricsF(hallFont(1000)).tightBoundingRect(QStringLiteral("國")).height();
    const int inked = std::max(type, int(std::ceil(type * 1000 / std::max(han, 500.0))));
    const QSize room(box.width(), std::numeric_limits<int>::max() / 4);
    for (const auto &[largest, smallest] :
         {std::pair{hallFont(std::max(inked, screenHeight / 11)), inked},
          std::pair{hallFont(inked), type}}) {
        if (auto one = Scale::wrapped(largest, name, after, room, 1, smallest))
            return one;
        // The name whole over its department, before a larger type breaks the name.
        if (!after.isEmpty())
            if (auto two =
                    Scale::wrapped(largest, name + QLatin1Char('\n'), after, room, 2, smallest))
                return two;
        if (auto two = Scale::wrapped(largest, name, after, room, 2, smallest))
            return two;
    }
    return std::nullopt;
}
