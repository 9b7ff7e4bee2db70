#include "singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {
constexpr int ReachMs = 1000;

QString runtimeFolder()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}
} // namespace

SingleInstance::SingleInstance(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder.isEmpty() ? runtimeFolder() : folder)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (m_lock)
        return true;
    QDir().mkpath(m_folder);
    auto lock =
        std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("zentavo.lock")));
    // A lock left by a copy that has died is taken over.
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        listen();
        return true;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        // The folder cannot hold a lock: better a second copy than no draw at all.
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(QDir(m_folder).filePath(QStringLiteral("zentavo.socket")));
    if (socket.waitForConnected(ReachMs)) {
        socket.write("show\n");
        socket.waitForBytesWritten(ReachMs);
        socket.disconnectFromServer();
    }
    return false;
}

void SingleInstance::listen()
{
    const QString name = QDir(m_folder).filePath(QStringLiteral("zentavo.socket"));
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
