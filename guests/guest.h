#pragma once

#include <QString>

// Who a number stands for tonight. Empty when no list names it.
struct Guest
{
    QString name;
    QString department; // a department, unit or table
    bool isEmpty() const { return name.isEmpty(); }
    // As the hall is told it: the name, the department or table after it in brackets.
    QString text() const
    {
        return department.isEmpty() ? name : QStringLiteral("%1（%2）").arg(name, department);
    }
    bool operator==(const Guest &) const = default;
};
