#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

// A folder in which nothing can be made, renamed or removed while this lives, though the
// files already in it stay writable. Root, whom permissions do not stop, gets an immutable
// folder instead. ok() is false where neither can be had, as on Windows, whose read-only
// attribute does not stop a folder from taking new files.
class FrozenFolder
{
public:
    explicit FrozenFolder(const QString &path) : m_path(path)
    {
#ifndef Q_OS_WIN
        if (::geteuid() == 0)
            m_ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
        else
            m_ok = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
#endif
    }
    ~FrozenFolder() { thaw(); }
    FrozenFolder(const FrozenFolder &) = delete;
    FrozenFolder &operator=(const FrozenFolder &) = delete;

    bool ok() const { return m_ok; }
    void thaw()
    {
        if (!m_ok)
            return;
#ifndef Q_OS_WIN
        if (::geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
        m_ok = false;
    }

private:
    QString m_path;
    bool m_ok = false;
};
