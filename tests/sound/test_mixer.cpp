#include "mixer.h"

#include <QFile>
#include <QtEndian>
#include <QTest>

#include <algorithm>

namespace {
using Cue = Sound::Cue;

QByteArray wav(int rate, int channels, int bits, const QList<qint16> &samples)
{
    QByteArray d;
    auto put32 = [&d](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        d.append(b, 4);
    };
    auto put16 = [&d](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        d.append(b, 2);
    };
    d.append("RIFF");
    put32(quint32(36 + samples.size() * 2));
    d.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(quint16(channels));
    put32(quint32(rate));
    put32(quint32(rate * channels * bits / 8));
    put16(quint16(channels * bits / 8));
    put16(quint16(bits));
    d.append("data");
    put32(quint32(samples.size() * 2));
    for (qint16 s : samples)
        put16(quint16(s));
    return d;
}

// Renders the next frames in blocks of the given size.
std::vector<qint16> renderIn(Mixer &m, int frames, int block)
{
    std::vector<qint16> out(static_cast<std::size_t>(frames));
    for (int at = 0; at < frames; at += block)
        m.render(out.data() + at, std::min(block, frames - at));
    return out;
}

int firstSound(const std::vector<qint16> &s)
{
    const auto it = std::find_if(s.begin(), s.end(), [](qint16 v) { return v != 0; });
    return it == s.end() ? -1 : int(it - s.begin());
}

class Recorder : public Sound
{
public:
    QList<Cue> started;
    int stops = 0;
    int silences = 0;

protected:
    void start(Cue cue, qint64) override { started << cue; }
    void stop(Cue, qint64) override { ++stops; }
    void silence() override { ++silences; }
};
} // namespace

class TestMixer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readWav_data();
    void readWav();
    void programSounds_data();
    void programSounds();
    void cueStartsAtItsFrame_data();
    void cueStartsAtItsFrame();
    void overlapsAddAndClip();
    void rollLoopsUntilStopped();
    void silenceDropsEverything();
    void steadyBeatStaysSteady_data();
    void steadyBeatStaysSteady();
    void clockKeepsThePromptReads_data();
    void clockKeepsThePromptReads();
    void clockAfterStandingStill();
    void muteGatesTheCalls();
};

void TestMixer::readWav_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("samples"); // -1: refused
    const QList<qint16> three = {1, -2, 3};
    QTest::newRow("mono 16 bit") << wav(Mixer::Rate, 1, 16, three) << 3;
    QTest::newRow("other rate") << wav(44100, 1, 16, three) << -1;
    QTest::newRow("stereo") << wav(Mixer::Rate, 2, 16, three) << -1;
    QTest::newRow("8 bit") << wav(Mixer::Rate, 1, 8, three) << -1;
    QTest::newRow("cut short") << wav(Mixer::Rate, 1, 16, three).chopped(2) << -1;
    QTest::newRow("not RIFF") << QByteArray("RIFX0000WAVE") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
    QByteArray extra = wav(Mixer::Rate, 1, 16, three);
    // An odd-sized chunk before the data is padded and skipped.
    extra.insert(36, QByteArray("LIST\x03\0\0\0abc\0", 12));
    QTest::newRow("chunk before data") << extra << 3;
}

void TestMixer::readWav()
{
    QFETCH(QByteArray, data);
    QFETCH(int, samples);
    const std::optional<Clip> clip = Wav::read(data, Mixer::Rate);
    QCOMPARE(clip.has_value(), samples >= 0);
    if (clip) {
        QCOMPARE(int(clip->size()), samples);
        QCOMPARE((*clip)[1], qint16(-2));
    }
}

void TestMixer::programSounds_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("shortest");
    QTest::addColumn<double>("longest");                               // seconds
    QTest::newRow("click") << ":/zentavo/click.wav" << 0.002 << 0.015; // under a 20 ms step
    QTest::newRow("chime") << ":/zentavo/chime.wav" << 0.5 << 2.5;
    QTest::newRow("fanfare") << ":/zentavo/fanfare.wav" << 1.0 << 3.0;
    QTest::newRow("consolation") << ":/zentavo/consolation.wav" << 0.4 << 2.0;
    QTest::newRow("closing") << ":/zentavo/closing.wav" << 1.0 << 5.0;
    QTest::newRow("ding") << ":/zentavo/ding.wav" << 0.1 << 1.0;
    QTest::newRow("roll") << ":/zentavo/roll.wav" << 0.5 << 3.0;
}

// The compiled-in sounds read as the mixer's format, are audible from their first
// millisecond (a click heard late would lag its step) and never clip.
void TestMixer::programSounds()
{
    QFETCH(QString, path);
    QFETCH(double, shortest);
    QFETCH(double, longest);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const std::optional<Clip> clip = Wav::read(f.readAll(), Mixer::Rate);
    QVERIFY(clip);
    const double seconds = double(clip->size()) / Mixer::Rate;
    QVERIFY2(seconds >= shortest && seconds <= longest, qPrintable(QString::number(seconds)));
    const auto peak = std::max_element(
        clip->begin(), clip->end(), [](qint16 a, qint16 b) { return std::abs(a) < std::abs(b); });
    QVERIFY(std::abs(*peak) > 3000 && std::abs(*peak) < 32000);
    const int onset = firstSound(std::vector<qint16>(clip->begin(), clip->end()));
    QVERIFY(onset >= 0 && onset < Mixer::Rate / 1000);
}

void TestMixer::cueStartsAtItsFrame_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside the first block") << 120 << 37 << 37;
    QTest::newRow("across a block boundary") << 120 << 119 << 119;
    QTest::newRow("several blocks on") << 120 << 1000 << 1000;
    QTest::newRow("odd blocks") << 7 << 500 << 500;
    QTest::newRow("one big block") << 4000 << 2999 << 2999;
}

// A cue sounds from the frame it was placed at, whatever the blocks around it.
void TestMixer::cueStartsAtItsFrame()
{
    QFETCH(int, block);
    QFETCH(int, frame);
    QFETCH(int, expected);
    Mixer m;
    m.setClip(Cue::Click, {1000, -1000, 500});
    m.start(Cue::Click, frame);
    const std::vector<qint16> out = renderIn(m, 4000, block);
    QCOMPARE(firstSound(out), expected);
    QCOMPARE(out[std::size_t(expected + 1)], qint16(-1000));
    QCOMPARE(out[std::size_t(expected + 3)], qint16(0));
    QCOMPARE(m.voiceCount(), 0);
}

void TestMixer::overlapsAddAndClip()
{
    Mixer m;
    m.setClip(Cue::Click, {20000, 20000, -20000});
    m.setClip(Cue::Ding, {100, 100, 100, 100});
    std::vector<qint16> out = renderIn(m, 10, 10);
    // Placed in the past: as soon as possible, not lost.
    m.start(Cue::Click, 3);
    m.start(Cue::Click, 11);
    m.start(Cue::Ding, 10);
    out = renderIn(m, 5, 5);
    QCOMPARE(out, (std::vector<qint16>{20100, 32767, 100 - 20000 + 20000, -20000 + 100, 0}));
}

void TestMixer::rollLoopsUntilStopped()
{
    Mixer m;
    m.setClip(Cue::Roll, {1, 2, 3});
    m.start(Cue::Roll, 2);
    m.start(Cue::Roll, 4); // already rolling: no second roll on top
    std::vector<qint16> out = renderIn(m, 8, 3);
    QCOMPARE(out, (std::vector<qint16>{0, 0, 1, 2, 3, 1, 2, 3}));
    m.stopRoll(10);
    out = renderIn(m, 4, 4);
    QCOMPARE(out, (std::vector<qint16>{1, 2, 0, 0}));
    QCOMPARE(m.voiceCount(), 0);
}

void TestMixer::silenceDropsEverything()
{
    Mixer m;
    m.setClip(Cue::Roll, {5});
    m.setClip(Cue::Fanfare, {7, 7, 7, 7});
    m.start(Cue::Roll, 0);
    m.start(Cue::Fanfare, 1);
    renderIn(m, 2, 2);
    m.silence();
    const std::vector<qint16> out = renderIn(m, 4, 4);
    QCOMPARE(firstSound(out), -1);
}

void TestMixer::steadyBeatStaysSteady_data()
{
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<int>("wobbleMs"); // how far the blocks' timing wanders
    QTest::newRow("20 ms steps, steady blocks") << 20 << 0;
    QTest::newRow("20 ms steps, wobbling blocks") << 20 << 8;
    QTest::newRow("500 ms steps, wobbling blocks") << 500 << 8;
}

// Stamps a beat apart land a beat apart in the stream, though the blocks that carry
// them are written at uneven times: the rhythm heard is the rhythm seen.
void TestMixer::steadyBeatStaysSteady()
{
    QFETCH(int, stepMs);
    QFETCH(int, wobbleMs);
    constexpr qint64 Ms = 1'000'000;
    StreamClock clock(25 * Ms);
    // The device takes a block every 5 ms, and has 40 ms queued; writes land up to
    // wobbleMs late, by a fixed pattern.
    const int wobble[] = {0, 3, 1, 7, 2, 8, 0, 5};
    QList<qint64> frames;
    qint64 nextStamp = 2000 * Ms;
    for (int pump = 0; pump < 2000; ++pump) {
        const qint64 now = pump * 5 * Ms + (wobbleMs ? wobble[pump % 8] * wobbleMs / 8 * Ms : 0);
        const qint64 written = (pump * 5 + 40) * Mixer::Rate / 1000;
        clock.observe(now, written);
        if (now >= nextStamp) {
            const qint64 f = clock.frameFor(nextStamp);
            QVERIFY2(f >= written, "placed where the stream has already been written");
            frames << f;
            nextStamp += stepMs * Ms;
        }
    }
    QVERIFY(frames.size() > 10);
    const qint64 beat = qint64(stepMs) * Mixer::Rate / 1000;
    for (qsizetype i = 1; i < frames.size(); ++i) {
        const qint64 gap = frames[i] - frames[i - 1];
        // Within a millisecond of the beat.
        QVERIFY2(std::abs(gap - beat) <= Mixer::Rate / 1000,
                 qPrintable(QStringLiteral("gap %1, beat %2").arg(gap).arg(beat)));
    }
}

void TestMixer::clockKeepsThePromptReads_data()
{
    QTest::addColumn<QList<int>>("lateMs"); // how late each 20 ms read comes, in turn
    QTest::addColumn<int>("slipAtMs"); // from then the output's timeline is 20 ms later; -1: never
    QTest::addColumn<int>("atMs");
    QTest::addColumn<int>("leadMs"); // the output holds 40 ms
    QTest::newRow("prompt reads") << QList<int>{0} << -1 << 2000 << 40;
    QTest::newRow("some reads late") << QList<int>{0, 3, 1, 7, 2, 8, 0, 5} << -1 << 2000 << 40;
    QTest::newRow("every read late") << QList<int>{4, 6, 5} << -1 << 2000 << 36;
    QTest::newRow("slipped just now") << QList<int>{0, 3} << 1500 << 1900 << 40;
    QTest::newRow("slipped a second ago") << QList<int>{0, 3} << 1500 << 2600 << 20;
}

// A late read is not taken for the output's timeline; a lasting slip is, after a while.
void TestMixer::clockKeepsThePromptReads()
{
    QFETCH(QList<int>, lateMs);
    QFETCH(int, slipAtMs);
    QFETCH(int, atMs);
    QFETCH(int, leadMs);
    constexpr qint64 Ms = 1'000'000;
    constexpr int FramesPerMs = Mixer::Rate / 1000;
    StreamClock clock(0);
    for (int k = 0; k * 20 <= atMs; ++k) {
        const int due = k * 20;
        const int slip = slipAtMs >= 0 && due >= slipAtMs ? 20 : 0;
        clock.observe((due + lateMs[k % lateMs.size()]) * Ms,
                      qint64(due + 40 - slip) * FramesPerMs);
    }
    QCOMPARE(qRound(clock.leadFrames() / FramesPerMs), leadMs);
}

// Paused output: what was seen before the pause goes, and the first read after says all.
void TestMixer::clockAfterStandingStill()
{
    constexpr qint64 Ms = 1'000'000;
    constexpr int FramesPerMs = Mixer::Rate / 1000;
    StreamClock clock(10 * Ms);
    for (int k = 0; k <= 50; ++k)
        clock.observe(k * 20 * Ms, qint64(k * 20 + 40) * FramesPerMs);
    clock.forget();
    // Stood still for 320 ms.
    clock.observe(1320 * Ms, qint64(1000 + 40) * FramesPerMs);
    QCOMPARE(qRound(clock.leadFrames() / FramesPerMs), 40 - 320);
    QCOMPARE(clock.frameFor(1330 * Ms), qint64(1060) * FramesPerMs);
}

void TestMixer::muteGatesTheCalls()
{
    Recorder r;
    r.play(Cue::Roll);
    r.setMuted(true);
    r.play(Cue::Click);
    r.setMuted(true);
    QCOMPARE(r.silences, 1);
    r.stopRoll(); // still reaches the device: a roll must be able to end
    r.setMuted(false);
    r.play(Cue::Chime);
    QCOMPARE(r.started, (QList<Cue>{Cue::Roll, Cue::Chime}));
    QCOMPARE(r.stops, 1);
}

QTEST_GUILESS_MAIN(TestMixer)
#include "test_mixer.moc"
