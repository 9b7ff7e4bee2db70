#pragma once

#include "board.h"
#include "boardchange.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

// The night written down change by change, one line each, so that a crash loses at most
// the change that was being written. Every line carries the whole board after the change
// (the prize list only where a card changed it), so the last whole line is the night.
// Beside the board's changes: the bingo numbers taken and whether the board is full screen.
namespace Journal {
// 2: the header holds the prize list itself, and the prize window's closing is written.
inline constexpr int Version = 2;

struct Entry
{
    BoardChange change = BoardChange::Stop;
    int index = 0;
    QDateTime time;
    int round = 1;
    Board state; // as settled: a consolation number already held
    // Who the number stood for when it was announced (a Stop, a Card), from the guest list;
    // kept so that a list changed after a crash renames no earlier winner. Empty without one.
    QString name = {};
    QString department = {};
};

// The bingo window's numbers taken so far, in order, and whether its draw runs; and the
// numbers of each earlier draw of the night, finished or cleared, oldest first. A journal
// written before draws were kept has none: it reads as a night of one draw.
struct Bingo
{
    QList<int> taken;
    bool drawing = false;
    QDateTime time;
    QList<QList<int>> draws = {};
    bool operator==(const Bingo &) const = default;
};

// Which prize list a version 1 journal belongs to: a hash of the bytes of gift.txt.
QByteArray giftHash(const QByteArray &giftBytes);

QByteArray headerLine(const QStringList &prizes, const QDateTime &began);
QByteArray entryLine(const Entry &entry);
QByteArray bingoLine(const Bingo &bingo);
QByteArray viewLine(bool fullScreen, const QDateTime &time);

struct Contents
{
    bool headerOk = false;
    int version = 0;
    QByteArray giftHash; // version 1
    QStringList prizes;  // version 2: the night's own list
    QList<Entry> entries;
    Bingo bingo;
    bool fullScreen = false;
    // Bytes up to the end of the last whole line; anything after it is cut off on resume.
    qsizetype wholeBytes = 0;
    // The last line kept is whole and valid but has no line end: resume writes it first.
    bool lastLineUnended = false;
    bool damaged = false;
    // More than a line cut short by a crash is unreadable: whole lines would be lost.
    bool linesLost = false;

    bool reachedClosing() const;
    // Stops made so far, as the board's counter shows them.
    qint64 stops() const;
    // The last stop kept, or nothing.
    const Entry *lastStop() const;
    // Anything the next start could bring back or must keep: a change of the board or bingo
    // numbers, those of the draw on screen or of an earlier one.
    bool holdsNight() const
    {
        return !entries.isEmpty() || !bingo.taken.isEmpty() || !bingo.draws.isEmpty();
    }
    // The last prize was still on screen, not yet confirmed; or it was the last one and
    // the closing picture never came.
    bool prizeOpen() const;
    // The number that prize went to: a later stop may have moved the board's on.
    int prizeCell() const;
    // The prizes the night began with, whatever it has given out since, or empty when a
    // version 1 journal without a card does not tell.
    QStringList nightPrizes() const;
};

// Never fails: a line that is cut short, malformed or out of range ends the journal there.
// A version 1 journal's night starts from `giftLines`; entries without a list carry the
// previous one.
Contents read(const QByteArray &bytes, const QStringList &giftLines);

// How many of the night's prizes the other list does not have, as the board holds them
// (56 entries, the missing ones empty), in any order.
int differingPrizes(const QStringList &night, const QStringList &other);
} // namespace Journal
