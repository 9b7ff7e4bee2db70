#pragma once

#include <QtGlobal>

// A colour as the board stores it: 0x00BBGGRR for an RGB colour, 0x800000nn for
// system colour nn. Values are compared exactly; two system colours that happen to
// look alike are still different states.
using ColourValue = quint32;

namespace Colour {
inline constexpr ColourValue SystemFlag = 0x80000000u;

constexpr ColourValue system(int index)
{
    return SystemFlag | quint32(index);
}
constexpr ColourValue rgb(int r, int g, int b)
{
    return quint32(r) | (quint32(g) << 8) | (quint32(b) << 16);
}
constexpr ColourValue fromHex(quint32 rrggbb)
{
    return rgb(int(rrggbb >> 16) & 0xFF, int(rrggbb >> 8) & 0xFF, int(rrggbb) & 0xFF);
}
constexpr bool isSystem(ColourValue v)
{
    return (v & SystemFlag) != 0;
}

inline constexpr ColourValue WindowText = system(8);
inline constexpr ColourValue ActiveBorder = system(10);
inline constexpr ColourValue ButtonFace = system(15);
inline constexpr ColourValue ButtonText = system(18);
} // namespace Colour

// The six states a board cell can be in; the value is the cell's colour.
namespace Cell {
inline constexpr ColourValue Initial = Colour::ButtonFace; // 0x8000000F
inline constexpr ColourValue Idle = Colour::ActiveBorder;  // 0x8000000A
inline constexpr ColourValue Lit = 0xFF0000u;              // blue
inline constexpr ColourValue Won = 0x0000FFu;              // red
inline constexpr ColourValue Held = 0xFF8080u;             // light blue
inline constexpr ColourValue Excluded = 0x000000u;         // black

constexpr bool isFree(ColourValue v)
{
    return v != Won && v != Held && v != Excluded;
}
} // namespace Cell
