#include "safefile_p.h"

#include <QDir>

#include <windows.h>

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD DiskQuotaExceeded = 1295;

using namespace SafeFile;
using namespace SafeFile::Detail;

namespace {
struct Handle
{
    HANDLE h;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
} // namespace

Cause Detail::causeOf(Error error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return Cause::NoPermission;
    case ERROR_CANT_RESOLVE_FILENAME:
        return Cause::LinkLoop;
    case ERROR_FILENAME_EXCED_RANGE:
        return Cause::PathTooLong;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_IO_DEVICE:
        return Cause::DiskError;
    case ERROR_TOO_MANY_OPEN_FILES:
        return Cause::TooManyOpen;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return Cause::NoMemory;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Cause::Busy;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
        return Cause::NoDevice;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Cause::Exists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case DiskQuotaExceeded:
        return Cause::NoSpace;
    case ERROR_FILE_TOO_LARGE:
        return Cause::FileTooBig;
    case ERROR_WRITE_PROTECT:
        return Cause::ReadOnlyDisk;
    case ERROR_WRITE_FAULT:
        return Cause::DiskError;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Cause::NotFound;
    case ERROR_DIRECTORY:
        return Cause::NotFolder;
    default:
        return Cause::Other;
    }
}

qint64 SafeFile::lastError()
{
    return qint64(GetLastError());
}

void SafeFile::clearLastError()
{
    SetLastError(ERROR_SUCCESS);
}

// Without MOVEFILE_REPLACE_EXISTING a file of the new name is never replaced.
qint64 SafeFile::rename(const QString &from, const QString &to)
{
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    return MoveFileExW(source.c_str(), target.c_str(), 0) ? 0 : qint64(GetLastError());
}

// ReadFile takes a DWORD count: a megabyte at a time is plenty.
qint64 Detail::readSome(qintptr file, char *into, qint64 most, Error &error)
{
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(file), into, DWORD(qMin<qint64>(most, 1 << 20)), &n,
                  nullptr)) {
        error = GetLastError();
        return -1;
    }
    return n;
}

// A folder is refused by its attributes; anything else is opened (which does not wait, not
// even for a named pipe) and must turn out to be a file on a disk before a byte is read: a
// pipe, the console or a serial port would hang the read.
Read SafeFile::read(const QString &path, qint64 cap)
{
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return failed(Status::Missing);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return notRegular(Kind::Folder);
    }
    const Handle file{CreateFileW(name.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return failed(Status::Missing);
        if (error == ERROR_PIPE_BUSY)
            return notRegular(Kind::Pipe);
        return unreadable(error);
    }
    switch (GetFileType(file.h)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_CHAR:
        return notRegular(Kind::CharDevice);
    case FILE_TYPE_PIPE:
        return notRegular(Kind::Pipe);
    default:
        return notRegular(Kind::Other);
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.h, &size))
        return unreadable(GetLastError());
    // Too large by its own account: refused before a byte is read.
    if (size.QuadPart > cap)
        return failed(Status::TooLarge);
    return readCapped(reinterpret_cast<qintptr>(file.h), size.QuadPart, cap);
}
