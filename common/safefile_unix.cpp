#include "safefile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString reasonOf(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有讀取這個檔案的權限");
    case ELOOP:
        return QStringLiteral("符號連結繞成了迴圈");
    case ENAMETOOLONG:
        return QStringLiteral("路徑太長");
    case EIO:
        return QStringLiteral("磁碟讀取錯誤");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("系統開啟的檔案太多");
    case ENOMEM:
        return QStringLiteral("記憶體不足");
    case EOVERFLOW:
    case EFBIG:
        return QStringLiteral("檔案太大");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("檔案正在被使用");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("裝置不存在");
    default:
        return QStringLiteral("系統錯誤 %1：%2")
            .arg(QString::number(error), QString::fromLocal8Bit(std::strerror(error)));
    }
}

bool regular(mode_t mode, Read &refusal)
{
    if (S_ISREG(mode))
        return true;
    QString kind = QStringLiteral("特殊檔案");
    if (S_ISDIR(mode))
        kind = QStringLiteral("資料夾");
    else if (S_ISFIFO(mode))
        kind = QStringLiteral("具名管道 (FIFO)");
    else if (S_ISCHR(mode))
        kind = QStringLiteral("字元裝置");
    else if (S_ISBLK(mode))
        kind = QStringLiteral("區塊裝置");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("通訊端 (socket)");
    refusal = failed(Status::NotRegular, QStringLiteral("它不是一般的檔案，而是一個%1").arg(kind));
    return false;
}
} // namespace

// stat first, then a non-blocking open and fstat again, in case the file was swapped
// between the two.
Read SafeFile::read(const QString &path, qint64 cap)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return failed(Status::Missing);
        return failed(Status::Unreadable, reasonOf(errno));
    }
    Read r;
    if (!regular(st.st_mode, r))
        return r;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(Status::Unreadable, reasonOf(errno));
    bool good = true;
    if (::fstat(fd, &st) != 0) {
        r = failed(Status::Unreadable, reasonOf(errno));
        good = false;
    } else {
        good = regular(st.st_mode, r);
    }
    // One byte past the cap rather than trusting the size the file reports.
    if (good)
        r.bytes.resize(qMin<qint64>(cap + 1, qMax<qint64>(st.st_size + 1, 4096)));
    qsizetype got = 0;
    while (good) {
        if (got == r.bytes.size()) {
            if (got > cap)
                break;
            r.bytes.resize(qMin<qint64>(cap + 1, qint64(got) * 2));
        }
        const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(r.bytes.size() - got));
        if (n == 0)
            break;
        if (n > 0) {
            got += n;
        } else if (errno != EINTR) {
            r = failed(Status::Unreadable, reasonOf(errno));
            good = false;
        }
    }
    ::close(fd);
    if (!good)
        return r;
    if (got > cap)
        return failed(Status::TooLarge);
    r.bytes.truncate(got);
    return r;
}
