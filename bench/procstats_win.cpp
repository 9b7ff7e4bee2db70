#include "procstats.h"

#include <windows.h>
// windows.h first
#include <psapi.h>

namespace {
double seconds(const FILETIME &t)
{
    return double((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}
} // namespace

double ProcStats::cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    return seconds(kernel) + seconds(user);
}

// The peak working set, the nearest to Linux's VmHWM.
qint64 ProcStats::peakKiB()
{
    PROCESS_MEMORY_COUNTERS c{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c))
        return -1;
    return qint64(c.PeakWorkingSetSize / 1024);
}
