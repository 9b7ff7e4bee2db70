#pragma once

#include <QStringList>

// One row of a sheet as Excel shows it: its number (1-based) and its cells' texts from
// column A on, an empty text for a cell left empty.
struct SheetRow
{
    int number = 0;
    QStringList cells;
    bool operator==(const SheetRow &) const = default;
};
