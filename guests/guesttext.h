#pragma once

#include "listlimits.h"
#include "sheetrow.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A guest list saved as text, as Excel writes it: CSV in Big5 (code page 950) or UTF-8 with
// or without a byte-order mark, "Unicode text" (UTF-16, tabs, its mark sometimes lost), or a
// plain list with tabs. Fields may be quoted, a quoted field may hold commas, tabs, quotes
// ("") and line ends.
namespace GuestText {
inline constexpr int MaxFieldLength = ListLimits::CellText;
// Fields further right are left out, as a workbook's cells are: a line of ten million commas
// must not become ten million cells.
inline constexpr int MaxColumns = ListLimits::Columns;

struct Table
{
    QList<SheetRow> rows; // numbered as Excel shows them, a record a row; blank ones left out
    QString reason;       // why the text cannot be read, the end of a sentence
    bool ok() const { return reason.isEmpty(); }
};

Table read(const QByteArray &bytes, int maxRows);
// Tabs or commas, whichever the first line that has either has more of outside quotes.
QChar separator(const QString &text);
// The records of text, each a row; stops with a reason past maxRows records (blank ones
// count, as Excel shows them) or at a field longer than Excel's cells hold.
Table split(const QString &text, QChar separator, int maxRows);
} // namespace GuestText
