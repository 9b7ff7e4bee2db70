#pragma once

#include "boardchange.h"
#include "colourvalue.h"
#include "guest.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Board;

// Who won what tonight, in the order it happened: every stop with its card and prize,
// the stops thrown away, and the numbers changed by hand.
class NightRecord
{
public:
    enum class Kind
    {
        Stop,
        Discarded,
        Correction
    };
    struct Entry
    {
        Kind kind = Kind::Stop;
        qint64 drawNo = 0; // 0 for a correction
        int number = 0;    // 1..56
        int round = 1;
        int card = -1; // Board::Chance, Board::Fate, or -1 before a card is drawn
        QString prize;
        QDateTime time;
        QString note; // a correction's change of state
        // The guest list's name for the number as it was announced, or empty.
        QString name = {};
        QString department = {};
        bool operator==(const Entry &) const = default;
    };

    // One change of the board: the state before and after it, and the round after it. The
    // guest announced with a Stop names its entry; one announced with the Card, the same.
    void apply(BoardChange change, int index, const Board &before, const Board &after, int round,
               const QDateTime &time, const Guest &guest = {});

    const QList<Entry> &entries() const { return m_entries; }
    // Says something of the latest stop in its 說明.
    void noteOnLastStop(const QString &note);
    bool operator==(const NightRecord &) const = default;

    // 姓名 follows 號碼 only once a guest list has named someone, and 部門 only once a
    // department is known: without a list, every copy and file is as it always was.
    // No member initialisers: {} as a default argument below must be usable inside the class.
    struct Columns
    {
        bool names;
        bool departments;
    };
    Columns columns() const;
    static QStringList header(Columns columns = {});
    static QStringList fields(const Entry &e, Columns columns = {});
    // Tab-separated, a header row first: pastes into a spreadsheet as a table.
    QString toTsv() const;
    // UTF-8 with a byte order mark, so a spreadsheet on Windows reads the Chinese right.
    QByteArray toCsv() const;
    // An Excel workbook: 序號 and 號碼 as numbers, the rest as text (a prize like =1+1 too).
    // Empty, with the reason, when it could not be made.
    QByteArray toXlsx(QString *reason = nullptr) const;

    static QString cardName(int card);
    static QString kindName(Kind kind);
    static QString stateName(ColourValue cell);

private:
    QList<Entry> m_entries;
    qsizetype m_pending = -1; // the stop still waiting for its card
};
