#pragma once

#include "random.h"

#include <QList>

// Hands out a fixed sequence, then repeats its last value; records reseeds.
class ScriptedRandom : public Random
{
public:
    explicit ScriptedRandom(QList<float> values = {}) : m_values(std::move(values)) {}

    void push(float v) { m_values.append(v); }
    float next() override
    {
        if (m_values.isEmpty())
            return 0.0f;
        const float v = m_values[std::min(m_used, m_values.size() - 1)];
        ++m_used;
        return v;
    }
    void reseed(double seconds) override { reseeds.append(seconds); }

    // The value whose pick among n is k.
    static float forPick(int k, int n) { return (float(k) + 0.5f) / float(n); }

    QList<double> reseeds;

private:
    QList<float> m_values;
    qsizetype m_used = 0;
};
