#pragma once

#include "board.h"
#include "boardchange.h"
#include "journal.h"
#include "journalfile.h"
#include "nightrecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Keeps the night: the record of who won what and the journal that lets a crashed
// program come back where it was. The window tells it every change before showing it.
class NightKeeper
{
public:
    static QString defaultJournalPath();

    NightKeeper(const QString &journalPath, const QByteArray &giftBytes,
                const QStringList &giftLines);

    // What the last run left behind.
    enum class Earlier
    {
        Nothing,     // no journal, or one with no change in it
        Unfinished,  // same prize list, closing picture not reached: it may go on
        Finished,    // the closing picture was reached
        OtherPrizes, // written for another gift.txt
        Damaged      // not a journal this program can read
    };
    Earlier inspect();
    const Journal::Contents &earlier() const { return m_earlier; }

    // Goes on with the earlier night: the record is rebuilt, the journal continued after
    // its last whole entry. False when the journal cannot be continued (the night goes on
    // in memory and in a new journal).
    bool resume();
    // Keeps the earlier journal under a dated name beside it; returns that name.
    QString setAside();

    // A change of the board, `settled` as it will be once the prize window is up. Written
    // to disk before it returns. False only for the first write that fails.
    bool note(BoardChange change, int index, const Board &settled, const QDateTime &time);

    const NightRecord &record() const { return m_record; }
    const Board &board() const { return m_last; }
    int round() const { return m_round; }
    bool journalBroken() const { return m_broken; }
    QString journalPath() const { return m_file.path(); }
    QString journalError() const { return m_error; }

private:
    void replay(const Journal::Entry &e);

    JournalFile m_file;
    QByteArray m_giftHash;
    QStringList m_giftLines;
    Journal::Contents m_earlier;
    NightRecord m_record;
    Board m_last;
    int m_round = 1;
    bool m_broken = false;
    QString m_error;
};
