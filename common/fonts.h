#pragma once

// Maps the Windows faces the layouts name onto the fonts this system has.
namespace Fonts {
void installSubstitutions();
}
