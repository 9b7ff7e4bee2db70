#include "audiooutput.h"

#include "mixer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {
// Qt Multimedia's output: on Windows, the system's own audio (WASAPI), which comes back
// by itself.
class QtOutput : public AudioOutput
{
public:
    ~QtOutput() override
    {
        if (!m_sink)
            return;
        QObject::disconnect(m_sink.get(), nullptr, nullptr, nullptr);
        m_sink->stop();
    }

    const char *open(QIODevice *source, int bufferMs) override
    {
        m_sink.reset();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return "no audio output";
        QAudioFormat format;
        format.setSampleRate(Mixer::Rate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return "the audio output takes no 16-bit mono";
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(int(format.bytesForDuration(bufferMs * 1000)));
        m_sink->start(source);
        if (m_sink->state() == QAudio::StoppedState || m_sink->error() == QAudio::OpenError ||
            m_sink->error() == QAudio::FatalError) {
            m_sink.reset();
            return "the audio output did not open";
        }
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, [this](QAudio::State s) {
            if (s == QAudio::StoppedState && m_sink) {
                // Not from within the sink's own signal.
                m_sink.release()->deleteLater();
                if (lost)
                    lost();
                return;
            }
            if (s == QAudio::IdleState && m_sink->error() == QAudio::UnderrunError && ranDry)
                ranDry();
        });
        return nullptr;
    }

    bool isOpen() const override { return m_sink != nullptr; }

    qint64 heldFrames() const override
    {
        return m_sink ? qint64(m_sink->bufferSize() - m_sink->bytesFree()) / 2 : 0;
    }

    void suspend() override
    {
        if (m_sink)
            m_sink->suspend();
    }

    void resume() override
    {
        if (m_sink)
            m_sink->resume();
    }

    bool isSuspended() const override
    {
        return m_sink && m_sink->state() == QAudio::SuspendedState;
    }

private:
    std::unique_ptr<QAudioSink> m_sink;
};
} // namespace

std::unique_ptr<AudioOutput> AudioOutput::create()
{
    return std::make_unique<QtOutput>();
}
