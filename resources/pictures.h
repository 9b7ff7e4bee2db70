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
} // namespace Pictures
