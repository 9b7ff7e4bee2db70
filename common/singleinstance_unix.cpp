#include "singleinstance_p.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <unistd.h>

QString SingleInstancePlatform::socketName(const QString &folder)
{
    // /tmp rather than the runtime folder: copies with different runtime folders must meet.
    const QString path = QDir(folder).canonicalPath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(path.isEmpty() ? folder : path),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("/tmp/zentavo-%1-%2").arg(::getuid()).arg(QLatin1String(hash));
}

namespace {
// When the process started, from Linux's /proc; elsewhere not known.
QDateTime startOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return {};
    // The command name in brackets may hold spaces; the fields after it do not.
    const QByteArray line = stat.read(4096);
    const qsizetype name = line.lastIndexOf(')');
    if (name < 0)
        return {};
    const QList<QByteArray> fields = line.mid(name + 2).split(' ');
    bool ticksOk = false;
    bool upOk = false;
    const qint64 ticks = fields.value(19).toLongLong(&ticksOk); // starttime, since boot
    const double up = uptime.read(64).split(' ').value(0).toDouble(&upOk);
    const long hz = ::sysconf(_SC_CLK_TCK);
    if (!ticksOk || !upOk || hz <= 0)
        return {};
    // Its age rather than boot time plus start: /proc/stat's boot time is whole seconds.
    const double age = up - double(ticks) / double(hz);
    return QDateTime::currentDateTimeUtc().addMSecs(-qint64(age * 1000));
}
} // namespace

SingleInstancePlatform::Process SingleInstancePlatform::process(qint64 pid)
{
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH))
        return {};
    return {true, startOf(pid)};
}
