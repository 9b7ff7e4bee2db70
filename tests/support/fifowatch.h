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

// A FIFO where the program reads a file. Whatever opens it to read waits for a writer for
// good; the watch plays that writer as soon as a reader is there, so that a test of it fails
// at once instead of hanging. ok() is false where no FIFO can be made, as on Windows.
class FifoWatch
{
public:
    explicit FifoWatch(const QString &path)
    {
#ifndef Q_OS_WIN
        const QByteArray name = QFile::encodeName(path);
        if (::mkfifo(name.constData(), 0600) != 0)
            return;
        m_ok = true;
        m_thread = std::thread([this, name] {
            while (!m_stop) {
                // Without a reader the open fails at once (ENXIO). Once the FIFO is moved
                // away, a file made in its place is no concern of the watch.
                const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                struct stat st;
                if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode))
                    m_opened = true;
                if (fd >= 0)
                    ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
#else
        Q_UNUSED(path);
#endif
    }
    ~FifoWatch()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    FifoWatch(const FifoWatch &) = delete;
    FifoWatch &operator=(const FifoWatch &) = delete;

    bool ok() const { return m_ok; }
    // Something opened the FIFO to read: it would have hung there.
    bool opened() const { return m_opened; }

private:
    bool m_ok = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};
