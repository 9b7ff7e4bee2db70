#include "sound_bench.h"

#include "audiosound.h"
#include "scriptedrandom.h"
#include "stage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace {
constexpr int Rate = 24000; // the recording's, mono
constexpr int SpinLength = 200;

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Reads the recording of the default sink's monitor as it grows, on a thread of its own, so
// that the spin's event loop never delays a read; each read is timed, to place the recording
// on the steady clock. Without a file named, the bench records into one itself with parec;
// under Wine it cannot start a Linux program, and the caller records.
class Recorder
{
public:
    ~Recorder() { stop(); }

    bool start(QString path)
    {
        if (path.isEmpty()) {
            if (!m_own.open())
                return false;
            path = m_own.fileName();
            m_parec.setStandardOutputFile(path);
            m_parec.start(QStringLiteral("parec"),
                          {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                           QStringLiteral("--rate=%1").arg(Rate), QStringLiteral("--channels=1"),
                           QStringLiteral("--latency-msec=5"), QStringLiteral("-d"),
                           QStringLiteral("@DEFAULT_MONITOR@")});
            if (!m_parec.waitForStarted(5000))
                return false;
        }
        auto file = std::make_shared<QFile>(path);
        if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return false;
        m_thread = std::thread([this, file] {
            while (!m_stop) {
                const QByteArray d = file->read(1 << 20);
                if (d.isEmpty()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    continue;
                }
                const qint64 at = steadyNs();
                m_bytes += d;
                m_reads.push_back({at, m_bytes.size() / 2});
            }
        });
        return true;
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_parec.state() != QProcess::NotRunning) {
            m_parec.terminate();
            m_parec.waitForFinished(2000);
        }
    }

    // The samples, and the steady-clock time of the first one. A read hands over what was
    // recorded up to just before it, so the earliest-looking read is the closest to true.
    std::vector<qint16> samples() const
    {
        std::vector<qint16> s(std::size_t(m_bytes.size() / 2));
        std::memcpy(s.data(), m_bytes.constData(), s.size() * 2);
        return s;
    }
    qint64 firstSampleNs() const
    {
        qint64 best = std::numeric_limits<qint64>::max();
        for (const Read &r : m_reads)
            best = std::min(best, r.at - r.samples * 1'000'000'000 / Rate);
        return best;
    }

private:
    struct Read
    {
        qint64 at;
        qint64 samples; // recorded up to and with this read
    };
    QTemporaryFile m_own;
    QProcess m_parec;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    QByteArray m_bytes;
    std::vector<Read> m_reads;
};

// Passes the board's calls on, noting when each step of the light asked for its click.
class StepTimes : public Sound
{
public:
    explicit StepTimes(Sound &to) : m_to(to) {}
    std::vector<qint64> clicks;

protected:
    void start(Cue cue, qint64) override
    {
        if (cue == Cue::Click)
            clicks.push_back(steadyNs());
        m_to.play(cue);
    }
    void stop(Cue, qint64) override { m_to.stopRoll(); }

private:
    Sound &m_to;
};

// Where a click starts: loud after a quiet stretch longer than any gap inside a click.
std::vector<qint64> onsets(const std::vector<qint16> &s)
{
    constexpr int Loud = 3000;
    constexpr int QuietFrames = Rate * 3 / 1000;
    std::vector<qint64> found;
    qint64 lastLoud = -QuietFrames - 1;
    for (qint64 i = 0; i < qint64(s.size()); ++i) {
        if (std::abs(int(s[std::size_t(i)])) < Loud)
            continue;
        if (i - lastLoud > QuietFrames)
            found.push_back(i);
        lastLoud = i;
    }
    return found;
}

constexpr double MaxDelayMs = 400;
// Clicks closer than this make one onset: a click is loud for some 4 ms, and an onset needs
// 3 ms of quiet before it.
constexpr double BlurMs = 8;

// From each step to its click's onset, NaN for a step unheard. The clicks sound in the
// order of their steps, each within MaxDelayMs, but the delay may wander (under Wine by tens
// of milliseconds within a spin, more than a fast step lasts): of the pairings in order that
// hear the most steps, the one whose delay changes least. A step within BlurMs of the one
// before may share its onset. The chime, half a second after the last step, pairs with none.
std::vector<double> stepDelays(const std::vector<double> &steps, const std::vector<double> &heard)
{
    struct Pair
    {
        std::size_t step, onset;
        double delay;
        int count = 1;
        double change = 0;
        int from = -1;
    };
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < steps.size(); ++i)
        for (std::size_t j = 0; j < heard.size(); ++j)
            if (heard[j] >= steps[i] && heard[j] < steps[i] + MaxDelayMs)
                pairs.push_back({i, j, heard[j] - steps[i]});
    auto better = [](int count, double change, const Pair &than) {
        return count > than.count || (count == than.count && change < than.change);
    };
    int best = -1;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        Pair &p = pairs[k];
        for (std::size_t e = 0; e < k; ++e) {
            const Pair &q = pairs[e];
            const bool shared = q.onset == p.onset && q.step + 1 == p.step &&
                                steps[p.step] - steps[q.step] < BlurMs;
            if (q.step == p.step || q.onset > p.onset || (q.onset == p.onset && !shared))
                continue;
            const double change = q.change + std::abs(p.delay - q.delay);
            if (better(q.count + 1, change, p)) {
                p.count = q.count + 1;
                p.change = change;
                p.from = int(e);
            }
        }
        if (best < 0 || better(p.count, p.change, pairs[std::size_t(best)]))
            best = int(k);
    }
    std::vector<double> delays(steps.size(), std::numeric_limits<double>::quiet_NaN());
    for (int k = best; k >= 0; k = pairs[std::size_t(k)].from)
        delays[pairs[std::size_t(k)].step] = pairs[std::size_t(k)].delay;
    return delays;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::size_t(double(v.size() - 1) * p)];
}

bool serverAnswers()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit &&
           pactl.exitCode() == 0;
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

void runSoundBench(QTextStream &out, const QString &recording)
{
    out << "\n**Sound** (one spin of " << SpinLength
        << " cells played into a PulseAudio null sink, its monitor recorded; each click's onset "
           "against its light step)\n\n";
    out << "| figure | value | target |\n|---|---|---|\n";
    auto notMeasured = [&out](const char *why) {
        out << "| sound | not measured: " << why << " | |\n";
        out.flush();
    };
    if (recording.isEmpty() && !serverAnswers())
        return notMeasured("no PulseAudio server answered");

    AudioSound sound;
    sound.load();
    QElapsedTimer opening;
    opening.start();
    while (!sound.isOpen() && opening.elapsed() < 5000)
        waitMs(10);
    if (!sound.isOpen())
        return notMeasured("the audio output did not open");

    Recorder recorder;
    if (!recorder.start(recording))
        return notMeasured(recording.isEmpty() ? "parec did not start"
                                               : "the recording could not be read");
    // Long enough for the output to have settled and then, quiet, fallen asleep: the spin
    // starts as one does in the hall, after a while of silence.
    waitMs(4500);

    ScriptedRandom random({ScriptedRandom::forPick(SpinLength - 198, 5), 0.0f});
    Stage board({}, random);
    StepTimes steps(sound);
    board.night().setSound(&steps);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!board.night().board().timer1Enabled)
            loop.quit();
    });
    board.boardWindow().start();
    poll.start();
    loop.exec();
    waitMs(500);
    recorder.stop();

    const std::vector<qint16> samples = recorder.samples();
    const qint64 origin = recorder.firstSampleNs();
    std::vector<double> heardMs;
    for (qint64 f : onsets(samples))
        heardMs.push_back(double(origin + f * 1'000'000'000 / Rate) / 1e6);
    std::vector<double> stepMs;
    for (qint64 t : steps.clicks)
        stepMs.push_back(double(t) / 1e6);

    std::vector<double> delays;
    QStringList unheard;
    const std::vector<double> byStep = stepDelays(stepMs, heardMs);
    for (std::size_t i = 0; i < byStep.size(); ++i) {
        if (std::isnan(byStep[i]))
            unheard << QString::number(stepMs[i] - stepMs[0], 'f', 0);
        else
            delays.push_back(byStep[i]);
    }
    const double p50 = percentile(delays, 0.5);
    const double p99 = percentile(delays, 0.99);
    auto f = [](double v) { return QString::number(v, 'f', 1); };
    out << "| clicks heard / light steps | " << delays.size() << " / " << stepMs.size()
        << " | all (" << SpinLength - 2 << ") |\n";
    out << "| steps unheard, ms after the first | " << unheard.join(QStringLiteral(", "))
        << " | |\n";
    out << "| delay from light step to click, median ms | " << f(p50) << " | |\n";
    out << "| delay from light step to click, p99 ms | " << f(p99) << " | |\n";
    out << "| p99 − median, ms | " << f(p99 - p50) << " | ≤ 10 |\n";
    out << "| onsets in the recording (the chime's included) | " << heardMs.size() << " | |\n";
    int blurred = 0;
    for (std::size_t i = 1; i < stepMs.size(); ++i)
        blurred += stepMs[i] - stepMs[i - 1] < BlurMs;
    out << "| light steps within " << BlurMs << " ms of the one before (one onset for both) | "
        << blurred << " | |\n";
    out.flush();
}
