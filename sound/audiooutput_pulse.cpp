#include "audiooutput.h"

#include "mixer.h"

#include <QIODevice>
#include <QThread>
#include <QTimer>

#include <pulse/pulseaudio.h>

#include <atomic>
#include <vector>

namespace {
// Straight to the PulseAudio server (or PipeWire's stand-in for it). Qt's own PulseAudio
// connection gives up for good when the server is away at the moment it tries again, so
// after a few quick restarts of the server the sound never came back; a connection of our
// own is made anew at every open. The stream is fed from this thread, on a timer, as
// much as the server asks for.
class PulseOutput : public AudioOutput
{
public:
    PulseOutput()
    {
        m_pump.setTimerType(Qt::PreciseTimer);
        m_pump.setInterval(PumpMs);
        QObject::connect(&m_pump, &QTimer::timeout, [this] { pump(); });
    }
    ~PulseOutput() override { close(); }

    const char *open(QIODevice *source, int bufferMs) override
    {
        close();
        m_source = source;
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
            close();
            return "no audio output";
        }
        pa_threaded_mainloop_lock(m_loop);
        const char *whyNot = connect(bufferMs);
        pa_threaded_mainloop_unlock(m_loop);
        if (whyNot) {
            close();
            return whyNot;
        }
        m_suspended = false;
        m_pump.start();
        pump();
        return nullptr;
    }

    bool isOpen() const override { return m_stream != nullptr; }

    qint64 heldFrames() const override { return m_held; }

    void suspend() override
    {
        if (!m_stream || m_suspended)
            return;
        m_pump.stop();
        cork(true);
        m_suspended = true;
    }

    void resume() override
    {
        if (!m_stream || !m_suspended)
            return;
        m_suspended = false;
        cork(false);
        m_pump.start();
        pump();
    }

    bool isSuspended() const override { return m_suspended; }

private:
    static constexpr int PumpMs = 10;
    static constexpr int ConnectWaitMs = 2000;

    // With the loop locked. Waits, a little at a time, for the server to answer.
    template <typename Ready> const char *await(Ready ready, const char *failure)
    {
        for (int waited = 0; waited < ConnectWaitMs; waited += 5) {
            switch (ready()) {
            case 1:
                return nullptr;
            case -1:
                return failure;
            default:
                break;
            }
            pa_threaded_mainloop_unlock(m_loop);
            QThread::msleep(5);
            pa_threaded_mainloop_lock(m_loop);
        }
        return failure;
    }

    const char *connect(int bufferMs)
    {
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Zentavo");
        if (!m_context || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
            return "no audio output";
        if (const char *whyNot = await(
                [this] {
                    const pa_context_state_t s = pa_context_get_state(m_context);
                    return s == PA_CONTEXT_READY                                  ? 1
                           : s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED ? -1
                                                                                  : 0;
                },
                "no audio output"))
            return whyNot;
        // One 16-bit channel at the mixer's rate.
        pa_format_info *format = pa_format_info_new();
        format->encoding = PA_ENCODING_PCM;
        pa_format_info_set_sample_format(format, PA_SAMPLE_S16LE);
        pa_format_info_set_rate(format, Mixer::Rate);
        pa_format_info_set_channels(format, 1);
        m_stream = pa_stream_new_extended(m_context, "Zentavo", &format, 1, nullptr);
        pa_format_info_free(format);
        if (!m_stream)
            return "the audio output takes no 16-bit mono";
        pa_stream_set_underflow_callback(
            m_stream,
            [](pa_stream *, void *self) {
                static_cast<PulseOutput *>(self)->m_underflow.store(true);
            },
            this);
        const auto bytes = [](int ms) { return uint32_t(Mixer::Rate / 1000 * ms * 2); };
        // About bufferMs queued, topped up in 20 ms steps, playing from the first step.
        const pa_buffer_attr attr{uint32_t(-1), bytes(bufferMs), bytes(20), bytes(20),
                                  uint32_t(-1)};
        m_minRequest = bytes(20) / 2;
        if (pa_stream_connect_playback(m_stream, nullptr, &attr,
                                       pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY |
                                                         PA_STREAM_AUTO_TIMING_UPDATE |
                                                         PA_STREAM_INTERPOLATE_TIMING),
                                       nullptr, nullptr) < 0)
            return "the audio output did not open";
        return await(
            [this] {
                const pa_stream_state_t s = pa_stream_get_state(m_stream);
                return s == PA_STREAM_READY                                 ? 1
                       : s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED ? -1
                                                                            : 0;
            },
            "the audio output did not open");
    }

    void cork(bool on)
    {
        pa_threaded_mainloop_lock(m_loop);
        if (pa_operation *op = pa_stream_cork(m_stream, on ? 1 : 0, nullptr, nullptr))
            pa_operation_unref(op);
        pa_threaded_mainloop_unlock(m_loop);
    }

    // Hands the server what it asks for, read from the source.
    void pump()
    {
        pa_threaded_mainloop_lock(m_loop);
        const bool up = pa_context_get_state(m_context) == PA_CONTEXT_READY &&
                        pa_stream_get_state(m_stream) == PA_STREAM_READY;
        size_t want = up ? pa_stream_writable_size(m_stream) : 0;
        if (up && want != size_t(-1) && want / 2 >= size_t(m_minRequest)) {
            pa_usec_t latency = 0;
            int negative = 0;
            if (pa_stream_get_latency(m_stream, &latency, &negative) == 0)
                m_held = negative ? 0 : qint64(latency * Mixer::Rate / 1'000'000);
            want &= ~size_t(1);
            m_block.resize(want);
            const qint64 got = m_source->read(m_block.data(), qint64(want));
            if (got > 0)
                pa_stream_write(m_stream, m_block.data(), size_t(got), nullptr, 0,
                                PA_SEEK_RELATIVE);
        }
        pa_threaded_mainloop_unlock(m_loop);
        if (!up) {
            close();
            if (lost)
                lost();
            return;
        }
        if (m_underflow.exchange(false) && ranDry)
            ranDry();
    }

    void close()
    {
        m_pump.stop();
        if (m_loop)
            pa_threaded_mainloop_stop(m_loop);
        if (m_stream) {
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
        if (m_loop) {
            pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
        }
        m_held = 0;
        m_suspended = false;
    }

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    QIODevice *m_source = nullptr;
    QTimer m_pump;
    std::vector<char> m_block;
    qint64 m_held = 0;
    int m_minRequest = 0;
    bool m_suspended = false;
    std::atomic<bool> m_underflow = false;
};
} // namespace

std::unique_ptr<AudioOutput> AudioOutput::create()
{
    return std::make_unique<PulseOutput>();
}
