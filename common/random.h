#pragma once

#include <QtGlobal>

#include <cstdint>

// The one generator of the program. Every run starts from the same seed, so the
// draws before the first spin are reproducible; only the board's Start reseeds it.
class Random
{
public:
    static constexpr std::uint32_t InitialSeed = 0x50FA11u;

    Random() = default;
    virtual ~Random() = default;
    Random(const Random &) = delete;
    Random &operator=(const Random &) = delete;

    // 0 <= r < 1, single precision.
    virtual float next();
    // Seconds since midnight, with their fraction.
    virtual void reseed(double secondsSinceMidnight);

    // Int(r * n) for the next r; always in 0..n-1 for n >= 1.
    int pick(int n);
    static int pick(float r, int n);

private:
    void seed(std::uint64_t value);

    std::uint64_t m_state[2] = {};
    bool m_seeded = false;
};
