#pragma once

class QFileDevice;

// What is written reaches the disk, not only the system's cache, before this returns: the
// journal must survive a power cut as well as a crash.
namespace FileSync {
bool sync(QFileDevice &file);
// Syncs made so far: some moments must make none.
int count();
// The platform's own call, on a file already flushed to the system.
bool toDisk(int handle);
} // namespace FileSync
