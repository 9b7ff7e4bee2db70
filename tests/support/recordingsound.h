#pragma once

#include "sound.h"

#include <QList>

#include <array>

// Keeps every cue that would be heard, in order, with the roll's start and stop.
class RecordingSound : public Sound
{
public:
    struct Event
    {
        Cue cue;
        bool stop;
    };

    QList<Event> events;
    bool rolling = false;
    int silences = 0;
    // Hears every call too, as a window would have it heard.
    Sound *alsoTo = nullptr;

    int count(Cue cue) const { return m_started[std::size_t(cue)]; }
    void clear()
    {
        events.clear();
        m_started = {};
    }
    QList<Cue> cues() const
    {
        QList<Cue> l;
        for (const Event &e : events)
            if (!e.stop)
                l << e.cue;
        return l;
    }

protected:
    void start(Cue cue, qint64) override
    {
        events.append({cue, false});
        ++m_started[std::size_t(cue)];
        if (cue == Cue::Roll)
            rolling = true;
        if (alsoTo)
            alsoTo->play(cue);
    }
    void stop(Cue cue, qint64) override
    {
        events.append({cue, true});
        rolling = false;
        if (alsoTo)
            alsoTo->stopRoll();
    }
    void silence() override
    {
        ++silences;
        rolling = false;
        if (alsoTo) {
            // Silenced now; what follows is gated here.
            alsoTo->setMuted(true);
            alsoTo->setMuted(false);
        }
    }

private:
    std::array<int, CueCount> m_started{};
};
