#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// A FIFO where the program reads a file. Whatever opens it to read would wait for a writer
// for good: the watch plays that writer at once, so that the test fails instead of hanging.
// ok is false where no FIFO can be made, as on Windows.
struct FifoWatch
{
    explicit FifoWatch([[maybe_unused]] const QString &path)
    {
#ifndef Q_OS_WIN
        const QByteArray name = QFile::encodeName(path);
        ok = ::mkfifo(name.constData(), 0600) == 0;
        // Without a reader the open fails at once; a file made after the FIFO was moved away
        // is no concern of the watch.
        if (ok)
            thread = std::thread([this, name] {
                while (!stop) {
                    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                    struct stat st;
                    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode))
                        opened = true;
                    if (fd >= 0)
                        ::close(fd);
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            });
#endif
    }
    ~FifoWatch()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
    }

    bool ok = false;
    std::atomic<bool> stop{false};
    std::atomic<bool> opened{false}; // something opened it to read: it would have hung there
    std::thread thread;
};
