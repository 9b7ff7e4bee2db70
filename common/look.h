#pragma once

#include "colourvalue.h"

#include <QString>

// The night's one look: the colours, the faces, the ring of cells and the captions the board,
// the hall's show, the prize window, the bingo window and the about box share, so that the
// hall sees on the projector what the operator sees on the desk.
namespace Look {
// The board's ground, and the show's around its ring.
inline constexpr ColourValue Ground = Colour::fromHex(0xFFE0C0);
// The board's centre panel and its card stacks.
inline constexpr ColourValue Panel = Colour::fromHex(0xFFFFC0);
inline constexpr ColourValue Stack = Colour::fromHex(0xFFC080);
// The title, the counter, the winning number, the prize's caption.
inline constexpr ColourValue DarkRed = Colour::fromHex(0xC00000);
// A hint to the operator, a name to read, a link.
inline constexpr ColourValue Blue = Colour::fromHex(0x0000FF);
// The program's name in the about box.
inline constexpr ColourValue DarkGrey = Colour::fromHex(0x404040);
// The prize window's 確 定.
inline constexpr ColourValue ConfirmFace = Colour::fromHex(0x80FF80);
// The closing picture's ground, in its window and in the show.
inline constexpr ColourValue ClosingGround = Colour::fromHex(0xFF0000);
// The bingo window's boxes, its display and its take button.
inline constexpr ColourValue BingoBox = Colour::fromHex(0xFFFF80);
inline constexpr ColourValue BingoDisplay = Colour::fromHex(0xC0FFC0);
inline constexpr ColourValue BingoTake = Colour::fromHex(0xFF8080);

// The faces as the design names them; Fonts::installSubstitutions maps each onto the faces
// this system has.
QString ming();      // 新細明體
QString kai();       // 標楷體
QString tahoma();    // Tahoma
QString sansSerif(); // MS Sans Serif

// The round's caption, on the board's option and on the show.
QString roundCaption(bool second);
// The counter's words around the count: on the board in labels of their own, on the show in
// one line.
QString countBefore();
QString countAfter();
QString countLine(const QString &count);
} // namespace Look

// The board's 56 cells in a ring, clockwise from the top-left corner: 18 along the top, 10 down
// the right side, 18 back along the bottom and 10 up the left side. The board and the show
// each draw it at their own places.
namespace Ring {
inline constexpr int Across = 18; // cells along the top and along the bottom
inline constexpr int Down = 10;   // cells down each side, between the corners' rows
inline constexpr int Cells = 2 * (Across + Down);

enum class Side
{
    Top,
    Right,
    Bottom,
    Left
};

struct Place
{
    Side side;
    // On the top and bottom rows the column from the left (0..Across-1); on the sides the row
    // from the top (0..Down-1).
    int along;
};

constexpr Place place(int cell)
{
    if (cell < Across)
        return {Side::Top, cell};
    if (cell < Across + Down)
        return {Side::Right, cell - Across};
    if (cell < 2 * Across + Down)
        return {Side::Bottom, 2 * Across + Down - 1 - cell};
    return {Side::Left, Cells - 1 - cell};
}
} // namespace Ring
