#include "mixersource.h"

#include <QTest>

#include <algorithm>
#include <cstring>

namespace {
using Cue = Sound::Cue;
constexpr qint64 Ms = 1'000'000;
constexpr int FramesPerMs = Mixer::Rate / 1000;
const Clip Tick = {1000, -1000, 500};
} // namespace

class TestMixerSource : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placesByStamp_data();
    void placesByStamp();
    void dropsUntilOpen();
    void wakesOncePerSleep_data();
    void wakesOncePerSleep();
    void reopensAtMostOnceASecond_data();
    void reopensAtMostOnceASecond();
};

void TestMixerSource::placesByStamp_data()
{
    QTest::addColumn<QList<int>>("reads"); // bytes asked for, read after read
    QTest::addColumn<int>("aheadMs");      // what the output keeps queued
    QTest::addColumn<int>("lateMs");       // how late every read comes
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("stampMs");  // the click's call, from the stream's start
    QTest::addColumn<int>("muteMs");   // -1: never muted
    QTest::addColumn<int>("expected"); // the click's first frame; -1: silence throughout

    const QList<int> steady(40, 960); // 20 ms a read
    QList<int> uneven;
    for (int i = 0; i < 40; ++i)
        uneven << QList<int>{960, 2000, 34, 1440, 480}[i % 5];
    QTest::newRow("steady reads") << steady << 0 << 0 << 40 << 5 << -1 << 45 * FramesPerMs;
    QTest::newRow("stamp on a read") << steady << 0 << 0 << 40 << 20 << -1 << 60 * FramesPerMs;
    QTest::newRow("queued ahead") << steady << 40 << 0 << 60 << 5 << -1 << 65 * FramesPerMs;
    QTest::newRow("delay shorter than the queue")
        << steady << 40 << 0 << 40 << 5 << -1 << 60 * FramesPerMs;
    QTest::newRow("uneven reads") << uneven << 0 << 0 << 40 << 5 << -1 << 45 * FramesPerMs;
    QTest::newRow("uneven reads, queued ahead")
        << uneven << 30 << 0 << 70 << 77 << -1 << 147 * FramesPerMs;
    QTest::newRow("odd byte counts")
        << QList<int>(40, 961) << 0 << 0 << 40 << 5 << -1 << 45 * FramesPerMs;
    // Too short a delay: the frame is already gone, so as soon as possible, not lost.
    QTest::newRow("delay shorter than a read")
        << steady << 0 << 0 << 0 << 5 << -1 << 20 * FramesPerMs;
    QTest::newRow("muted while placed") << steady << 0 << 0 << 40 << 5 << 30 << -1;
    QTest::newRow("muted after it sounded")
        << steady << 0 << 0 << 40 << 5 << 100 << 45 * FramesPerMs;
    QTest::newRow("late reads") << steady << 0 << 7 << 40 << 5 << -1 << 45 * FramesPerMs;
    QTest::newRow("late reads, queued ahead")
        << steady << 40 << 13 << 60 << 5 << -1 << 65 * FramesPerMs;
}

// The output reads at its own pace, maybe late; the stream's position says where the
// output stands, each click lands its delay after its stamp, and everything else is silence.
void TestMixerSource::placesByStamp()
{
    QFETCH(QList<int>, reads);
    QFETCH(int, aheadMs);
    QFETCH(int, lateMs);
    QFETCH(int, delayMs);
    QFETCH(int, stampMs);
    QFETCH(int, muteMs);
    QFETCH(int, expected);

    QueuedSound sound;
    sound.setOpen(true);
    qint64 nowNs = 0;
    qint64 held = 0;
    MixerSource source(
        sound.queue(), [&nowNs] { return nowNs; }, [&held] { return held; }, delayMs * Ms);
    source.mixer().setClip(Cue::Click, Tick);
    // Unbuffered as the output opens it: a read-ahead would render far beyond the frames
    // asked for, before the cues meant for them are handed over.
    QVERIFY(source.open(QIODevice::ReadOnly | QIODevice::Unbuffered));

    // The stream's start is at 1 s on the clock; the output reads when what it holds has
    // played down to aheadMs.
    const qint64 base = 1000 * Ms;
    bool stamped = false;
    bool muted = false;
    QByteArray out;
    for (int n : reads) {
        // A late read finds the output holding less.
        nowNs = base + qint64(out.size() / 2) * Ms / FramesPerMs - (aheadMs - lateMs) * Ms;
        held = (aheadMs - lateMs) * FramesPerMs;
        if (!stamped && nowNs >= base + stampMs * Ms) {
            sound.queue().hand({CueRequest::Start, Cue::Click, base + stampMs * Ms});
            stamped = true;
        }
        if (!muted && muteMs >= 0 && nowNs >= base + muteMs * Ms) {
            sound.setMuted(true);
            muted = true;
        }
        QByteArray block(n, '\x7f');
        const qint64 got = source.read(block.data(), n);
        QCOMPARE(got, qint64(n / 2 * 2));
        out += block.left(int(got));
    }
    QVERIFY(stamped);

    std::vector<qint16> samples(std::size_t(out.size() / 2));
    std::memcpy(samples.data(), out.constData(), std::size_t(out.size()));
    const auto first = std::find_if(samples.begin(), samples.end(), [](qint16 v) { return v; });
    QCOMPARE(first == samples.end() ? -1 : int(first - samples.begin()), expected);
    if (expected >= 0) {
        QVERIFY(std::equal(Tick.begin(), Tick.end(), first));
        QVERIFY(std::all_of(first + qsizetype(Tick.size()), samples.end(),
                            [](qint16 v) { return v == 0; }));
    }
}

void TestMixerSource::dropsUntilOpen()
{
    QueuedSound sound;
    std::vector<CueRequest> taken;
    sound.play(Cue::Click);
    sound.queue().take(taken);
    QVERIFY(taken.empty());
    sound.setOpen(true);
    sound.play(Cue::Chime);
    sound.stopRoll();
    sound.queue().take(taken);
    QCOMPARE(taken.size(), std::size_t(2));
    QCOMPARE(taken[0].cue, Cue::Chime);
    QCOMPARE(taken[1].kind, CueRequest::Stop);
    QVERIFY(taken[0].stampNs <= taken[1].stampNs);
}

namespace {
class Sleeper : public QueuedSound
{
public:
    int wakes = 0;

protected:
    void wake() override
    {
        ++wakes;
        // What woke the stream is already there for it to take.
        QVERIFY(!queue().isEmpty());
    }
};
} // namespace

void TestMixerSource::wakesOncePerSleep_data()
{
    QTest::addColumn<QString>("script"); // s: fall asleep, p: play, r: stop the roll, m: mute
    QTest::addColumn<int>("wakes");
    QTest::newRow("awake") << "ppp" << 0;
    QTest::newRow("one sleep, many calls") << "sppp" << 1;
    QTest::newRow("two sleeps") << "spsp" << 2;
    QTest::newRow("a roll's end wakes") << "sr" << 1;
    QTest::newRow("muting wakes") << "sm" << 1;
    QTest::newRow("asleep, muted calls wake nothing") << "mspp" << 0;
}

// The stream sleeps when quiet; the first call after wakes it, and only the first.
void TestMixerSource::wakesOncePerSleep()
{
    QFETCH(QString, script);
    QFETCH(int, wakes);
    Sleeper sound;
    sound.setOpen(true);
    for (QChar c : script) {
        if (c == u's')
            sound.fallAsleep();
        else if (c == u'p')
            sound.play(Cue::Click);
        else if (c == u'r')
            sound.stopRoll();
        else if (c == u'm')
            sound.setMuted(true);
    }
    QCOMPARE(sound.wakes, wakes);
}

namespace {
// Calls at chosen stamps, so that a second passes when the script says so.
class Reopener : public QueuedSound
{
public:
    int asked = 0;
    void call(qint64 stampNs) { start(Cue::Click, stampNs); }

protected:
    void reopen() override { ++asked; }
};
} // namespace

void TestMixerSource::reopensAtMostOnceASecond_data()
{
    QTest::addColumn<QString>("script"); // a number: a cue at that ms; o: open; c: lost
    QTest::addColumn<int>("asks");
    QTest::addColumn<int>("taken"); // cues handed to a stream
    QTest::newRow("open: never asks") << "o 0 10 2000" << 0 << 3;
    QTest::newRow("lost: the next cue asks") << "c 5" << 1 << 0;
    QTest::newRow("a spin's clicks ask once a second")
        << "c 0 20 40 500 999 1000 1020 2500" << 3 << 0;
    QTest::newRow("back: cues are taken, no more asks") << "c 0 100 o 200 1500 c 1600" << 2 << 2;
    QTest::newRow("lost again within the second") << "c 0 o 300 c 400 900 1000" << 2 << 1;
}

// After the output is lost, the next cue asks for it again: not on every click of a
// spin, and never while it plays.
void TestMixerSource::reopensAtMostOnceASecond()
{
    QFETCH(QString, script);
    QFETCH(int, asks);
    QFETCH(int, taken);
    Reopener sound;
    for (const QString &step : script.split(u' ')) {
        if (step == QLatin1String("o"))
            sound.setOpen(true);
        else if (step == QLatin1String("c"))
            sound.setOpen(false);
        else
            sound.call(step.toLongLong() * Ms);
    }
    QCOMPARE(sound.asked, asks);
    std::vector<CueRequest> handed;
    sound.queue().take(handed);
    QCOMPARE(int(handed.size()), taken);
}

QTEST_GUILESS_MAIN(TestMixerSource)
#include "test_mixersource.moc"
