#pragma once

#include <QMetaObject>
#include <QTimer>

// One timeout of the timer, now, as the event loop would give it once its time has come.
inline void fire(QTimer &timer)
{
    QMetaObject::invokeMethod(&timer, "timeout");
}
