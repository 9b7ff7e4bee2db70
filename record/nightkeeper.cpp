#include "nightkeeper.h"

#include "filesync.h"
#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString NightKeeper::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString NightKeeper::defaultJournalPath()
{
    return QDir(defaultFolder()).filePath(QStringLiteral("night.journal"));
}

NightKeeper::NightKeeper(const QString &journalPath, const QByteArray &giftBytes,
                         const QStringList &giftLines)
    : m_file(journalPath), m_giftHash(Journal::giftHash(giftBytes)), m_giftLines(giftLines),
      m_last(giftLines)
{
}

NightKeeper::Earlier NightKeeper::inspect()
{
    m_earlier = {};
    m_earlierBytes.clear();
    const SafeFile::Read r = SafeFile::read(m_file.path(), MaxJournalBytes);
    switch (r.status) {
    case SafeFile::Status::Missing:
        // A link that leads nowhere would keep a new journal from being made in its place:
        // it is set aside like any other file that is no journal.
        if (QFileInfo(m_file.path()).isSymbolicLink()) {
            m_unreadable = QStringLiteral("它是一個符號連結，指向的檔案並不存在");
            return Earlier::Damaged;
        }
        return Earlier::Nothing;
    case SafeFile::Status::NotRegular:
    case SafeFile::Status::Unreadable:
        m_unreadable = r.reason;
        return Earlier::Damaged;
    case SafeFile::Status::TooLarge:
        m_unreadable = QStringLiteral("它大於 %1 MB，比一整晚的抽獎紀錄大得多，"
                                      "不是本程式寫的紀錄")
                           .arg(MaxJournalBytes / (1024 * 1024));
        return Earlier::Damaged;
    case SafeFile::Status::Ok:
        break;
    }
    m_earlierBytes = r.bytes;
    m_earlier = Journal::read(r.bytes, m_giftLines);
    if (!m_earlier.headerOk && r.bytes.isEmpty()) {
        m_replace = true;
        return Earlier::Nothing;
    }
    if (!m_earlier.headerOk) {
        m_unreadable = QStringLiteral("它不是本程式能讀的抽獎紀錄，或開頭已經損壞");
        return Earlier::Damaged;
    }
    // Before anything is cut or asked: the whole file, as it was.
    if (m_earlier.linesLost)
        keepDamagedCopy();
    if (!m_earlier.holdsNight()) {
        if (!m_earlier.linesLost) {
            m_replace = true;
            return Earlier::Nothing;
        }
        m_unreadable = QStringLiteral("它在第一次搖獎之前就已經損壞");
        return Earlier::Damaged;
    }
    if (m_earlier.reachedClosing())
        return Earlier::Finished;
    // The same prizes re-saved in another encoding or order are the same list.
    if (m_earlier.version == 1 && m_earlier.giftHash == m_giftHash)
        return Earlier::Unfinished;
    const QStringList night = m_earlier.nightPrizes();
    m_differing = night.isEmpty() ? 0 : Journal::differingPrizes(night, m_giftLines);
    return m_differing > 0 ? Earlier::OtherPrizes : Earlier::Unfinished;
}

QString NightKeeper::besideName(const QString &suffix) const
{
    const QDir dir = QFileInfo(m_file.path()).dir();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = dir.filePath(QStringLiteral("night-%1%2.journal").arg(stamp, suffix));
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = dir.filePath(QStringLiteral("night-%1-%2%3.journal").arg(stamp).arg(n).arg(suffix));
    return name;
}

bool NightKeeper::writeCopy(const QString &name, QString *error) const
{
    QFile copy(name);
    const auto why = [&copy] {
        return SafeFile::reason(SafeFile::lastError(), SafeFile::Use::Write, copy.error());
    };
    SafeFile::clearLastError();
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *error = why();
        return false; // someone else's file: left alone
    }
    SafeFile::clearLastError();
    if (copy.write(m_earlierBytes) == m_earlierBytes.size() && FileSync::sync(copy))
        return true;
    *error = why();
    copy.close();
    copy.remove(); // a half copy would pass for the whole
    return false;
}

void NightKeeper::keepDamagedCopy()
{
    const QString name = besideName(QStringLiteral("-damaged"));
    if (writeCopy(name, &m_copyError))
        m_damagedCopy = name;
}

NightKeeper::Kept NightKeeper::setAside()
{
    m_file.close();
    Kept kept;
    const QFileInfo there(m_file.path());
    if (!there.exists() && !there.isSymLink())
        return {true, {}, {}};
    // A damaged journal's whole copy already keeps it.
    if (!m_damagedCopy.isEmpty()) {
        m_replace = true;
        return {true, m_damagedCopy, {}};
    }
    // The link itself, where the journal's place holds one: what it leads to is not ours.
    const QString name = besideName(QString());
    const qint64 moved = SafeFile::rename(m_file.path(), name);
    if (moved == 0) {
        m_replace = false;
        return {true, name, {}};
    }
    kept.error = SafeFile::reason(moved, SafeFile::Use::Write);
    // A journal that cannot be moved may still be copied, and then written over.
    QString copyError;
    if (!m_earlierBytes.isEmpty() && writeCopy(name, &copyError)) {
        m_replace = true;
        return {true, name, {}};
    }
    m_broken = true;
    m_error = kept.error;
    return kept;
}

void NightKeeper::replay(const Journal::Entry &e)
{
    Guest guest{e.name, e.department};
    const bool dropped = guest != Guest() && m_nameCheck && !m_nameCheck(guest);
    if (dropped)
        guest = {};
    m_record.apply(e.change, e.index, m_last, e.state, e.round, e.time, guest);
    if (dropped)
        m_record.noteOnLastStop(QStringLiteral("紀錄檔裡的姓名無法顯示，已略去"));
    if (e.change == BoardChange::Stop || (e.change == BoardChange::Card && !guest.isEmpty()))
        m_announced.insert(e.state.stopCell + 1, guest);
    e.state.dropFree(m_announced);
    m_last = e.state;
    m_round = e.round;
}

bool NightKeeper::resume()
{
    m_record = {};
    m_announced.clear();
    m_last = Board(m_earlier.version >= 2 ? m_earlier.prizes : m_giftLines);
    m_round = 1;
    for (const Journal::Entry &e : std::as_const(m_earlier.entries))
        replay(e);
    m_bingo = m_earlier.bingo;
    m_fullScreen = m_earlier.fullScreen;
    if (m_earlier.linesLost && m_damagedCopy.isEmpty()) {
        // Cutting the unreadable lines would lose the only whole copy.
        m_broken = true;
        m_error = m_copyError;
        return false;
    }
    if (m_file.resume(m_earlier.wholeBytes, m_earlier.lastLineUnended))
        return true;
    m_broken = true;
    m_error = m_file.errorString();
    return false;
}

bool NightKeeper::write(const QByteArray &line, const QDateTime &time, bool mayBegin)
{
    if (m_broken)
        return true;
    if (!m_file.isOpen()) {
        if (!mayBegin)
            return true;
        bool begun = m_file.create(Journal::headerLine(m_giftLines, time), m_replace);
        if (begun && m_fullScreen)
            begun = m_file.append(Journal::viewLine(true, time));
        if (!begun) {
            m_broken = true;
            m_error = m_file.errorString();
            return false;
        }
    }
    if (!m_file.append(line, !m_syncLater)) {
        // Later lines after a missing one would tell a wrong story: stop writing.
        m_broken = true;
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

bool NightKeeper::note(BoardChange change, int index, const Board &settled, const QDateTime &time,
                       const Guest &guest)
{
    const int round = change == BoardChange::SecondRound ? 2 : m_round;
    Journal::Entry entry{change, index, time, round, settled};
    if (change == BoardChange::Stop || change == BoardChange::Card) {
        entry.name = guest.name;
        entry.department = guest.department;
    }
    const bool written = write(Journal::entryLine(entry), time, true);
    replay(entry);
    return written;
}

bool NightKeeper::noteBingo(const Journal::Bingo &bingo)
{
    if (bingo.taken == m_bingo.taken && bingo.drawing == m_bingo.drawing)
        return true;
    Journal::Bingo next = bingo;
    next.draws = m_bingo.draws;
    // Numbers that leave the window (a new draw, 清除, the window closed) end their draw:
    // every line from then on keeps them, so that no later line can lose them.
    if (!m_bingo.taken.isEmpty() && bingo.taken.mid(0, m_bingo.taken.size()) != m_bingo.taken)
        next.draws << m_bingo.taken;
    m_bingo = next;
    return write(Journal::bingoLine(next), next.time, !next.taken.isEmpty());
}

bool NightKeeper::noteView(bool fullScreen, const QDateTime &time)
{
    if (fullScreen == m_fullScreen)
        return true;
    m_fullScreen = fullScreen;
    return write(Journal::viewLine(fullScreen, time), time, false);
}
