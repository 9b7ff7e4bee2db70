#include "journalfile.h"

#include "filesync.h"

#include <QDir>
#include <QFileInfo>

bool JournalFile::create(const QByteArray &header, bool replace)
{
    m_file.close();
    QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | (replace ? QIODevice::Truncate : QIODevice::NewOnly);
    if (!m_file.open(mode))
        return false;
    return append(header);
}

bool JournalFile::resume(qsizetype keep)
{
    m_file.close();
    if (!m_file.open(QIODevice::ReadWrite))
        return false;
    if (!m_file.resize(keep) || !m_file.seek(keep) || !sync()) {
        m_file.close();
        return false;
    }
    return true;
}

bool JournalFile::append(const QByteArray &line, bool sync)
{
    if (!m_file.isOpen())
        return false;
    if (m_file.write(line) != line.size() || !(sync ? this->sync() : m_file.flush())) {
        m_file.close();
        return false;
    }
    return true;
}

bool JournalFile::sync()
{
    return FileSync::sync(m_file);
}
