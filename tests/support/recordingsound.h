#pragma once

#include "sound.h"

#include <QList>

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

    int count(Cue cue) const
    {
        int n = 0;
        for (const Event &e : events)
            n += e.cue == cue && !e.stop;
        return n;
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
};
