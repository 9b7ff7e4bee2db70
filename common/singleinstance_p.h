#pragma once

#include <QDateTime>
#include <QString>

// What the one-copy lock needs to ask of the system, one file per platform.
namespace SingleInstancePlatform {
// Where the copy holding the lock in this folder listens: short enough for any folder, as a
// Unix socket's path has room for about a hundred bytes only.
QString socketName(const QString &folder);

struct Process
{
    bool running = false;
    QDateTime started; // invalid when the system does not say
};
Process process(qint64 pid);
} // namespace SingleInstancePlatform
