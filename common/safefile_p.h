#pragma once

#include "safefile.h"

// What the two platform files share: the capped read and the wording live in safefile.cpp,
// each platform opens the file and names its own errors.
namespace SafeFile::Detail {
using Error = qint64; // errno on Unix, GetLastError() on Windows

// What a refused file turned out to be.
enum class Kind
{
    Folder,
    Fifo, // Unix
    Pipe, // Windows: a named pipe, not told apart from other pipes
    CharDevice,
    BlockDevice,
    Socket,
    Other
};

// The errors the user is told about in words of their own; Other by the error's number.
enum class Cause
{
    NoPermission,
    LinkLoop,
    PathTooLong,
    DiskError,
    TooManyOpen,
    NoMemory,
    FileTooBig,
    Busy,
    NoDevice,
    Exists,
    NoSpace,
    ReadOnlyDisk,
    NotFound,
    NotFolder,
    IsFolder,
    Other
};

Read failed(Status status, const QString &reason = {});
Read notRegular(Kind kind);
Read unreadable(Error error);
// Reads an open regular file that reports `size` bytes, refusing it past `cap`.
Read readCapped(qintptr file, qint64 size, qint64 cap);

// Each platform's own.
Cause causeOf(Error error);
// Up to `most` bytes: how many were read, 0 at the end, or -1 with `error` set.
qint64 readSome(qintptr file, char *into, qint64 most, Error &error);
} // namespace SafeFile::Detail
