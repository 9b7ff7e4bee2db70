#pragma once

#include <QString>

// Paths of the pictures compiled into the program, one name each.
namespace Pictures {
inline QString appIcon()
{
    return QStringLiteral(":/zentavo/app.ico");
}
inline QString lamp()
{
    return QStringLiteral(":/zentavo/lamp.ico");
}
inline QString chanceCard()
{
    return QStringLiteral(":/zentavo/chance.ico");
}
inline QString fateCard()
{
    return QStringLiteral(":/zentavo/fate.ico");
}
inline QString firecracker()
{
    return QStringLiteral(":/zentavo/firecracker.ico");
}
inline QString scrollLeft()
{
    return QStringLiteral(":/zentavo/scroll-left.bmp");
}
inline QString scrollRight()
{
    return QStringLiteral(":/zentavo/scroll-right.bmp");
}
inline QString closing()
{
    return QStringLiteral(":/zentavo/closing.bmp");
}
// The same three drawn four times as large, for an enlarged board.
inline QString scrollLeftLarge()
{
    return QStringLiteral(":/zentavo/scroll-left-large.png");
}
inline QString scrollRightLarge()
{
    return QStringLiteral(":/zentavo/scroll-right-large.png");
}
inline QString closingLarge()
{
    return QStringLiteral(":/zentavo/closing-large.png");
}
} // namespace Pictures
