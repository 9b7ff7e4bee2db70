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
namespace Journal {
inline constexpr int Version = 1;

struct Entry
{
    BoardChange change = BoardChange::Stop;
    int index = 0;
    QDateTime time;
    int round = 1;
    Board state; // as settled: a consolation number already held
};

// Which prize list a journal belongs to: a hash of the bytes of gift.txt.
QByteArray giftHash(const QByteArray &giftBytes);

QByteArray headerLine(const QByteArray &giftHash, const QDateTime &began);
QByteArray entryLine(const Entry &entry);

struct Contents
{
    bool headerOk = false;
    QByteArray giftHash;
    QList<Entry> entries;
    // Bytes up to the end of the last whole line; anything after it is cut off on resume.
    qsizetype wholeBytes = 0;
    bool damaged = false;

    bool reachedClosing() const;
    // Stops made so far, as the board's counter shows them.
    qint64 stops() const;
};

// Never fails: a line that is cut short, malformed or out of range ends the journal there.
// The prize list is the night's start; entries without a list carry the previous one.
Contents read(const QByteArray &bytes, const QStringList &giftLines);
} // namespace Journal
