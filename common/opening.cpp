#include "opening.h"

#include <cmath>

QList<TwipsRect> Opening::growth(const OpeningPlan &plan, double screenWidthTwips)
{
    QList<TwipsRect> steps;
    steps.reserve(Steps);
    for (int i = 0; i < Steps; ++i) {
        const int s = i * StepSize;
        TwipsRect r;
        r.height = int(std::lround(s * plan.heightStep * plan.scale));
        r.width = int(std::lround(s * plan.widthStep * plan.scale));
        // Round half to even first (nearbyint under the default rounding mode),
        // then halve truncating toward zero.
        r.left = int(std::nearbyint(screenWidthTwips - r.width)) / 2;
        r.top = int(std::lround(plan.top * plan.scale));
        steps.append(r);
    }
    return steps;
}

QRectF Opening::band(int j, QSizeF clientPixels)
{
    const float w = float(clientPixels.width());
    const float h = float(clientPixels.height());
    const float y0 = float(j - 1) * h / float(Bands);
    const float y1 = float(j) * h / float(Bands);
    return QRectF(QPointF(0, y0), QPointF(w, y1));
}
