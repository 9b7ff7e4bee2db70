#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// What is written reaches the disk, not only the system's cache, before this returns: the
// journal must survive a power cut as well as a crash.
namespace FileSync {
bool sync(QFileDevice &file);
// Syncs made so far: some moments must make none.
int count();
// The platform's own call, on a file already flushed to the system.
bool toDisk(int handle);
// Writes a whole file in place of any of that name, on the disk before it returns; a file
// already there is left as it was when this fails. False with the reason, the end of a
// sentence in Traditional Chinese.
bool save(const QString &path, const QByteArray &bytes, QString *reason = nullptr);
} // namespace FileSync
