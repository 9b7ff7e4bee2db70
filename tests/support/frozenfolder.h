#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include <unistd.h>

// A folder in which nothing can be made, renamed or removed while this lives, though the
// files already in it stay writable. Root, whom permissions do not stop, gets an immutable
// folder instead. ok() is false where neither can be had.
class FrozenFolder
{
public:
    explicit FrozenFolder(const QString &path) : m_path(path)
    {
        if (::geteuid() == 0)
            m_ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
        else
            m_ok = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~FrozenFolder() { thaw(); }
    FrozenFolder(const FrozenFolder &) = delete;
    FrozenFolder &operator=(const FrozenFolder &) = delete;

    bool ok() const { return m_ok; }
    void thaw()
    {
        if (!m_ok)
            return;
        if (::geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_ok = false;
    }

private:
    QString m_path;
    bool m_ok = false;
};
