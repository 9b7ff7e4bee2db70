#include "safefile_p.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace SafeFile;
using namespace SafeFile::Detail;

namespace {
Kind kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISFIFO(mode))
        return Kind::Fifo;
    if (S_ISCHR(mode))
        return Kind::CharDevice;
    if (S_ISBLK(mode))
        return Kind::BlockDevice;
    if (S_ISSOCK(mode))
        return Kind::Socket;
    return Kind::Other;
}
} // namespace

Cause Detail::causeOf(Error error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return Cause::NoPermission;
    case ELOOP:
        return Cause::LinkLoop;
    case ENAMETOOLONG:
        return Cause::PathTooLong;
    case EIO:
        return Cause::DiskError;
    case EMFILE:
    case ENFILE:
        return Cause::TooManyOpen;
    case ENOMEM:
        return Cause::NoMemory;
    case EOVERFLOW:
    case EFBIG:
        return Cause::FileTooBig;
    case EBUSY:
    case ETXTBSY:
        return Cause::Busy;
    case ENXIO:
    case ENODEV:
        return Cause::NoDevice;
    case EEXIST:
    case ENOTEMPTY:
        return Cause::Exists;
    case ENOSPC:
    case EDQUOT:
        return Cause::NoSpace;
    case EROFS:
        return Cause::ReadOnlyDisk;
    case ENOENT:
        return Cause::NotFound;
    case ENOTDIR:
        return Cause::NotFolder;
    case EISDIR:
        return Cause::IsFolder;
    default:
        return Cause::Other;
    }
}

qint64 SafeFile::lastError()
{
    return errno;
}

void SafeFile::clearLastError()
{
    errno = 0;
}

qint64 SafeFile::rename(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // rename() would replace a file of the new name without a word.
    struct stat st;
    if (::lstat(target.constData(), &st) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

qint64 Detail::readSome(qintptr file, char *into, qint64 most, Error &error)
{
    ssize_t n;
    do {
        n = ::read(int(file), into, size_t(most));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        error = errno;
    return n;
}

// stat first, then a non-blocking open and fstat again, in case the file was swapped
// between the two.
Read SafeFile::read(const QString &path, qint64 cap)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return failed(Status::Missing);
        return unreadable(errno);
    }
    if (!S_ISREG(st.st_mode))
        return notRegular(kindOf(st.st_mode));
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return unreadable(errno);
    Read r;
    if (::fstat(fd, &st) != 0)
        r = unreadable(errno);
    else if (!S_ISREG(st.st_mode))
        r = notRegular(kindOf(st.st_mode));
    else
        r = readCapped(fd, st.st_size, cap);
    ::close(fd);
    return r;
}
