#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

class QIODevice;

// The device side of the sound: the default output, playing one mono 16-bit stream at
// Mixer::Rate that it pulls from a source. One file per platform; everything runs on the
// thread that opened it.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;

    static std::unique_ptr<AudioOutput> create();

    // Opens the output on the source, keeping about bufferMs queued; what went wrong, or
    // nothing. A failed open leaves it closed.
    virtual const char *open(QIODevice *source, int bufferMs) = 0;
    virtual bool isOpen() const = 0;
    // Frames handed to the output and not yet played.
    virtual qint64 heldFrames() const = 0;
    // Stops pulling, and pulls again.
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual bool isSuspended() const = 0;

    // The output has gone (the sound server stopped); it is closed by then.
    std::function<void()> lost;
    // The output ran dry: its timeline has slipped.
    std::function<void()> ranDry;
};
