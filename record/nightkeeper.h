#pragma once

#include "board.h"
#include "boardchange.h"
#include "guest.h"
#include "journal.h"
#include "journalfile.h"
#include "nightrecord.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

// Keeps the night: the record of who won what and the journal that lets a crashed
// program come back where it was. The window tells it every change before showing it.
// An earlier journal is never cut or written over before it has been kept elsewhere.
class NightKeeper
{
public:
    // The folder of the journal, and of the lock that keeps a second copy from drawing.
    static QString defaultFolder();
    static QString defaultJournalPath();
    // A long night (56 prizes, 20 stops thrown away, 220 right clicks, a whole bingo draw)
    // journals 0.44 MB; a journal a hundred times larger is not one this program wrote.
    static constexpr qint64 MaxJournalBytes = 48 * 1024 * 1024;

    NightKeeper(const QString &journalPath, const QByteArray &giftBytes,
                const QStringList &giftLines);

    // What the last run left behind.
    enum class Earlier
    {
        Nothing,     // no journal, or one with nothing of a night in it
        Unfinished,  // the closing picture not reached: it may go on
        Finished,    // the closing picture was reached
        OtherPrizes, // unfinished, but gift.txt now holds other prizes
        Damaged      // not a journal this program can read: see unreadable()
    };
    Earlier inspect();
    const Journal::Contents &earlier() const { return m_earlier; }
    // Why the earlier journal cannot be read, as the end of a sentence for the operator.
    QString unreadable() const { return m_unreadable; }
    // How many of the earlier night's prizes gift.txt no longer has (OtherPrizes).
    int differingPrizes() const { return m_differing; }
    // Where the whole of a journal with unreadable lines in it was copied before anything
    // is cut, and why that failed when it did.
    QString damagedCopy() const { return m_damagedCopy; }
    QString damagedCopyError() const { return m_copyError; }

    // Goes on with the earlier night, on its own prize list: the record is rebuilt, the
    // journal continued after its last whole line. False when the journal cannot be
    // continued (the night goes on in memory only; journalError() says why).
    bool resume();
    // Keeps the earlier journal under a dated name beside it. When that fails the new
    // night is not journaled, so that nothing is written over it.
    struct Kept
    {
        bool ok = false;
        QString name;
        QString error;
    };
    Kept setAside();

    // A change of the board, `settled` as it will be once the prize window is up. Written
    // to disk before it returns. False only for the first write that fails. `guest` is who
    // the stop cell's number stands for, as the room is told at a Stop or a Card (empty
    // without a guest list, and for other changes): the journal keeps it with the line.
    bool note(BoardChange change, int index, const Board &settled, const QDateTime &time,
              const Guest &guest = {});
    // The bingo numbers taken so far; a journal is begun for them if there is none yet.
    // Those of a draw that ended (its numbers left the window) stay in every later line.
    bool noteBingo(const Journal::Bingo &bingo);
    // Full screen or not: written only into a journal already begun, and into a new one.
    bool noteView(bool fullScreen, const QDateTime &time);
    // While the light runs a disk sync must not hold back a step: lines written meanwhile
    // reach the disk with the stop's line.
    void setSyncLater(bool later) { m_syncLater = later; }

    const NightRecord &record() const { return m_record; }
    // Every number stopped on that is still out of play, as it was announced.
    const QMap<int, Guest> &announced() const { return m_announced; }
    // A name read back from a journal is shown only when the guest list's rules would show
    // it: a hand-edited journal is no list anyone checked. Set before resume().
    void setNameCheck(std::function<bool(const Guest &)> check) { m_nameCheck = std::move(check); }
    const Board &board() const { return m_last; }
    int round() const { return m_round; }
    const Journal::Bingo &bingo() const { return m_bingo; }
    bool fullScreen() const { return m_fullScreen; }
    bool journalBroken() const { return m_broken; }
    QString journalPath() const { return m_file.path(); }
    QString journalError() const { return m_error; }

private:
    void replay(const Journal::Entry &e);
    bool write(const QByteArray &line, const QDateTime &time, bool mayBegin);
    QString besideName(const QString &suffix) const;
    // The earlier journal's bytes, whole and synced, in a new file of that name.
    bool writeCopy(const QString &name, QString *error) const;
    void keepDamagedCopy();

    JournalFile m_file;
    QByteArray m_giftHash;
    QStringList m_giftLines;
    Journal::Contents m_earlier;
    QByteArray m_earlierBytes;
    QString m_unreadable;
    int m_differing = 0;
    QString m_damagedCopy;
    QString m_copyError;
    // What lies at the journal's path may be written over: it holds nothing, or is kept.
    bool m_replace = false;
    NightRecord m_record;
    QMap<int, Guest> m_announced;
    std::function<bool(const Guest &)> m_nameCheck;
    Board m_last;
    int m_round = 1;
    Journal::Bingo m_bingo;
    bool m_fullScreen = false;
    bool m_broken = false;
    QString m_error;
    bool m_syncLater = false;
};
