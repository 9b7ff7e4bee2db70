#pragma once

#include "audiooutput.h"
#include "mixersource.h"

#include <QThread>

class AudioEngine;

// Plays through the default audio output. One stream stays open on a thread of its own,
// pulled by the output, and each cue is placed in it by its stamp. Without an output
// device it stays silent; a lost output is tried again once a second while the sound is
// on, so the sound comes back after the sound server restarts.
class AudioSound : public QueuedSound
{
public:
    using OutputMaker = std::function<std::unique_ptr<AudioOutput>()>;
    // Where the lines on losing and regaining the sound go; standard error by default.
    using Say = std::function<void(const QByteArray &line)>;
    explicit AudioSound(OutputMaker makeOutput = AudioOutput::create, Say say = toStandardError);
    static void toStandardError(const QByteArray &line);
    ~AudioSound() override;

    // Opens the device and reads the sounds, on the audio thread; returns at once.
    void load();
    // load(), once that widget has first painted: the start-up does not wait for the sound.
    void loadAfterPaint(QObject *widget);

protected:
    void wake() override;
    void reopen() override;

private:
    OutputMaker m_makeOutput;
    Say m_say;
    QThread m_thread;
    AudioEngine *m_engine = nullptr;
};
