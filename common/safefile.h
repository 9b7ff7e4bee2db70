#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Reads a file that comes from outside the program (prize list, title, journal). Only a
// regular file is opened, without blocking, and never more than a cap is read: a FIFO, a
// device or a huge file must not hang or flood the program before its first window.
// Beside it, the words the operator reads for any file the system refuses, read or
// written: always Traditional Chinese, never the system's own (often English) text.
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

// The system's error (errno on Unix, GetLastError() on Windows). Cleared before a call on a
// file and read at once after it fails, so that a failure the system did not report (one of
// Qt's own checks) is not blamed on an older error.
qint64 lastError();
void clearLastError();

enum class Use
{
    Read,
    Write // writing, making, renaming
};
// Why a file failed, as the end of a sentence: from the system's error when there is one
// (not 0), else from the kind of failure that Qt reports.
QString reason(qint64 error, Use use,
               QFileDevice::FileError qtError = QFileDevice::UnspecifiedError);

// Moves a file, or a symbolic link itself (one that leads nowhere too), to a name that must
// still be free. 0, or the system's error.
qint64 rename(const QString &from, const QString &to);
} // namespace SafeFile
