#pragma once

#include "sound.h"

#include <QByteArray>

#include <array>
#include <deque>
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

// Maps the stamps of the calls to frames of the stream. The stream's position runs at a
// steady lead on the clock; the output's word on it lags now and then (it counts what it
// played in steps), which shows as less lead, so the most seen over the last second is
// taken as the output's own timeline, and every cue lands a fixed delay after its stamp
// on it. After a second an underrun, or the output's clock drifting, has moved it for good.
class StreamClock
{
public:
    static constexpr qint64 WindowNs = 1'000'000'000;

    // delayNs: from a stamp to its frame, beyond the lead; it must cover the wait for the
    // next read.
    explicit StreamClock(qint64 delayNs) : m_delayNs(delayNs) {}

    // At a read: where the stream stands, in frames, at clock time nowNs.
    void observe(qint64 nowNs, qint64 writtenFrames);
    // What was seen no longer holds: the output stood still.
    void forget() { m_seen.clear(); }
    qint64 frameFor(qint64 stampNs) const;
    double leadFrames() const { return m_seen.empty() ? 0 : m_seen.front().lead; }

private:
    struct Seen
    {
        qint64 at;
        double lead;
    };
    qint64 m_delayNs;
    // Falling leads from the front, each the most seen since it: the front is the window's.
    std::deque<Seen> m_seen;
};
