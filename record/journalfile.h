#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The journal on disk. Each line reaches the disk before append() returns, so what the
// screen shows afterwards survives a crash or a power cut.
class JournalFile
{
public:
    explicit JournalFile(const QString &path) : m_file(path) {}

    // A new journal that starts with `header`. Whatever lies at the path is replaced only
    // when `replace` says it has been kept elsewhere or holds nothing; otherwise it fails.
    bool create(const QByteArray &header, bool replace);
    // Goes on with an existing journal, cut back to its first `keep` bytes; with `endLine`
    // its last line, kept without its line end, gets it first.
    bool resume(qsizetype keep, bool endLine = false);
    // Without `sync` the line reaches the system's cache only: it survives the program's
    // crash, and the disk with the next synced line.
    bool append(const QByteArray &line, bool sync = true);
    void close() { m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }
    // Why the last call failed, in Traditional Chinese.
    QString errorString() const;
    QString path() const { return m_file.fileName(); }

private:
    bool sync();
    // Runs a call on the file; when it fails, keeps why before anything else can change it.
    template <typename Call> bool attempt(Call call);
    QFile m_file;
    qint64 m_systemError = 0;
    QFileDevice::FileError m_qtError = QFileDevice::NoError;
};
