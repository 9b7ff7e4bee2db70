#pragma once

#include <QByteArray>
#include <QString>

// Reads a file that comes from outside the program (prize list, title, journal). Only a
// regular file is opened, without blocking, and never more than a cap is read: a FIFO, a
// device or a huge file must not hang or flood the program before its first window.
namespace SafeFile {
enum class Status
{
    Ok,
    Missing,
    NotRegular, // a folder, FIFO, device or socket: the reason names which
    Unreadable,
    TooLarge // more than the cap
};

struct Read
{
    Status status = Status::Ok;
    QByteArray bytes;
    QString reason; // Traditional Chinese, for NotRegular and Unreadable
    bool ok() const { return status == Status::Ok; }
};

Read read(const QString &path, qint64 cap);
} // namespace SafeFile
