#include "random.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {
std::uint64_t splitMix(std::uint64_t &x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
} // namespace

void Random::seed(std::uint64_t value)
{
    m_state[0] = splitMix(value);
    m_state[1] = splitMix(value);
    m_seeded = true;
}

float Random::next()
{
    if (!m_seeded)
        seed(InitialSeed);
    // xorshift128+: fast, uniform enough for a party, and tiny.
    std::uint64_t s1 = m_state[0];
    const std::uint64_t s0 = m_state[1];
    const std::uint64_t result = s0 + s1;
    m_state[0] = s0;
    s1 ^= s1 << 23;
    m_state[1] = s1 ^ s0 ^ (s1 >> 17) ^ (s0 >> 26);
    // The top 24 bits fill a float's mantissa exactly: every value is k / 2^24 < 1.
    return float(result >> 40) * (1.0f / 16777216.0f);
}

void Random::reseed(double secondsSinceMidnight)
{
    seed(std::bit_cast<std::uint64_t>(secondsSinceMidnight));
}

int Random::pick(int n)
{
    return pick(next(), n);
}

int Random::pick(float r, int n)
{
    // Formed in double so that r just below 1 never rounds up to n.
    const int k = int(std::floor(double(r) * double(n)));
    return std::clamp(k, 0, std::max(n - 1, 0));
}
