#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One copy of the program at a time: two copies drawing from the same prize list could
// give one prize twice. The first copy holds a lock in the user's runtime folder and
// listens beside it; a later copy finds the lock and asks the first to come forward.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // folder defaults to the user's runtime folder.
    explicit SingleInstance(const QString &folder = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the only one and now holds the lock. False when another copy
    // holds it; that copy has then been asked to come forward, if it could be reached.
    bool claim();

Q_SIGNALS:
    // A later copy was started and has given way.
    void anotherStarted();

private:
    void listen();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
