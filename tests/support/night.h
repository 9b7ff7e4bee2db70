#pragma once

#include "boardwindow.h"
#include "prizewindow.h"
#include "closingpicture.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QStringList>

// The night driven without its timers: a spin to its stop, and all 56 cards drawn and
// confirmed until the closing picture is up.
namespace Night {
inline QStringList prizes()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << QStringLiteral("獎品%1").arg(i);
    return l;
}

inline void spinToStop(BoardWindow &w)
{
    w.startClick();
    while (w.board().timer1Enabled)
        w.timer1Tick();
}

inline void toFinale(BoardWindow &w)
{
    for (int card = 0; card < 56; ++card) {
        spinToStop(w);
        w.command1Click(card % 2);
        w.prizeWindow()->finishOpening();
        w.prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCoreApplication::processEvents();
    }
    if (w.pictureWindow())
        w.pictureWindow()->finishOpening();
}
} // namespace Night
