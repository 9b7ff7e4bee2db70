#pragma once

#include "random.h"
#include "scriptedrandom.h"
#include "stage.h"

#include <QStringList>

// A night and every window that shows it, on a generator of the test's own: scripted (the
// values it hands out, then its last one again) or the program's own.
template <typename Generator> struct OwnGenerator
{
    Generator random;
};

class TestStage : private OwnGenerator<ScriptedRandom>, public Stage
{
public:
    explicit TestStage(const QStringList &prizes = {}, const QList<float> &values = {})
        : OwnGenerator{ScriptedRandom(values)}, Stage(prizes, OwnGenerator::random)
    {
    }
    ScriptedRandom &random() { return OwnGenerator::random; }
};

class ProgramStage : private OwnGenerator<Random>, public Stage
{
public:
    explicit ProgramStage(const QStringList &prizes = {}) : Stage(prizes, OwnGenerator::random) {}
    Random &random() { return OwnGenerator::random; }
};
