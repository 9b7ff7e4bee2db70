#pragma once

#include <QImage>
#include <QList>

// An atom on a night-blue badge: three electrons circle the nucleus while stars twinkle.
namespace Atom {

// Frame i of count; the last frame leads smoothly back into the first.
QImage frame(QSize size, int i, int count);

} // namespace Atom
