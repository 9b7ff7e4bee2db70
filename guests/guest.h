#pragma once

#include <QString>

// Who a number stands for tonight. Empty when no list names it.
struct Guest
{
    QString name;
    QString department; // a department, unit or table
    QString photo = {}; // the winner's photo, a file beside the program; none without one
    bool isEmpty() const { return name.isEmpty(); }
    // As the hall is told it: the name, the department or table after it in brackets.
    QString text() const { return name + after(); }
    // What follows the name; a long name breaks before it rather than inside it.
    QString after() const
    {
        return department.isEmpty() ? QString() : QStringLiteral("（%1）").arg(department);
    }
    // As the desk reads it out: "7 號　王美玲", the number alone when no list names it.
    static QString numbered(int number, const QString &text)
    {
        return QStringLiteral("%1 號　%2").arg(number).arg(text).trimmed();
    }
    bool operator==(const Guest &) const = default;
};

// The part of a guest that does not fit where it is shown.
enum class GuestPart
{
    Name,
    Department
};
