#include "safefile_p.h"

using namespace SafeFile;
using namespace SafeFile::Detail;

namespace {
QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Folder:
        return QStringLiteral("資料夾");
    case Kind::Fifo:
        return QStringLiteral("具名管道 (FIFO)");
    case Kind::Pipe:
        return QStringLiteral("具名管道");
    case Kind::CharDevice:
        return QStringLiteral("字元裝置");
    case Kind::BlockDevice:
        return QStringLiteral("區塊裝置");
    case Kind::Socket:
        return QStringLiteral("通訊端 (socket)");
    case Kind::Other:
        break;
    }
    return QStringLiteral("特殊檔案");
}

QString noPermission(Use use)
{
    return use == Use::Read ? QStringLiteral("沒有讀取這個檔案的權限")
                            : QStringLiteral("沒有寫入的權限");
}

QString reasonOf(Error error, Use use)
{
    const bool reading = use == Use::Read;
    switch (causeOf(error)) {
    case Cause::NoPermission:
        return noPermission(use);
    case Cause::LinkLoop:
        return QStringLiteral("符號連結繞成了迴圈");
    case Cause::PathTooLong:
        return QStringLiteral("路徑太長");
    case Cause::DiskError:
        return reading ? QStringLiteral("磁碟讀取錯誤") : QStringLiteral("磁碟寫入錯誤");
    case Cause::TooManyOpen:
        return QStringLiteral("系統開啟的檔案太多");
    case Cause::NoMemory:
        return QStringLiteral("記憶體不足");
    case Cause::FileTooBig:
        return QStringLiteral("檔案太大");
    case Cause::Busy:
        return QStringLiteral("檔案正在被使用");
    case Cause::NoDevice:
        return QStringLiteral("裝置不存在");
    case Cause::Exists:
        return QStringLiteral("那裡已經有同名的檔案");
    case Cause::NoSpace:
        return QStringLiteral("磁碟空間不足");
    case Cause::ReadOnlyDisk:
        return QStringLiteral("磁碟是唯讀的");
    case Cause::NotFound:
        return QStringLiteral("檔案或資料夾不存在");
    case Cause::NotFolder:
        return QStringLiteral("路徑中有一部分不是資料夾");
    case Cause::IsFolder:
        return QStringLiteral("它是一個資料夾");
    case Cause::Other:
        break;
    }
    // The system's own text would often be English: the number is enough to look it up.
    return QStringLiteral("系統錯誤，代碼 %1").arg(error);
}

// Where the system gave no error: what Qt says of the failure.
QString reasonOf(QFileDevice::FileError qtError, Use use)
{
    switch (qtError) {
    case QFileDevice::ResourceError:
        return QStringLiteral("磁碟空間或系統資源不足");
    case QFileDevice::PermissionsError:
        return noPermission(use);
    default:
        break;
    }
    return use == Use::Read ? QStringLiteral("無法讀取檔案") : QStringLiteral("無法寫入檔案");
}
} // namespace

Read Detail::failed(Status status, const QString &reason)
{
    Read r;
    r.status = status;
    r.reason = reason;
    return r;
}

Read Detail::notRegular(Kind kind)
{
    return failed(Status::NotRegular,
                  QStringLiteral("它不是一般的檔案，而是一個%1").arg(kindName(kind)));
}

Read Detail::unreadable(Error error)
{
    return failed(Status::Unreadable, reasonOf(error, Use::Read));
}

QString SafeFile::reason(qint64 error, Use use, QFileDevice::FileError qtError)
{
    return error != 0 ? reasonOf(error, use) : reasonOf(qtError, use);
}

Read Detail::readCapped(qintptr file, qint64 size, qint64 cap)
{
    // One byte past the cap rather than trusting the size: the file may grow meanwhile.
    Read r;
    r.bytes.resize(qMin<qint64>(cap + 1, qMax<qint64>(size + 1, 4096)));
    qsizetype got = 0;
    for (;;) {
        if (got == r.bytes.size()) {
            if (got > cap)
                return failed(Status::TooLarge);
            r.bytes.resize(qMin<qint64>(cap + 1, qint64(got) * 2));
        }
        Error error = 0;
        const qint64 n = readSome(file, r.bytes.data() + got, r.bytes.size() - got, error);
        if (n < 0)
            return unreadable(error);
        if (n == 0)
            break;
        got += n;
    }
    r.bytes.truncate(got);
    return r;
}
