#include "safefile.h"

#include <QDir>

#include <windows.h>

namespace {
using SafeFile::Read;
using SafeFile::Status;

Read failed(Status status, const QString &reason = {})
{
    Read r;
    r.status = status;
    r.reason = reason;
    return r;
}

QString reasonOf(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("沒有讀取這個檔案的權限");
    case ERROR_CANT_RESOLVE_FILENAME:
        return QStringLiteral("符號連結繞成了迴圈");
    case ERROR_FILENAME_EXCED_RANGE:
        return QStringLiteral("路徑太長");
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_IO_DEVICE:
        return QStringLiteral("磁碟讀取錯誤");
    case ERROR_TOO_MANY_OPEN_FILES:
        return QStringLiteral("系統開啟的檔案太多");
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return QStringLiteral("記憶體不足");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return QStringLiteral("檔案正在被使用");
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
        return QStringLiteral("裝置不存在");
    default: {
        wchar_t *text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
        const QString message = text ? QString::fromWCharArray(text).trimmed() : QString();
        LocalFree(text);
        return QStringLiteral("系統錯誤 %1：%2").arg(QString::number(error), message);
    }
    }
}

Read notRegular(const QString &kind)
{
    return failed(Status::NotRegular, QStringLiteral("它不是一般的檔案，而是一個%1").arg(kind));
}

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
        return notRegular(QStringLiteral("資料夾"));
    }
    const Handle file{CreateFileW(name.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return failed(Status::Missing);
        if (error == ERROR_PIPE_BUSY)
            return notRegular(QStringLiteral("具名管道"));
        return failed(Status::Unreadable, reasonOf(error));
    }
    switch (GetFileType(file.h)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_CHAR:
        return notRegular(QStringLiteral("字元裝置"));
    case FILE_TYPE_PIPE:
        return notRegular(QStringLiteral("具名管道"));
    default:
        return notRegular(QStringLiteral("特殊檔案"));
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.h, &size))
        return failed(Status::Unreadable, reasonOf(GetLastError()));
    if (size.QuadPart > cap)
        return failed(Status::TooLarge);
    // One byte past the cap rather than trusting the size: the file may grow meanwhile.
    Read r;
    r.bytes.resize(qMin<qint64>(cap + 1, qMax<qint64>(size.QuadPart + 1, 4096)));
    qsizetype got = 0;
    for (;;) {
        if (got == r.bytes.size()) {
            if (got > cap)
                return failed(Status::TooLarge);
            r.bytes.resize(qMin<qint64>(cap + 1, qint64(got) * 2));
        }
        DWORD n = 0;
        const DWORD want = DWORD(qMin<qsizetype>(r.bytes.size() - got, 1 << 20));
        if (!ReadFile(file.h, r.bytes.data() + got, want, &n, nullptr))
            return failed(Status::Unreadable, reasonOf(GetLastError()));
        if (n == 0)
            break;
        got += n;
    }
    r.bytes.truncate(got);
    return r;
}
