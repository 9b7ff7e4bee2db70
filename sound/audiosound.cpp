#include "audiosound.h"

#include "mixer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {
constexpr int PumpMs = 5;
// The device is asked to buffer about this much; the stream runs that far ahead.
constexpr int BufferMs = 40;
// From a stamp to its cue, on top of the buffered lead: covers the wait for the next
// pump and the lead's wobble, so every cue of a steady beat lands the same delay after it.
constexpr qint64 DelayNs = 25'000'000;

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

void sayOnce(const char *what)
{
    std::fprintf(stderr, "zentavo: no sound (%s)\n", what);
}

// Without a sound server the audio back end complains, and may do so again on every try;
// what it says on the audio thread is dropped, and one line of ours tells instead.
std::atomic<QThread *> g_quietThread = nullptr;
QtMessageHandler g_nextHandler = nullptr;

void quietOnAudioThread(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (QThread::currentThread() == g_quietThread.load())
        return;
    if (g_nextHandler)
        g_nextHandler(type, context, msg);
}
} // namespace

// Lives on the audio thread; everything here runs there.
class AudioEngine : public QObject
{
public:
    // The timer is a child so that it moves to the audio thread with the engine.
    explicit AudioEngine(AudioSound &owner) : m_owner(owner), m_clock(DelayNs), m_pump(this) {}
    ~AudioEngine() override
    {
        if (m_sink)
            m_sink->stop();
    }

    void begin()
    {
        for (int i = 0; i < Sound::CueCount; ++i) {
            const auto cue = Sound::Cue(i);
            QFile f(QString::fromLatin1(fileOf(cue)));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            if (std::optional<Clip> clip = Wav::read(f.readAll(), Mixer::Rate))
                m_mixer.setClip(cue, std::move(*clip));
        }
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            sayOnce("no audio output");
            return;
        }
        QAudioFormat format;
        format.setSampleRate(Mixer::Rate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            sayOnce("the audio output takes no 16-bit mono");
            return;
        }
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(int(format.bytesForDuration(BufferMs * 1000)));
        m_io = m_sink->start();
        if (!m_io || m_sink->error() != QAudio::NoError) {
            sayOnce("the audio output did not open");
            m_sink.reset();
            m_io = nullptr;
            return;
        }
        m_pump.setTimerType(Qt::PreciseTimer);
        m_pump.setInterval(PumpMs);
        QObject::connect(&m_pump, &QTimer::timeout, this, [this] { pump(); });
        m_pump.start();
        pump();
    }

private:
    void pump()
    {
        if (m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
            // The device went away; stay silent rather than retry on every block.
            m_pump.stop();
            sayOnce("the audio output stopped");
            return;
        }
        m_requests.clear();
        m_owner.takeRequests(m_requests);
        for (const AudioSound::Request &r : m_requests) {
            switch (r.kind) {
            case AudioSound::Request::Start:
                m_mixer.start(r.cue, m_clock.frameFor(r.stampNs));
                break;
            case AudioSound::Request::Stop:
                m_mixer.stopRoll(m_clock.frameFor(r.stampNs));
                break;
            case AudioSound::Request::Silence:
                m_mixer.silence();
                break;
            }
        }
        const int frames = int(m_sink->bytesFree() / 2);
        if (frames > 0) {
            m_block.resize(std::size_t(frames));
            m_mixer.render(m_block.data(), frames);
            m_io->write(reinterpret_cast<const char *>(m_block.data()), qint64(frames) * 2);
        }
        m_clock.observe(m_owner.now(), m_mixer.cursor());
    }

    AudioSound &m_owner;
    Mixer m_mixer;
    StreamClock m_clock;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_io = nullptr;
    QTimer m_pump;
    std::vector<AudioSound::Request> m_requests;
    std::vector<qint16> m_block;
};

AudioSound::AudioSound()
{
    m_requests.reserve(64);
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

void AudioSound::load()
{
    if (m_engine)
        return;
    static const bool quieted = [] {
        g_nextHandler = qInstallMessageHandler(quietOnAudioThread);
        return true;
    }();
    Q_UNUSED(quieted);
    g_quietThread = &m_thread;
    m_engine = new AudioEngine(*this);
    m_engine->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::started, m_engine, [this] { m_engine->begin(); });
    m_thread.start();
}

void AudioSound::takeRequests(std::vector<Request> &into)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    into.swap(m_requests);
}

void AudioSound::hand(Request r)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_requests.push_back(r);
}

void AudioSound::start(Cue cue, qint64 stampNs)
{
    hand({Request::Start, cue, stampNs});
}

void AudioSound::stop(Cue cue, qint64 stampNs)
{
    hand({Request::Stop, cue, stampNs});
}

void AudioSound::silence()
{
    hand({Request::Silence, Cue::Click, now()});
}
