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
    }
    void stop(Cue cue, qint64) override
    {
        events.append({cue, true});
        rolling = false;
    }
    void silence() override
    {
        ++silences;
        rolling = false;
    }

private:
    std::array<int, CueCount> m_started{};
};
