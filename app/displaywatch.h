#pragma once

#include <functional>

class QObject;

// Monitors plugged in or out while the program runs. X tells Qt itself; Windows (and Wine)
// may not tell Qt 6.4 when only a second monitor comes or goes, so there the set of monitors
// is looked at once a second, while `quiet` says nothing is moving, and Qt is made to read
// the screens again when it changed.
namespace DisplayWatch {
void start(QObject *owner, const std::function<bool()> &quiet);
}
