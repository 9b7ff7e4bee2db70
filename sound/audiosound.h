#pragma once

#include "mixersource.h"

#include <QThread>

class AudioEngine;

// Plays through the default audio output with Qt Multimedia. One stream stays open on a
// thread of its own, pulled by the output, and each cue is placed in it by its stamp.
// Without an output device it stays silent; a lost output is opened again by a later cue,
// so the sound comes back after the sound server restarts.
class AudioSound : public QueuedSound
{
public:
    AudioSound();
    ~AudioSound() override;

    // Opens the device and reads the sounds, on the audio thread; returns at once.
    void load();
    // load(), once that widget has first painted: the start-up does not wait for the sound.
    void loadAfterPaint(QObject *widget);

protected:
    void wake() override;
    void reopen() override;

private:
    QThread m_thread;
    AudioEngine *m_engine = nullptr;
};
