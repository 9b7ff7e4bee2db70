#include "singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {
constexpr int ReachMs = 1000;
} // namespace

SingleInstance::SingleInstance(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (m_lock)
        return true;
    m_error.clear();
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("無法建立這個資料夾");
        return false;
    }
    auto lock =
        std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("zentavo.lock")));
    // A lock left by a copy that has died is taken over.
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        listen();
        return true;
    }
    // Without a lock a second copy could draw on the same journal: no draw at all is safer.
    if (lock->error() == QLockFile::PermissionError) {
        m_error = QStringLiteral("沒有在這個資料夾寫入檔案的權限");
        return false;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        m_error = QStringLiteral("無法建立鎖定檔");
        return false;
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
