#pragma once

#include <QString>

// Who a number stands for tonight. Empty when no list names it.
struct Guest
{
    QString name;
    QString department; // a department, unit or table
    bool isEmpty() const { return name.isEmpty(); }
    bool operator==(const Guest &) const = default;
};
