#pragma once

#include <QList>
#include <QStringList>

// One row of a sheet as Excel shows it: its number (1-based) and its cells' texts from
// column A on, an empty text for a cell left empty.
struct SheetRow
{
    // What a cell holds, for a reader that takes only texts and numbers. Text files know
    // nothing else, so a cell without a kind is Text.
    enum class Kind
    {
        Text,
        Number,
        Error,               // #N/A and the like
        Boolean,             // TRUE or FALSE
        Date,                // a number shown as a date or time
        FormulaWithoutValue, // written by a program that does not calculate
    };

    int number = 0;
    QStringList cells;
    QList<Kind> kinds; // beside cells; shorter when the rest are Text
    Kind kind(qsizetype column) const { return kinds.value(column, Kind::Text); }
    bool operator==(const SheetRow &) const = default;
};
