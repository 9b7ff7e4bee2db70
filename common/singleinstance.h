#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One copy of the program at a time on one night's journal: two copies drawing from the
// same prize list could give one prize twice and interleave the journal. The first copy
// holds a lock in the journal's folder and listens on a socket named after that folder; a
// later copy finds the lock and asks the first to come forward.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // Why claim() failed.
    enum class Failure
    {
        None,
        Running,      // another copy holds the lock
        CannotCreate, // no lock can be made in the folder
        NotAFile,     // something else stands where the lock belongs
        LeftOver,     // a copy that has ended left its lock, and it cannot be replaced
    };

    explicit SingleInstance(const QString &folder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the only one and now holds the lock. False when another copy
    // holds it; that copy has then been asked to come forward, if it could be reached.
    // False as well when no lock can be had there: lockError() then says why.
    bool claim();
    Failure failure() const { return m_failure; }
    QString lockError() const { return m_error; }
    QString folder() const { return m_folder; }
    QString lockPath() const;
    // What the operator can do about lockError().
    QString remedy() const { return m_remedy; }
    QString socketName() const;

Q_SIGNALS:
    // A later copy was started and has given way.
    void anotherStarted();

private:
    bool take(std::unique_ptr<QLockFile> lock);
    bool ownerAlive() const;
    void fail(Failure failure);
    void listen();

    QString m_folder;
    Failure m_failure = Failure::None;
    QString m_error;
    QString m_remedy;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
