#pragma once

#include "board.h"
#include "guest.h"
#include "listlimits.h"
#include "sheetrow.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>

// The optional list that gives tonight's numbers names. Columns: number, name, and a
// department or table, under a header row recognised by its words or without one; the
// header may sit below a title and blank rows. A row that is wrong is reported with its row
// number and names nothing; the rows that are right still name their numbers. Only texts
// and numbers name: an error value, a date or a formula without its value is a problem.
// Nothing is guessed: a number given twice names neither row.
namespace GuestList {
inline constexpr int MaxNumber = Board::Cells;
// Far more than a name shown on stage; keeps absurd cells away from text measuring.
inline constexpr int MaxTextLength = 100;
inline constexpr int MaxRows = ListLimits::Rows;
// How far down the header is looked for, in rows with text.
inline constexpr int HeaderSearchRows = 10;

// What the show can draw, from the windows; left empty, only the rules without fonts apply.
struct Display
{
    std::function<bool(char32_t)> canDraw;
    // The part too long to be shown, if any.
    std::function<std::optional<GuestPart>(const Guest &)> tooLong;
};

struct Problem
{
    int row = 0;     // 1-based, as Excel shows it
    QString message; // Traditional Chinese, begins with the row
    bool operator==(const Problem &) const = default;
};

struct Result
{
    QString path;
    QMap<int, Guest> guests;
    QList<Problem> problems; // by row
    QString refusal;         // the whole file could not be read: names the file
    int headerRow = 0;       // the row taken as the header, as Excel numbers it; 0 for none
    QString sheetName;       // the workbook's tab that was read; empty for a text file
    bool ok() const { return refusal.isEmpty(); }
    // A list was read, and it names no number at all.
    bool namesNobody() const { return ok() && !path.isEmpty() && guests.isEmpty(); }
    Guest guest(int number) const { return guests.value(number); }
    // 1..56 without a name, ascending.
    QList<int> unnamed() const;
    bool hasDepartments() const;
    // Where in the file the list was found, for the operator: "讀的是工作表「名單」，標題在第 3
    // 列"; empty when there is nothing to say.
    QString foundAt() const;
};

Result load(const QString &path, const Display &display = {});
// Bytes already read: a workbook by its first bytes, else text.
Result parse(const QByteArray &bytes, const QString &path, const Display &display = {});
Result fromRows(const QList<SheetRow> &rows, const QString &path, const Display &display = {});

// Whether a guest read from elsewhere (the journal) would be shown by the list's rules.
bool shows(const Guest &guest, const Display &display = {});

// The list beside the program, or empty: names.xlsx, then names.csv, then names.txt.
QString defaultPath(const QString &folder);
} // namespace GuestList
