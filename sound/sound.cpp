#include "sound.h"

void Sound::play(Cue cue)
{
    if (!m_muted)
        start(cue, now());
}

void Sound::stopRoll()
{
    // Not gated: a roll started before a mute must still be able to end.
    stop(Cue::Roll, now());
}

void Sound::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    if (muted)
        silence();
}
