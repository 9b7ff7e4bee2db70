#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// Rows written out as an Excel workbook (.xlsx) of one sheet: the header row bold and
// frozen, each column as wide as its widest text (a Chinese character counts twice), a
// number as a number, and every text as a string, so that "=1+1" or "@SUM(A1)" stays text
// and never runs in Excel; such a text's cell is formatted as text too, so it stays text
// when someone edits it.
namespace Workbook {
using Cell = std::variant<QString, double>;

struct Written
{
    bool ok = false;
    QByteArray bytes; // the whole .xlsx
    QString reason;   // Traditional Chinese, when it failed
};

Written write(const QString &sheetName, const QStringList &header, const QList<QList<Cell>> &rows);

// The width of a text in Excel's columns: CJK and full-width characters take two.
int displayWidth(const QString &text);

// A spreadsheet takes a cell that begins with one of = + - @ (or a tab or a CR) for a
// formula once it is typed or pasted, also behind the quotes around a pasted cell and
// leading blanks (full-width ones too), which it strips first.
bool looksLikeFormula(const QString &text);
} // namespace Workbook
