#pragma once

#include "sheetrow.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A guest list saved as text, as Excel writes it: CSV in Big5 (code page 950) or UTF-8 with
// or without a byte-order mark, "Unicode text" (UTF-16, tabs), or a plain list with tabs.
// Fields may be quoted, a quoted field may hold commas, quotes ("") and line ends.
namespace GuestText {
struct Table
{
    QList<SheetRow> rows; // numbered as Excel would show them; rows without text left out
    QString reason;       // why the text cannot be read, the end of a sentence
    bool ok() const { return reason.isEmpty(); }
};

Table read(const QByteArray &bytes, int maxRows);
// Tabs when the text has any, else commas.
QList<QStringList> split(const QString &text);
} // namespace GuestText
