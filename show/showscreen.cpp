#include "showscreen.h"

ShowScreen::Choice ShowScreen::choose(const QList<Screen> &screens, const QString &chosen)
{
    Choice c;
    if (screens.isEmpty())
        return c;
    int primary = 0;
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i].primary) {
            primary = i;
            break;
        }
    c.desk = primary;
    if (screens.size() < 2)
        return c;
    for (int i = 0; i < screens.size(); ++i)
        if (!chosen.isEmpty() && screens[i].name == chosen)
            c.show = i;
    if (c.show < 0) {
        const auto area = [&screens](int i) {
            return qint64(screens[i].size.width()) * screens[i].size.height();
        };
        for (int i = 0; i < screens.size(); ++i)
            if (i != primary && (c.show < 0 || area(i) > area(c.show)))
                c.show = i;
    }
    if (c.show == primary)
        c.desk = c.show == 0 ? 1 : 0;
    return c;
}
