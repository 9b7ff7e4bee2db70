#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// Which screen the operator works on and which one the hall's show fills, from the screens
// the computer reports and the screen chosen on an earlier night (by its name).
namespace ShowScreen {
struct Screen
{
    QString name;
    QSize size;
    bool primary = false;
};

struct Choice
{
    int desk = 0;  // the operator's windows
    int show = -1; // none: one screen, shared with the board
};

// The show on the chosen screen when it is there; otherwise on the largest screen that is not
// the primary one (the first of equals). The operator keeps the desk chosen with it, or the
// primary screen, or the first other one. A choice that names one screen for both counts as
// none.
Choice choose(const QList<Screen> &screens, const QString &show, const QString &desk = {});

// Where a window left off every screen goes on the area it comes back to: as near as it was,
// and no larger than the area.
QRect fit(const QRect &window, const QRect &area);
} // namespace ShowScreen
