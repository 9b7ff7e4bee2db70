#pragma once

#include "sound.h"

#include <QByteArray>

#include <array>
#include <optional>
#include <vector>

// The samples of one sound: mono, 16 bit, at Mixer::Rate.
using Clip = std::vector<qint16>;

namespace Wav {
// A RIFF WAVE of 16-bit mono PCM at the given rate; nothing for anything else.
std::optional<Clip> read(const QByteArray &data, int rate);
} // namespace Wav

// Mixes the cues into one stream, each from the frame it was placed at. Frames count
// from the stream's start; render() produces them in order.
class Mixer
{
public:
    static constexpr int Rate = 24000;

    void setClip(Sound::Cue cue, Clip clip);
    const Clip &clip(Sound::Cue cue) const { return m_clips[std::size_t(cue)]; }

    // A frame already rendered means "as soon as possible".
    void start(Sound::Cue cue, qint64 frame);
    // Ends the looping roll at that frame, where it is.
    void stopRoll(qint64 frame);
    void silence() { m_voices.clear(); }

    void render(qint16 *out, int frames);
    qint64 cursor() const { return m_cursor; }
    int voiceCount() const { return int(m_voices.size()); }

private:
    struct Voice
    {
        Sound::Cue cue;
        qint64 from;
        qint64 until; // the loop's end; unused for one-shot cues
    };
    std::array<Clip, Sound::CueCount> m_clips;
    std::vector<Voice> m_voices;
    qint64 m_cursor = 0;
};

// Maps the stamps of the calls to frames of the stream. The stream runs ahead of the
// clock by what the device has buffered; that lead wobbles from block to block, so it is
// smoothed, and every cue lands a fixed delay after its stamp.
class StreamClock
{
public:
    // delayNs: from a stamp to its frame, above the smoothed lead; it must cover the
    // wobble of the lead and the wait for the next block.
    explicit StreamClock(qint64 delayNs) : m_delayNs(delayNs) {}

    // After a block: the frame the stream has been written up to, at clock time nowNs.
    void observe(qint64 nowNs, qint64 writtenFrames);
    qint64 frameFor(qint64 stampNs) const;
    double leadFrames() const { return m_lead; }

private:
    qint64 m_delayNs;
    double m_lead = 0;
    bool m_known = false;
};
