#include "closingart.h"

#include <algorithm>

double ClosingArt::hallScale(QSize screen)
{
    return std::min(0.75 * screen.width() / Design.width(),
                    0.6 * screen.height() / Design.height());
}

QRect ClosingArt::hallRect(QSize screen)
{
    const double s = hallScale(screen);
    QRect r(0, 0, int(Design.width() * s), int(Design.height() * s));
    r.moveCenter(QRect(QPoint(), screen).center());
    return r;
}
