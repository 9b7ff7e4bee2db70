#include "showscreen.h"

#include <algorithm>

ShowScreen::Choice ShowScreen::choose(const QList<Screen> &screens, const QString &show,
                                      const QString &desk)
{
    // One screen named for both would put the show on the laptop and the board on the
    // projector: no choice at all.
    if (!show.isEmpty() && show == desk)
        return choose(screens, {}, {});
    Choice c;
    const auto named = [&screens](const QString &name) {
        for (int i = 0; i < screens.size(); ++i)
            if (!name.isEmpty() && screens[i].name == name)
                return i;
        return -1;
    };
    int primary = 0;
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i].primary) {
            primary = i;
            break;
        }
    c.desk = primary;
    if (screens.size() < 2)
        return c;
    c.show = named(show);
    if (c.show < 0) {
        const auto area = [&screens](int i) {
            return qint64(screens[i].size.width()) * screens[i].size.height();
        };
        for (int i = 0; i < screens.size(); ++i)
            if (i != primary && (c.show < 0 || area(i) > area(c.show)))
                c.show = i;
    }
    const int kept = named(desk);
    if (kept >= 0 && kept != c.show)
        c.desk = kept;
    else if (c.show == primary)
        c.desk = c.show == 0 ? 1 : 0;
    return c;
}

QRect ShowScreen::fit(const QRect &window, const QRect &area)
{
    const int w = std::min(window.width(), area.width());
    const int h = std::min(window.height(), area.height());
    const int x = std::clamp(window.x(), area.left(), area.left() + area.width() - w);
    const int y = std::clamp(window.y(), area.top(), area.top() + area.height() - h);
    return QRect(x, y, w, h);
}
