#pragma once

#include "listlimits.h"
#include "sheetrow.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads the first sheet the user sees in an Excel workbook (.xlsx) as Excel shows its texts:
// shared and inline strings, the cached values of formulas, 7 and 7.0 both as "7". Hidden
// sheets and chart sheets are passed over. Each cell says what kind of value it holds. Whatever the
// file holds, the reading stays within the caps below and ends in well under a second.
namespace Workbook {
inline constexpr qint64 MaxFileBytes = 10 * 1024 * 1024;
// An entry's size when inflated, and all entries read together.
inline constexpr qint64 MaxPartBytes = 32 * 1024 * 1024;
inline constexpr qint64 MaxTotalBytes = 48 * 1024 * 1024;

enum class Status
{
    Ok,
    Missing,
    Unreadable, // also a folder, a FIFO or a device
    TooLarge,
    OldExcel,  // Excel 97-2003 (.xls)
    Encrypted, // saved with a password
    NotWorkbook,
    Damaged,
    Inflated, // a part inflates past its cap: a zip bomb, or no workbook Excel wrote
    Hostile,  // a DTD or absurd nesting
    TooManyRows,
    CellTooLong // more text in one place than Excel allows in a cell
};

struct Limits
{
    int rows = ListLimits::Rows;
    int columns = ListLimits::Columns;
};

struct Sheet
{
    Status status = Status::Ok;
    QString name;         // the tab's
    QList<SheetRow> rows; // those with any text or value, in the order of their numbers
    // Traditional Chinese, the end of a sentence ("無法讀取…（reason）"); for OldExcel and
    // Encrypted it says how to save the file again.
    QString reason;
    bool ok() const { return status == Status::Ok; }
};

Sheet read(const QByteArray &bytes, const Limits &limits = {});
Sheet load(const QString &path, const Limits &limits = {});

// Excel 97-2003 and password-protected workbooks are both OLE compound files.
bool isCompoundFile(const QByteArray &bytes);
bool isZip(const QByteArray &bytes);
} // namespace Workbook
