#include "mixersource.h"

#include <algorithm>
#include <cstring>

void CueQueue::hand(const CueRequest &r)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_requests.push_back(r);
}

void CueQueue::take(std::vector<CueRequest> &into)
{
    into.clear();
    const std::lock_guard<std::mutex> hold(m_lock);
    into.swap(m_requests);
}

bool CueQueue::isEmpty()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_requests.empty();
}

void QueuedSound::hand(const CueRequest &r)
{
    if (!m_open) {
        if (r.stampNs - m_lastReopenNs >= ReopenEveryNs) {
            m_lastReopenNs = r.stampNs;
            reopen();
        }
        return;
    }
    m_queue.hand(r);
    if (takeAsleep())
        wake();
}

void QueuedSound::start(Cue cue, qint64 stampNs)
{
    hand({CueRequest::Start, cue, stampNs});
}

void QueuedSound::stop(Cue cue, qint64 stampNs)
{
    hand({CueRequest::Stop, cue, stampNs});
}

void QueuedSound::silence()
{
    hand({CueRequest::Silence, Cue::Click, now()});
}

MixerSource::MixerSource(CueQueue &queue, std::function<qint64()> now, std::function<qint64()> held,
                         qint64 delayNs, QObject *parent)
    : QIODevice(parent), m_queue(queue), m_now(std::move(now)), m_held(std::move(held)),
      m_clock(delayNs)
{
    m_taken.reserve(64);
}

qint64 MixerSource::bytesAvailable() const
{
    // Never runs dry: silence is part of the stream.
    return qint64(Mixer::Rate) * 2 + QIODevice::bytesAvailable();
}

qint64 MixerSource::readData(char *data, qint64 maxSize)
{
    const int frames = int(std::min<qint64>(maxSize / 2, Mixer::Rate));
    if (frames <= 0)
        return 0;
    // Where the stream stands now: read up to the cursor, the output holding some of it.
    const qint64 now = m_now();
    m_clock.observe(now, m_mixer.cursor() - m_held());
    m_queue.take(m_taken);
    if (!m_taken.empty() || m_mixer.voiceCount() > 0)
        m_lastHeardNs = now;
    for (const CueRequest &r : m_taken) {
        switch (r.kind) {
        case CueRequest::Start:
            m_mixer.start(r.cue, m_clock.frameFor(r.stampNs));
            break;
        case CueRequest::Stop:
            m_mixer.stopRoll(m_clock.frameFor(r.stampNs));
            break;
        case CueRequest::Silence:
            m_mixer.silence();
            break;
        }
    }
    // The output's buffer need not be aligned for samples.
    m_block.resize(std::size_t(frames));
    m_mixer.render(m_block.data(), frames);
    std::memcpy(data, m_block.data(), std::size_t(frames) * 2);
    return qint64(frames) * 2;
}
