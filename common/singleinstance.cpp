#include "singleinstance.h"

#include "singleinstance_p.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStorageInfo>
#include <QSysInfo>
#include <QTemporaryFile>

namespace {
constexpr int ReachMs = 1000;
// A process that started this long after its lock was written cannot have written it: its
// id was given again after the lock's owner had ended. The slack covers the clocks' steps.
constexpr qint64 StartSlackMs = 1000;

enum class Cause
{
    Unknown,
    NoPermission,
    DiskFull,
    ReadOnlyDisk,
};

// Why nothing can be written in the folder, tried with a file of its own.
Cause whyUnwritable(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("zentavo-XXXXXX.probe")));
    const bool written = probe.open() && probe.write(QByteArray(256, '\n')) == 256 && probe.flush();
    if (written)
        return Cause::Unknown;
    const QStorageInfo storage(folder);
    // Mounted read-only, the folder refuses even those who may write in it.
    if (storage.isValid() && storage.isReadOnly())
        return Cause::ReadOnlyDisk;
    if (storage.isValid() && storage.bytesAvailable() < 4096)
        return Cause::DiskFull;
    return probe.isOpen() ? Cause::Unknown : Cause::NoPermission;
}

// What a lock file says of its owner; a lock file is another process's, so it is read with
// a cap and trusted for nothing but the comparison.
struct Owner
{
    bool ok = false;
    qint64 pid = 0;
    QByteArray host;
    QByteArray hostId;
    QByteArray bootId;
};

Owner readOwner(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.read(4096).split('\n');
    Owner o;
    o.pid = lines.value(0).toLongLong(&o.ok);
    o.ok = o.ok && o.pid > 0;
    o.host = lines.value(2);
    o.hostId = lines.value(3);
    o.bootId = lines.value(4);
    return o;
}

bool sameMachine(const Owner &o)
{
    const QByteArray ourId = QSysInfo::machineUniqueId();
    if (!o.hostId.isEmpty() && !ourId.isEmpty())
        return o.hostId == ourId;
    // Qt writes the host name on Unix and COMPUTERNAME on Windows.
    return o.host.isEmpty() || o.host == QSysInfo::machineHostName().toUtf8() ||
           o.host == qgetenv("COMPUTERNAME");
}
} // namespace

SingleInstance::SingleInstance(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("zentavo.lock"));
}

QString SingleInstance::socketName() const
{
    return SingleInstancePlatform::socketName(m_folder);
}

void SingleInstance::fail(Failure failure)
{
    m_failure = failure;
    m_remedy = QStringLiteral("請讓這個資料夾可以寫入，再重新開啟程式。");
    if (failure == Failure::NotAFile) {
        m_error = QFileInfo(lockPath()).isDir() ? QStringLiteral("那裡已經有一個同名的資料夾")
                                                : QStringLiteral("那裡已經有一個同名的項目");
        m_remedy = QStringLiteral("請把它移走或改名，再重新開啟程式。");
        return;
    }
    switch (whyUnwritable(m_folder)) {
    case Cause::NoPermission:
        m_error = QStringLiteral("沒有在這個資料夾寫入檔案的權限");
        break;
    case Cause::DiskFull:
        m_error = QStringLiteral("磁碟已滿");
        m_remedy = QStringLiteral("請清出磁碟空間，再重新開啟程式。");
        break;
    case Cause::ReadOnlyDisk:
        m_error = QStringLiteral("這個資料夾所在的磁碟是唯讀的");
        break;
    case Cause::Unknown:
        m_error = QStringLiteral("無法建立鎖定檔");
        break;
    }
}

bool SingleInstance::claim()
{
    if (m_lock)
        return true;
    m_failure = Failure::None;
    m_error.clear();
    m_remedy.clear();
    if (!QDir().mkpath(m_folder)) {
        m_failure = Failure::CannotCreate;
        m_error = QStringLiteral("無法建立這個資料夾");
        m_remedy = QStringLiteral("請讓這個資料夾可以寫入，再重新開啟程式。");
        return false;
    }
    // Never read what only looks like a lock: a FIFO there would block the start for good.
    const QFileInfo there(lockPath());
    if (there.isSymLink() || (there.exists() && !there.isFile())) {
        fail(Failure::NotAFile);
        return false;
    }
    auto lock = std::make_unique<QLockFile>(lockPath());
    // A lock left by a copy that has died is taken over.
    if (lock->tryLock(0))
        return take(std::move(lock));
    if (lock->error() != QLockFile::LockFailedError) {
        // Without a lock a second copy could draw on the same journal: no draw at all is safer.
        fail(Failure::CannotCreate);
        return false;
    }
    if (!ownerAlive()) {
        // Qt judges the owner by its process id alone, which the system may have given to
        // another process since; the system's own lock on the file still guards a live owner.
        if (lock->removeStaleLockFile()) {
            if (lock->tryLock(0))
                return take(std::move(lock));
            fail(Failure::CannotCreate);
            return false;
        }
        // Gone meanwhile: another copy starting at the same time removed it first.
        if (!QFileInfo::exists(lockPath()) && lock->tryLock(0))
            return take(std::move(lock));
        if (QFileInfo::exists(lockPath()) && whyUnwritable(m_folder) != Cause::Unknown) {
            fail(Failure::LeftOver);
            return false;
        }
        // Writable, yet held: its owner lives after all.
    }
    m_failure = Failure::Running;
    QLocalSocket socket;
    socket.connectToServer(socketName());
    if (socket.waitForConnected(ReachMs)) {
        socket.write("show\n");
        socket.waitForBytesWritten(ReachMs);
        socket.disconnectFromServer();
    }
    return false;
}

bool SingleInstance::ownerAlive() const
{
    const Owner owner = readOwner(lockPath());
    if (!owner.ok)
        return false; // half written by a live owner, its system lock keeps it
    // A lock from another machine, on a shared folder: nothing here can tell.
    if (!sameMachine(owner))
        return true;
    if (!owner.bootId.isEmpty() && owner.bootId != QSysInfo::bootUniqueId())
        return false;
    const SingleInstancePlatform::Process process = SingleInstancePlatform::process(owner.pid);
    if (!process.running)
        return false;
    const QDateTime written = QFileInfo(lockPath()).lastModified().toUTC();
    return !process.started.isValid() || !written.isValid() ||
           process.started <= written.addMSecs(StartSlackMs);
}

bool SingleInstance::take(std::unique_ptr<QLockFile> lock)
{
    m_lock = std::move(lock);
    listen();
    return true;
}

void SingleInstance::listen()
{
    const QString name = socketName();
    // Only the lock holder gets here, so a socket left behind is stale.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            // The connection itself is the whole message.
            s->disconnectFromServer();
            s->deleteLater();
            Q_EMIT anotherStarted();
        }
    });
}
