#pragma once

#include <QtGlobal>

// What this process has used so far, as the system counts it.
namespace ProcStats {
double cpuSeconds(); // user and system time
qint64 peakKiB();    // the most memory it has held at once; -1 when unknown
} // namespace ProcStats
