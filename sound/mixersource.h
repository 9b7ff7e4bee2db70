#pragma once

#include "mixer.h"

#include <QIODevice>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

// What the user-interface thread hands to the audio side.
struct CueRequest
{
    enum Kind
    {
        Start,
        Stop,
        Silence
    } kind;
    Sound::Cue cue;
    qint64 stampNs;
};

// Carries the requests from the thread that stamps them to the one that plays them; the
// player takes them all at once, so neither side waits on the other for long.
class CueQueue
{
public:
    void hand(const CueRequest &r);
    void take(std::vector<CueRequest> &into);
    bool isEmpty();

private:
    std::mutex m_lock;
    std::vector<CueRequest> m_requests;
};

// Hands every call over to a queue that a stream takes from. Until a stream takes them the
// calls are dropped: a cue played late is worse than none.
class QueuedSound : public Sound
{
public:
    // A call while no stream takes them asks for one again, no more often than this: the
    // sound server may come back after a restart.
    static constexpr qint64 ReopenEveryNs = 1'000'000'000;

    CueQueue &queue() { return m_queue; }
    void setOpen(bool open) { m_open = open; }
    // A stream takes the calls.
    bool isOpen() const { return m_open; }

    // The stream has stopped pulling, having been quiet; the next call wakes it.
    void fallAsleep() { m_asleep = true; }
    // True once for a sleep, for whoever is to wake the stream.
    bool takeAsleep() { return m_asleep.exchange(false); }

protected:
    void start(Cue cue, qint64 stampNs) override;
    void stop(Cue cue, qint64 stampNs) override;
    void silence() override;
    // On the caller's thread, once a sleep, after the call has been handed over.
    virtual void wake() {}
    // On the caller's thread, for a call dropped while no stream takes them; only asks.
    virtual void reopen() {}

private:
    void hand(const CueRequest &r);

    CueQueue m_queue;
    qint64 m_lastReopenNs = -ReopenEveryNs; // the caller's thread alone
    std::atomic<bool> m_open = false;
    std::atomic<bool> m_asleep = false;
};

// The mixer as an endless stream an audio output pulls from. Each read first places what
// has been handed over since the last one, by its stamp against the stream's position,
// then renders the frames asked for: a cue lands a fixed time after its call, however the
// output happens to time and split its reads. The position is what has been read less
// what the output still holds, the frame it plays: that moves as the output plays,
// whenever the read comes.
class MixerSource : public QIODevice
{
public:
    // now: the clock of the stamps, in nanoseconds; held: the frames the output holds, not
    // yet played. delayNs: see StreamClock.
    MixerSource(CueQueue &queue, std::function<qint64()> now, std::function<qint64()> held,
                qint64 delayNs, QObject *parent = nullptr);

    Mixer &mixer() { return m_mixer; }
    const StreamClock &clock() const { return m_clock; }
    // The output stood still, or ran dry; its first read after says where it stands.
    void resumed() { m_clock.forget(); }
    // Clock time of the last read that had something to play or place; 0 before any.
    qint64 lastHeardNs() const { return m_lastHeardNs; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    CueQueue &m_queue;
    std::function<qint64()> m_now;
    std::function<qint64()> m_held;
    Mixer m_mixer;
    StreamClock m_clock;
    std::vector<CueRequest> m_taken;
    std::vector<qint16> m_block;
    qint64 m_lastHeardNs = 0;
};
