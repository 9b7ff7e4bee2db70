#include "nightkeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString NightKeeper::defaultJournalPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("night.journal"));
}

NightKeeper::NightKeeper(const QString &journalPath, const QByteArray &giftBytes,
                         const QStringList &giftLines)
    : m_file(journalPath), m_giftHash(Journal::giftHash(giftBytes)), m_giftLines(giftLines),
      m_last(giftLines)
{
}

NightKeeper::Earlier NightKeeper::inspect()
{
    QFile f(m_file.path());
    if (!f.exists())
        return Earlier::Nothing;
    if (!f.open(QIODevice::ReadOnly))
        return Earlier::Damaged;
    m_earlier = Journal::read(f.readAll(), m_giftLines);
    if (!m_earlier.headerOk)
        return f.size() == 0 ? Earlier::Nothing : Earlier::Damaged;
    if (m_earlier.giftHash != m_giftHash)
        return Earlier::OtherPrizes;
    if (m_earlier.entries.isEmpty())
        return Earlier::Nothing;
    return m_earlier.reachedClosing() ? Earlier::Finished : Earlier::Unfinished;
}

void NightKeeper::replay(const Journal::Entry &e)
{
    m_record.apply(e.change, e.index, m_last, e.state, e.round, e.time);
    m_last = e.state;
    m_round = e.round;
}

bool NightKeeper::resume()
{
    m_record = {};
    m_last = Board(m_giftLines);
    m_round = 1;
    for (const Journal::Entry &e : std::as_const(m_earlier.entries))
        replay(e);
    if (m_file.resume(m_earlier.wholeBytes))
        return true;
    m_broken = true;
    m_error = m_file.errorString();
    return false;
}

QString NightKeeper::setAside()
{
    const QFileInfo info(m_file.path());
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = info.dir().filePath(QStringLiteral("night-%1.journal").arg(stamp));
    for (int n = 2; QFile::exists(name); ++n)
        name = info.dir().filePath(QStringLiteral("night-%1-%2.journal").arg(stamp).arg(n));
    m_file.close();
    if (!QFile::rename(info.filePath(), name))
        return {};
    return name;
}

bool NightKeeper::note(BoardChange change, int index, const Board &settled, const QDateTime &time)
{
    const int round = change == BoardChange::SecondRound ? 2 : m_round;
    const Journal::Entry entry{change, index, time, round, settled};
    if (!m_broken) {
        if (!m_file.isOpen() && !m_file.create(Journal::headerLine(m_giftHash, time)))
            m_broken = true;
        else if (!m_file.append(Journal::entryLine(entry)))
            m_broken = true;
        if (m_broken) {
            // Later lines after a missing one would tell a wrong story: stop writing.
            m_error = m_file.errorString();
            replay(entry);
            return false;
        }
    }
    replay(entry);
    return true;
}
