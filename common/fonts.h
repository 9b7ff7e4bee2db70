#pragma once

// Maps the Windows faces the layouts name onto fonts a Linux desktop has.
namespace Fonts {
void installSubstitutions();
}
