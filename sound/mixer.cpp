#include "mixer.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}
quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
} // namespace

std::optional<Clip> Wav::read(const QByteArray &data, int rate)
{
    const char *p = data.constData();
    const qsizetype size = data.size();
    if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        return std::nullopt;
    bool formatOk = false;
    for (qsizetype at = 12; at + 8 <= size;) {
        const quint32 length = le32(p + at + 4);
        const qsizetype body = at + 8;
        if (length > quint32(size - body))
            return std::nullopt;
        if (std::memcmp(p + at, "fmt ", 4) == 0) {
            if (length < 16)
                return std::nullopt;
            formatOk = le16(p + body) == 1 && le16(p + body + 2) == 1 &&
                       le32(p + body + 4) == quint32(rate) && le16(p + body + 14) == 16;
        } else if (std::memcmp(p + at, "data", 4) == 0) {
            if (!formatOk)
                return std::nullopt;
            Clip clip(length / 2);
            for (std::size_t i = 0; i < clip.size(); ++i)
                clip[i] = qFromLittleEndian<qint16>(p + body + 2 * qsizetype(i));
            return clip;
        }
        at = body + qsizetype(length) + (length & 1);
    }
    return std::nullopt;
}

void Mixer::setClip(Sound::Cue cue, Clip clip)
{
    m_clips[std::size_t(cue)] = std::move(clip);
}

void Mixer::start(Sound::Cue cue, qint64 frame)
{
    if (clip(cue).empty())
        return;
    frame = std::max(frame, m_cursor);
    if (cue == Sound::Cue::Roll) {
        // One roll at a time: a second start only keeps it going.
        for (Voice &v : m_voices) {
            if (v.cue == cue && v.until > frame) {
                v.until = std::numeric_limits<qint64>::max();
                return;
            }
        }
    }
    m_voices.push_back({cue, frame, std::numeric_limits<qint64>::max()});
}

void Mixer::stopRoll(qint64 frame)
{
    frame = std::max(frame, m_cursor);
    for (Voice &v : m_voices) {
        if (v.cue == Sound::Cue::Roll)
            v.until = std::min(v.until, frame);
    }
}

void Mixer::render(qint16 *out, int frames)
{
    std::vector<qint32> sum(std::size_t(frames), 0);
    const qint64 end = m_cursor + frames;
    for (const Voice &v : m_voices) {
        const Clip &c = clip(v.cue);
        const qint64 length = qint64(c.size());
        const bool loops = v.cue == Sound::Cue::Roll;
        const qint64 last = loops ? v.until : v.from + length;
        const qint64 from = std::max(v.from, m_cursor);
        const qint64 to = std::min(last, end);
        for (qint64 f = from; f < to; ++f) {
            const qint64 i = f - v.from;
            sum[std::size_t(f - m_cursor)] += c[std::size_t(loops ? i % length : i)];
        }
    }
    for (int i = 0; i < frames; ++i)
        out[i] = qint16(std::clamp<qint32>(sum[std::size_t(i)], -32768, 32767));
    m_cursor = end;
    std::erase_if(m_voices, [this](const Voice &v) {
        const qint64 last =
            v.cue == Sound::Cue::Roll ? v.until : v.from + qint64(clip(v.cue).size());
        return last <= m_cursor;
    });
}

void StreamClock::observe(qint64 nowNs, qint64 writtenFrames)
{
    const double lead = double(writtenFrames) - double(nowNs) * Mixer::Rate / 1e9;
    while (!m_seen.empty() && m_seen.back().lead <= lead)
        m_seen.pop_back();
    m_seen.push_back({nowNs, lead});
    while (m_seen.front().at < nowNs - WindowNs)
        m_seen.pop_front();
}

qint64 StreamClock::frameFor(qint64 stampNs) const
{
    return qint64(double(stampNs + m_delayNs) * Mixer::Rate / 1e9 + leadFrames() + 0.5);
}
