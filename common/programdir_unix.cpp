#include "programdir.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

QString ProgramDir::path()
{
    static const QString dir = [] {
        QByteArray exe(4096, '\0');
        const ssize_t n = readlink("/proc/self/exe", exe.data(), size_t(exe.size()));
        if (n <= 0 || n >= exe.size())
            return QCoreApplication::applicationDirPath();
        exe.truncate(n);
        const QByteArray folder = exe.left(exe.lastIndexOf('/') + 1);
        const QString name = QFile::decodeName(folder);
        if (QFile::encodeName(name) == folder)
            return name.size() > 1 ? name.chopped(1) : name;
        // A name the file system's encoding cannot carry: the folder itself, held open for
        // the program's life, under a name that is plain ASCII.
        const int fd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return QCoreApplication::applicationDirPath();
        return QStringLiteral("/proc/self/fd/%1").arg(fd);
    }();
    return dir;
}
