#include "safefile.h"

#include <QFile>
#include <QFileInfo>

// Windows has no FIFOs in the file system; a folder or a device name is still refused.
SafeFile::Read SafeFile::read(const QString &path, qint64 cap)
{
    Read r;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.status = Status::Missing;
        return r;
    }
    if (!info.isFile()) {
        r.status = Status::NotRegular;
        r.reason = info.isDir() ? QStringLiteral("它不是一般的檔案，而是一個資料夾")
                                : QStringLiteral("它不是一般的檔案");
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.status = Status::Unreadable;
        r.reason = QStringLiteral("系統拒絕讀取");
        return r;
    }
    r.bytes = file.read(cap + 1);
    if (file.error() != QFileDevice::NoError) {
        r = {};
        r.status = Status::Unreadable;
        r.reason = QStringLiteral("系統拒絕讀取");
    } else if (r.bytes.size() > cap) {
        r = {};
        r.status = Status::TooLarge;
    }
    return r;
}
