#pragma once

#include "board.h"

#include <QString>
#include <QStringList>

// Every field of a board as text, one per line, so that a failed comparison names the
// field that differs.
inline QStringList boardDump(const Board &b)
{
    QStringList out;
    for (int i = 0; i < Board::Cells; ++i)
        out << QStringLiteral("cell %1 %2 %3")
                   .arg(i)
                   .arg(b.cells[std::size_t(i)], 8, 16, QLatin1Char('0'))
                   .arg(b.markerVisible[std::size_t(i)] ? QStringLiteral("marker") : QString());
    for (int i = 0; i < Board::Cells; ++i)
        out << QStringLiteral("gift %1 %2").arg(i).arg(b.gifts[std::size_t(i)]);
    out << QStringLiteral("giftsLeft %1").arg(b.giftsLeft)
        << QStringLiteral("chanceLeft %1").arg(b.chanceLeft)
        << QStringLiteral("fateLeft %1").arg(b.fateLeft)
        << QStringLiteral("drawnGift %1").arg(b.drawnGift)
        << QStringLiteral("giftTail %1").arg(b.giftTail) << QStringLiteral("idx %1").arg(b.idx)
        << QStringLiteral("drawNo %1").arg(b.drawNo)
        << QStringLiteral("awaitingPrize %1").arg(b.awaitingPrize)
        << QStringLiteral("spinLength %1").arg(b.spinLength)
        << QStringLiteral("stepCount %1").arg(b.stepCount)
        << QStringLiteral("lightPos %1").arg(b.lightPos)
        << QStringLiteral("stopCell %1").arg(b.stopCell)
        << QStringLiteral("cards %1 %2").arg(b.cardEnabled[0]).arg(b.cardEnabled[1])
        << QStringLiteral("counter %1").arg(b.counterCaption)
        << QStringLiteral("start %1").arg(b.startEnabled)
        << QStringLiteral("timer1 %1").arg(b.timer1Enabled)
        << QStringLiteral("text1 %1").arg(b.text1);
    return out;
}
