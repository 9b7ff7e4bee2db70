#pragma once

#include "prizelist.h"

#include <QString>

// The event's own title line, from a file beside the program. It is read with the prize
// list's rules, so a file the prize list would refuse is refused the same way.
namespace EventTitle {
// The title line as the board was designed with it.
QString designTitle();

struct Result
{
    QString title;   // empty: keep the design title
    QString message; // a refusal naming the file, or empty
    bool ok() const { return message.isEmpty(); }
};

// A missing file, or one whose first line is empty, keeps the design title. What the title
// line cannot show (a character without a face, a title too long for its line even at its
// smallest type) is refused before the night, never cut.
Result load(const QString &path, const PrizeList::Display &display = {});
} // namespace EventTitle
