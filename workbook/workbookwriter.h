#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// Rows written out as an Excel workbook (.xlsx) of one sheet: the header row bold and
// frozen, each column as wide as its widest text (a Chinese character counts twice), a
// number as a number, and every text as a string, so that "=1+1" or "@SUM(A1)" stays text
// and never runs in Excel.
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
} // namespace Workbook
