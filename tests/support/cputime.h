#pragma once

#include <QtGlobal>

// The processor time this process has used, in seconds: a check that something ends
// quickly must not fail because a loaded machine gave the test little of its time.
// (Windows' clock() counts the wall clock, so its own call there.)
#ifdef Q_OS_WIN
#include <windows.h>

inline double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto seconds = [](const FILETIME &t) {
        return double((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
#else
#include <ctime>

inline double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}
#endif
