#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <atomic>

// What the windows call to be heard. Calls come from the user-interface thread and only
// hand over: each is stamped with the moment of the call, so an implementation can place
// the sound where the event happened rather than where its next block starts.
class Sound
{
public:
    enum class Cue
    {
        Click,       // one step of the light
        Chime,       // the light has stopped
        Fanfare,     // the prize window shows a prize
        Consolation, // ... a consolation prize
        Closing,     // the closing picture opens
        Ding,        // the bingo draw has taken a number
        Roll,        // loops while a bingo draw runs, until stopRoll()
    };
    static constexpr int CueCount = int(Cue::Roll) + 1;

    Sound() { m_clock.start(); }
    virtual ~Sound() = default;
    Sound(const Sound &) = delete;
    Sound &operator=(const Sound &) = delete;

    void play(Cue cue);
    void stopRoll();
    // A muted sound drops every call, and what is already sounding stops.
    void setMuted(bool muted);
    bool isMuted() const { return m_muted; }

    // Nanoseconds on the clock that stamps the calls.
    qint64 now() const { return m_clock.nsecsElapsed(); }

protected:
    virtual void start(Cue cue, qint64 stampNs) = 0;
    virtual void stop(Cue cue, qint64 stampNs) = 0;
    virtual void silence() {}

private:
    QElapsedTimer m_clock;
    std::atomic<bool> m_muted = false; // read by the audio thread too
};

// No device, or no wish to hear anything.
class NullSound : public Sound
{
protected:
    void start(Cue, qint64) override {}
    void stop(Cue, qint64) override {}
};
