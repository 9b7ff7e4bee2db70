#pragma once

#include <QFont>
#include <QStringList>

// Maps the Windows faces the layouts name onto the fonts this system has.
namespace Fonts {
void installSubstitutions();
// What the hall reads on the enlarged board (the winning number, the prize, the hint): a
// sans-serif face for Latin letters and digits first, the Chinese face after it, so that
// each character comes from the first face that has it.
QStringList hallFamilies();
// A font of those faces; the caller sets its size.
QFont hall(bool bold = false);
} // namespace Fonts
