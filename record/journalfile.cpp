#include "journalfile.h"

#include "filesync.h"
#include "safefile.h"

#include <QDir>
#include <QFileInfo>

template <typename Call> bool JournalFile::attempt(Call call)
{
    SafeFile::clearLastError();
    if (call())
        return true;
    m_systemError = SafeFile::lastError();
    m_qtError = m_file.error();
    return false;
}

QString JournalFile::errorString() const
{
    return SafeFile::reason(m_systemError, SafeFile::Use::Write, m_qtError);
}

bool JournalFile::create(const QByteArray &header, bool replace)
{
    m_file.close();
    QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | (replace ? QIODevice::Truncate : QIODevice::NewOnly);
    if (!attempt([&] { return m_file.open(mode); }))
        return false;
    return append(header);
}

bool JournalFile::resume(qsizetype keep, bool endLine)
{
    m_file.close();
    if (!attempt([&] { return m_file.open(QIODevice::ReadWrite); }))
        return false;
    if (!attempt([&] { return m_file.resize(keep) && m_file.seek(keep); }) ||
        (endLine && !attempt([&] { return m_file.write("\n", 1) == 1; })) || !sync()) {
        m_file.close();
        return false;
    }
    return true;
}

bool JournalFile::append(const QByteArray &line, bool sync)
{
    if (!m_file.isOpen())
        return false;
    if (!attempt([&] { return m_file.write(line) == line.size(); }) ||
        !(sync ? this->sync() : attempt([&] { return m_file.flush(); }))) {
        m_file.close();
        return false;
    }
    return true;
}

bool JournalFile::sync()
{
    return attempt([&] { return FileSync::sync(m_file); });
}
