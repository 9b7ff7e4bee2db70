#include "displaywatch.h"

void DisplayWatch::start(QObject *, const std::function<bool()> &)
{
    // RandR reaches Qt's xcb platform on its own.
}
