#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One copy of the program at a time on one night's journal: two copies drawing from the
// same prize list could give one prize twice and interleave the journal. The first copy
// holds a lock in the journal's folder and listens beside it; a later copy finds the lock
// and asks the first to come forward.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &folder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the only one and now holds the lock. False when another copy
    // holds it; that copy has then been asked to come forward, if it could be reached.
    // False as well when no lock can be made there: lockError() then says why.
    bool claim();
    QString lockError() const { return m_error; }
    QString folder() const { return m_folder; }

Q_SIGNALS:
    // A later copy was started and has given way.
    void anotherStarted();

private:
    void listen();

    QString m_folder;
    QString m_error;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
