#pragma once

#include <QObject>
#include <QtGlobal>

#include <functional>

// What the program waits on that a person feels: a key settling or held, the sound's retries,
// a window's growth. It reads the steady clock and Qt's timers; a test puts its own clock in
// their place and moves it on, so that what a key or a step means does not hang on how busy
// the machine is.
class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since a fixed moment.
    virtual qint64 now() const = 0;
    // Runs action on context's thread once ms have passed, unless context is gone by then.
    virtual void after(int ms, Qt::TimerType type, const QObject *context,
                       std::function<void()> action) = 0;

    // The clock in use: the steady one, unless a test has set its own.
    static Clock &current();
    // nullptr: the steady clock again.
    static void set(Clock *clock);
};
