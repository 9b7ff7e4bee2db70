#pragma once

#include "sound.h"

#include <QThread>

#include <mutex>
#include <vector>

class AudioEngine;

// Plays through the default audio output with Qt Multimedia. One stream stays open on a
// thread of its own, fed a small block every few milliseconds, and each cue is placed in
// it by its stamp. Without an output device it stays silent.
class AudioSound : public Sound
{
public:
    AudioSound();
    ~AudioSound() override;

    // Opens the device and reads the sounds, on the audio thread; returns at once.
    void load();

    struct Request
    {
        enum Kind
        {
            Start,
            Stop,
            Silence
        } kind;
        Cue cue;
        qint64 stampNs;
    };
    // The audio thread collects what has been handed over since it last looked.
    void takeRequests(std::vector<Request> &into);

protected:
    void start(Cue cue, qint64 stampNs) override;
    void stop(Cue cue, qint64 stampNs) override;
    void silence() override;

private:
    void hand(Request r);

    QThread m_thread;
    AudioEngine *m_engine = nullptr;
    std::mutex m_lock;
    std::vector<Request> m_requests;
};
