#pragma once

#include "clock.h"

#include <QMetaObject>
#include <QMutex>
#include <QPointer>
#include <QThread>

#include <list>

// The program's clock, set by the test: it stands still until advance() moves it on, and
// what was due on the way runs then, in order, each at its own moment. In use from its
// making to its end.
class ManualClock : public Clock
{
public:
    explicit ManualClock(qint64 start = 0) : m_now(start) { Clock::set(this); }
    ~ManualClock() override { Clock::set(nullptr); }
    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;

    qint64 now() const override
    {
        QMutexLocker lock(&m_mutex);
        return m_now;
    }

    void after(int ms, Qt::TimerType, const QObject *context, std::function<void()> action) override
    {
        QMutexLocker lock(&m_mutex);
        m_due.push_back(
            {m_now + std::max(ms, 0), const_cast<QObject *>(context), std::move(action)});
    }

    // Time passes; whatever falls due runs on its context's thread, the test waiting for it.
    void advance(qint64 ms)
    {
        const qint64 end = now() + ms;
        for (;;) {
            Due next;
            {
                QMutexLocker lock(&m_mutex);
                auto first = m_due.end();
                for (auto d = m_due.begin(); d != m_due.end(); ++d)
                    if (d->at <= end && (first == m_due.end() || d->at < first->at))
                        first = d;
                if (first == m_due.end()) {
                    m_now = end;
                    return;
                }
                next = std::move(*first);
                m_due.erase(first);
                m_now = std::max(m_now, next.at);
            }
            if (!next.context)
                continue;
            if (next.context->thread() == QThread::currentThread())
                next.action();
            else
                QMetaObject::invokeMethod(next.context, next.action, Qt::BlockingQueuedConnection);
        }
    }

    // Time passes with nothing run: a moment the program spends busy.
    void pass(qint64 ms)
    {
        QMutexLocker lock(&m_mutex);
        m_now += ms;
    }

    // Something waits on the clock.
    bool waiting() const
    {
        QMutexLocker lock(&m_mutex);
        for (const Due &d : m_due)
            if (d.context)
                return true;
        return false;
    }

private:
    struct Due
    {
        qint64 at = 0;
        QPointer<QObject> context;
        std::function<void()> action;
    };

    mutable QMutex m_mutex;
    qint64 m_now;
    std::list<Due> m_due; // in the order asked: of two due together, the first asked runs first
};
