#include "sounds.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {
using Samples = std::vector<double>;
constexpr double Tau = 2 * std::numbers::pi;

Samples silence(double seconds)
{
    return Samples(std::size_t(seconds * Sounds::Rate), 0.0);
}

double noteHz(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// Adds a struck tone: partials (ratio, level) that die away with the given time constant.
void strike(Samples &s, double at, double hz, double level, double decay,
            std::initializer_list<std::pair<double, double>> partials)
{
    const auto from = std::size_t(at * Sounds::Rate);
    for (std::size_t i = from; i < s.size(); ++i) {
        const double t = double(i - from) / Sounds::Rate;
        const double attack = std::min(1.0, t / 0.002);
        double v = 0;
        for (const auto &[ratio, partLevel] : partials)
            v += partLevel * std::sin(Tau * hz * ratio * t) * std::exp(-t * ratio / decay);
        s[i] += level * attack * v;
    }
}

// Adds a held brassy note: odd and even harmonics under a swell and a release.
void blow(Samples &s, double at, double length, double hz, double level)
{
    const auto from = std::size_t(at * Sounds::Rate);
    const auto to = std::min(s.size(), from + std::size_t((length + 0.12) * Sounds::Rate));
    for (std::size_t i = from; i < to; ++i) {
        const double t = double(i - from) / Sounds::Rate;
        double env = std::min(1.0, t / 0.025);
        if (t > length)
            env *= std::max(0.0, 1.0 - (t - length) / 0.12);
        const double vibrato = 1.0 + 0.003 * std::sin(Tau * 5.5 * t) * std::min(1.0, t / 0.3);
        double v = 0;
        for (int h = 1; h <= 8; ++h)
            v += std::sin(Tau * hz * vibrato * h * t) / (h * (h < 4 ? 1.0 : 1.6));
        s[i] += level * env * v;
    }
}

QByteArray wav(Samples s, double level = 0.7)
{
    // Normalise to a given peak so the cues sit at known loudness, and fade the last
    // milliseconds so nothing ends on a step.
    const double peak =
        std::max(1e-9, std::abs(*std::max_element(s.begin(), s.end(), [](double a, double b) {
                     return std::abs(a) < std::abs(b);
                 })));
    const std::size_t fade = std::min<std::size_t>(s.size(), Sounds::Rate / 200);
    for (std::size_t i = 0; i < fade; ++i)
        s[s.size() - 1 - i] *= double(i) / double(fade);

    const auto dataBytes = quint32(s.size() * 2);
    QByteArray out(44 + qsizetype(dataBytes), '\0');
    char *p = out.data();
    auto put32 = [&p](quint32 v) {
        qToLittleEndian(v, p);
        p += 4;
    };
    auto put16 = [&p](quint16 v) {
        qToLittleEndian(v, p);
        p += 2;
    };
    auto tag = [&p](const char *t) {
        std::copy(t, t + 4, p);
        p += 4;
    };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(Sounds::Rate);
    put32(Sounds::Rate * 2);
    put16(2);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (double v : s)
        put16(quint16(qint16(std::lround(std::clamp(v / peak * level, -1.0, 1.0) * 32767))));
    return out;
}

// A fixed noise, the same on every run.
class Noise
{
public:
    double next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(m_state >> 11) / double(1ULL << 53) * 2.0 - 1.0;
    }

private:
    quint64 m_state = 0x5eed;
};
} // namespace

QByteArray Sounds::click()
{
    // A dry tick: a short woody knock, loud at its very start so its onset is sharp.
    Samples s = silence(0.012);
    Noise noise;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / Rate;
        s[i] = (std::sin(Tau * 1900 * t) + 0.5 * std::sin(Tau * 3700 * t) + 0.3 * noise.next()) *
               std::exp(-t / 0.0018);
    }
    return wav(s);
}

QByteArray Sounds::chime()
{
    // Two bell strokes going down, like a door chime.
    Samples s = silence(1.6);
    const std::initializer_list<std::pair<double, double>> bell = {
        {1.0, 1.0}, {2.0, 0.45}, {3.0, 0.25}, {4.2, 0.12}};
    strike(s, 0.0, noteHz(19), 1.0, 0.55, bell); // E6
    strike(s, 0.28, noteHz(15), 1.0, 0.7, bell); // C6
    return wav(s);
}

QByteArray Sounds::fanfare()
{
    // Three quick notes up and a held chord: the prize is announced.
    Samples s = silence(1.9);
    const int notes[] = {3, 7, 10}; // C5 E5 G5
    for (int i = 0; i < 3; ++i)
        blow(s, 0.14 * i, 0.11, noteHz(notes[i]), 1.0);
    for (int n : {15, 10, 7}) // C6 over G5 and E5
        blow(s, 0.42, 1.25, noteHz(n), n == 15 ? 0.9 : 0.6);
    return wav(s);
}

QByteArray Sounds::consolation()
{
    // A light two-note "well done", soft and short.
    Samples s = silence(1.0);
    const std::initializer_list<std::pair<double, double>> marimba = {{1.0, 1.0}, {4.0, 0.15}};
    strike(s, 0.0, noteHz(10), 1.0, 0.22, marimba); // G5
    strike(s, 0.16, noteHz(15), 1.0, 0.3, marimba); // C6
    return wav(s);
}

QByteArray Sounds::closing()
{
    // A slow, full chord that swells and fades out: the night is over.
    Samples s = silence(3.2);
    const int chord[] = {-9, -5, -2, 3, 7}; // C4 E4 G4 C5 E5
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / Rate;
        const double env = std::min(1.0, t / 0.6) * std::min(1.0, (3.2 - t) / 1.4);
        double v = 0;
        for (int n : chord) {
            const double hz = noteHz(n);
            v += std::sin(Tau * hz * t) + 0.3 * std::sin(Tau * 2 * hz * t) +
                 0.1 * std::sin(Tau * 3 * hz * t);
        }
        s[i] = env * v;
    }
    return wav(s);
}

QByteArray Sounds::ding()
{
    Samples s = silence(0.5);
    strike(s, 0.0, noteHz(24), 1.0, 0.25, {{1.0, 1.0}, {2.76, 0.3}}); // A6
    return wav(s);
}

QByteArray Sounds::roll()
{
    // Soft drum-roll strokes, 16 a second, on a low-passed noise; 24 strokes make 1.5 s.
    constexpr int Strokes = 24;
    constexpr double Beat = 1.0 / 16;
    Samples s = silence(Strokes * Beat);
    Noise noise;
    double low = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / Rate;
        const double inBeat = std::fmod(t, Beat);
        low += (noise.next() - low) * 0.18;
        // Alternate hands: every other stroke a little weaker.
        const double hand = (int(t / Beat) % 2) ? 0.8 : 1.0;
        s[i] = hand * low * (0.25 + std::exp(-inBeat / 0.018));
    }
    // The end fades into the first stroke's onset, so the loop joins without a step.
    return wav(s, 0.3);
}
