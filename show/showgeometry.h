#pragma once

#include "scale.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <optional>

// Where the show puts things at a size, and in what type: shared by the parts of the window.
namespace ShowGeometry {
QFont hallFont(int pixels);

// The ring at a size: the top and bottom rows each a sixth of its height, the sides' cells two
// columns wide; the title line below it, the centre panel inside.
struct RingAt
{
    int margin;
    int titleHeight;
    QRect ring;
    double across;
    double row;
    double side;
    int gap;
    QRect centre;
};
RingAt ringOf(QSize size);

// The winner's name in the hall's face: on one line as large as the box allows, else on two,
// its ink a fifteenth of the screen's height or more, Chinese included; only a name two such
// lines cannot hold is set smaller, its type never below a fifteenth. Empty when even two
// lines of that are too wide.
std::optional<Scale::Wrapped> nameSet(const QString &name, const QString &after, QSize box,
                                      int screenHeight);

// Shown or hidden only when that changes: the light ticks through the show's rendering.
inline void setShown(QWidget *w, bool shown)
{
    if (w->isVisibleTo(w->parentWidget()) != shown)
        w->setVisible(shown);
}
} // namespace ShowGeometry
