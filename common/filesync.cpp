#include "filesync.h"

#include "safefile.h"

#include <QFileDevice>
#include <QSaveFile>

#include <atomic>

namespace {
std::atomic<int> made{0};
}

bool FileSync::sync(QFileDevice &file)
{
    ++made;
    return file.flush() && toDisk(file.handle());
}

int FileSync::count()
{
    return made;
}

bool FileSync::save(const QString &path, const QByteArray &bytes, QString *reason)
{
    // Unbuffered: a buffered write fails only when the file is closed, and QSaveFile then
    // puts the cut-off file in place of the old one as if all was well. Until commit() the
    // bytes go to a file of their own, which the QSaveFile removes when it fails.
    QSaveFile file(path);
    SafeFile::clearLastError();
    bool done = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A short write says nothing of why; the next one fails with the reason.
    for (qint64 at = 0; done && at < bytes.size();) {
        SafeFile::clearLastError();
        const qint64 n = file.write(bytes.constData() + at, bytes.size() - at);
        done = n > 0;
        at += n;
    }
    if (done) {
        SafeFile::clearLastError();
        done = sync(file) && file.commit();
    }
    // Read at once, before anything else can change the system's error.
    if (!done && reason)
        *reason = SafeFile::reason(SafeFile::lastError(), SafeFile::Use::Write, file.error());
    return done;
}
