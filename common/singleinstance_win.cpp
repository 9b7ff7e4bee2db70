#include "singleinstance_p.h"

#include <QCryptographicHash>
#include <QDir>

#include <windows.h>

QString SingleInstancePlatform::socketName(const QString &folder)
{
    // A pipe's name, not a path; Windows paths are the same whatever their case.
    const QString path = QDir(folder).canonicalPath();
    const QByteArray hash =
        QCryptographicHash::hash((path.isEmpty() ? folder : path).toLower().toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("zentavo-%1").arg(QLatin1String(hash));
}

SingleInstancePlatform::Process SingleInstancePlatform::process(qint64 pid)
{
    if (pid <= 0)
        return {};
    const HANDLE handle = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!handle)
        // Refused rather than missing: someone else's process, running.
        return {::GetLastError() == ERROR_ACCESS_DENIED, {}};
    Process p;
    DWORD code = 0;
    p.running = ::GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
    FILETIME created, exited, kernel, user;
    if (p.running && ::GetProcessTimes(handle, &created, &exited, &kernel, &user)) {
        // 100 ns steps since 1601.
        const qint64 since1601 =
            (qint64(created.dwHighDateTime) << 32) | qint64(created.dwLowDateTime);
        p.started =
            QDateTime::fromMSecsSinceEpoch((since1601 - 116444736000000000LL) / 10000, Qt::UTC);
    }
    ::CloseHandle(handle);
    return p;
}
