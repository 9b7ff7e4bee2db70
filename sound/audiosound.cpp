#include "audiosound.h"

#include "mixersource.h"

#include "audiooutput.h"
#include "clock.h"

#include <QEvent>
#include <QFile>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>

namespace {
// Asked of the output. Qt reads in 20 ms steps, only when a whole step is free, while
// PulseAudio keeps back part of the ask and starts playing only with somewhat more than
// one step queued: at 40 ms it waits for a second step that never comes.
constexpr int BufferMs = 60;
// From a stamp to its cue being played: covers what the output holds when it reads, some
// 25 ms, and the wait for the next read, a 20 ms step and a little. Every cue of a steady
// beat lands the same time after its call.
constexpr qint64 DelayNs = 60'000'000;
// Quiet this long, the stream stops being pulled, so that an idle program costs nothing;
// waking it takes a few milliseconds, which the first cue after the quiet may lose.
constexpr qint64 SleepAfterNs = 3'000'000'000;
constexpr int SleepCheckMs = 500;
constexpr int LoadAfterPaintMs = 300;
constexpr int ReopenEveryMs = 1000;

const char *fileOf(Sound::Cue cue)
{
    switch (cue) {
    case Sound::Cue::Click:
        return ":/zentavo/click.wav";
    case Sound::Cue::Chime:
        return ":/zentavo/chime.wav";
    case Sound::Cue::Fanfare:
        return ":/zentavo/fanfare.wav";
    case Sound::Cue::Consolation:
        return ":/zentavo/consolation.wav";
    case Sound::Cue::Closing:
        return ":/zentavo/closing.wav";
    case Sound::Cue::Ding:
        return ":/zentavo/ding.wav";
    case Sound::Cue::Roll:
        return ":/zentavo/roll.wav";
    }
    return "";
}

// Without a sound server the audio back end complains, and may do so again on every try;
// what it says on the audio thread, or on the sound server's own threads, is dropped, and
// one line of ours tells instead. Only the user-interface thread speaks for itself.
std::atomic<QThread *> g_quietThread = nullptr;
std::atomic<QThread *> g_speakingThread = nullptr;
QtMessageHandler g_nextHandler = nullptr;

void quietOnAudioThread(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type != QtFatalMsg && g_quietThread.load() &&
        QThread::currentThread() != g_speakingThread.load())
        return;
    if (g_nextHandler)
        g_nextHandler(type, context, msg);
}
} // namespace

// Lives on the audio thread; everything here runs there. The output pulls the mixed
// stream from its own timer on this thread.
class AudioEngine : public QObject
{
public:
    AudioEngine(QueuedSound &owner, AudioSound::OutputMaker makeOutput, AudioSound::Say say)
        : m_owner(owner), m_makeOutput(std::move(makeOutput)), m_say(std::move(say)),
          m_source(
              owner.queue(), [&owner] { return owner.now(); },
              [this] { return m_output->heldFrames(); }, DelayNs, this),
          m_sleepCheck(this)
    {
    }
    ~AudioEngine() override
    {
        m_owner.setOpen(false);
        m_output.reset();
    }

    void begin()
    {
        // Made here, so that its timers belong to this thread.
        m_output = m_makeOutput();
        m_output->lost = [this] {
            m_owner.setOpen(false);
            say(QByteArrayLiteral("zentavo: no sound (the audio output stopped)"));
            startRetrying();
        };
        // Run dry, the output's timeline has slipped: the next read says where it is now,
        // rather than the cues of the next second landing late by the gap.
        m_output->ranDry = [this] { m_source.resumed(); };
        for (int i = 0; i < Sound::CueCount; ++i) {
            const auto cue = Sound::Cue(i);
            QFile f(QString::fromLatin1(fileOf(cue)));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            if (std::optional<Clip> clip = Wav::read(f.readAll(), Mixer::Rate))
                m_source.mixer().setClip(cue, std::move(*clip));
        }
        m_sleepCheck.setInterval(SleepCheckMs);
        QObject::connect(&m_sleepCheck, &QTimer::timeout, this, [this] { sleepIfQuiet(); });
        if (const char *whyNot = tryOpen()) {
            say("zentavo: no sound (" + QByteArray(whyNot) + ")");
            startRetrying();
        }
    }

    // A cue came while the output was lost or never opened, or the retry's second has
    // come. A try that fails says nothing: the failure has been told once already.
    void reopen()
    {
        if (m_owner.isOpen()) {
            m_retrying = false;
            return;
        }
        if (m_owner.isMuted())
            return;
        if (const char *whyNot = tryOpen(); !whyNot) {
            m_retrying = false;
            say(QByteArrayLiteral("zentavo: sound is back"));
        }
    }

    void wake()
    {
        if (!m_output || !m_output->isSuspended())
            return;
        m_output->resume();
        m_source.resumed();
    }

private:
    // Lost, the output is tried again once a second for as long as the sound is on. Started
    // again, the seconds count from now.
    void startRetrying()
    {
        m_retrying = true;
        retryAfterASecond(++m_retryRound);
    }
    void retryAfterASecond(quint64 round)
    {
        Clock::current().after(ReopenEveryMs, Qt::CoarseTimer, this, [this, round] {
            if (!m_retrying || round != m_retryRound)
                return;
            reopen();
            if (m_retrying && round == m_retryRound)
                retryAfterASecond(round);
        });
    }

    // Opens the default output on the stream; what went wrong, or nothing.
    const char *tryOpen()
    {
        // Unbuffered: a read-ahead would render the stream long before its cues arrive.
        if (!m_source.isOpen())
            m_source.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        // A new output starts its own timeline.
        m_source.resumed();
        if (const char *whyNot = m_output->open(&m_source, BufferMs))
            return whyNot;
        // A sleep of the lost output is no sleep of this one.
        m_owner.takeAsleep();
        m_owner.setOpen(true);
        if (!m_sleepCheck.isActive())
            m_sleepCheck.start();
        return nullptr;
    }

    void sleepIfQuiet()
    {
        if (!m_output->isOpen() || m_output->isSuspended() ||
            m_owner.now() - m_source.lastHeardNs() < SleepAfterNs)
            return;
        m_owner.fallAsleep();
        m_output->suspend();
        // A call handed over just before the fall found the stream awake and woke nothing.
        if (!m_owner.queue().isEmpty() && m_owner.takeAsleep())
            wake();
    }

    // One line for each loss of the sound and each return, never one per try.
    void say(const QByteArray &line) { m_say(line); }

    QueuedSound &m_owner;
    AudioSound::OutputMaker m_makeOutput;
    AudioSound::Say m_say;
    std::unique_ptr<AudioOutput> m_output;
    MixerSource m_source;
    QTimer m_sleepCheck;
    bool m_retrying = false;
    quint64 m_retryRound = 0;
};

AudioSound::AudioSound(OutputMaker makeOutput, Say say)
    : m_makeOutput(std::move(makeOutput)), m_say(std::move(say))
{
    m_thread.setObjectName(QStringLiteral("audio"));
}

AudioSound::~AudioSound()
{
    if (!m_engine)
        return;
    // The engine's objects must go on the thread that made them, while it still runs.
    QMetaObject::invokeMethod(
        m_engine, [this] { delete m_engine; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    g_quietThread = nullptr;
}

namespace {
class AfterPaint : public QObject
{
public:
    AfterPaint(QObject *widget, std::function<void()> then)
        : QObject(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_then) {
            watched->removeEventFilter(this);
            // Not in the middle of the first paint, nor in the moments after it while the
            // window settles: loading the audio back end takes its libraries from disk and
            // would compete with the start-up on a small machine.
            QTimer::singleShot(LoadAfterPaintMs, this, [this] {
                const auto then = std::move(m_then);
                deleteLater();
                then();
            });
        }
        return false;
    }

private:
    std::function<void()> m_then;
};
} // namespace

void AudioSound::reopen()
{
    // Before load() the sound is not lost, only not there yet.
    if (!m_engine)
        return;
    QMetaObject::invokeMethod(
        m_engine, [engine = m_engine] { engine->reopen(); }, Qt::QueuedConnection);
}

void AudioSound::wake()
{
    QMetaObject::invokeMethod(
        m_engine, [engine = m_engine] { engine->wake(); }, Qt::QueuedConnection);
}

void AudioSound::loadAfterPaint(QObject *widget)
{
    new AfterPaint(widget, [this] { load(); });
}

void AudioSound::load()
{
    if (m_engine)
        return;
    static const bool quieted = [] {
        g_nextHandler = qInstallMessageHandler(quietOnAudioThread);
        return true;
    }();
    Q_UNUSED(quieted);
    g_speakingThread = QThread::currentThread();
    g_quietThread = &m_thread;
    m_engine = new AudioEngine(*this, m_makeOutput, m_say);
    m_engine->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::started, m_engine, [this] { m_engine->begin(); });
    m_thread.start();
}

void AudioSound::toStandardError(const QByteArray &line)
{
    std::fprintf(stderr, "%s\n", line.constData());
}
