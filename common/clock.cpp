#include "clock.h"

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>

namespace {
class SteadyClock : public Clock
{
public:
    SteadyClock() { m_started.start(); }
    qint64 now() const override { return m_started.elapsed(); }
    void after(int ms, Qt::TimerType type, const QObject *context,
               std::function<void()> action) override
    {
        QTimer::singleShot(ms, type, context, std::move(action));
    }

private:
    QElapsedTimer m_started;
};

// Read on the audio thread too.
std::atomic<Clock *> g_clock = nullptr;
} // namespace

Clock &Clock::current()
{
    static SteadyClock steady;
    Clock *set = g_clock.load();
    return set ? *set : steady;
}

void Clock::set(Clock *clock)
{
    g_clock = clock;
}
