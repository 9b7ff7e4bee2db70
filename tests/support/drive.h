#pragma once

#include "closingpicture.h"
#include "prizewindow.h"
#include "stage.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QStringList>

// The night driven without its timers: a spin to its stop, and all 56 cards drawn and
// confirmed until the closing picture is up.
namespace Drive {
inline QStringList prizes()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << QStringLiteral("獎品%1").arg(i);
    return l;
}

inline void spinToStop(Stage &w)
{
    w.boardWindow().start();
    while (w.night().board().timer1Enabled)
        w.night().tick();
}

inline void toFinale(Stage &w)
{
    for (int card = 0; card < 56; ++card) {
        spinToStop(w);
        w.boardWindow().drawCard(card % 2);
        w.windows().prizeWindow()->finishOpening();
        w.windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCoreApplication::processEvents();
    }
    if (w.windows().closingPicture())
        w.windows().closingPicture()->finishOpening();
}
} // namespace Drive
