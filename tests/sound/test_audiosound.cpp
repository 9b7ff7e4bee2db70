#include "audiosound.h"
#include "manualclock.h"

#include <QMutex>
#include <QTest>
#include <QThread>

#include <atomic>

// The output lost and found again: tried once a second for as long as it fails while the
// sound is on, with one line for each change, never one per try.
class TestAudioSound : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void comesBack_data();
    void comesBack();
};

namespace {
// A sound server away from one moment to another of the test's clock. The outputs try it
// on the audio thread; the test reads what they tried.
struct Server
{
    Server(const ManualClock &clock, qint64 awayFromMs, qint64 backAtMs)
        : clock(clock), awayFromMs(awayFromMs), backAtMs(backAtMs)
    {
    }

    const ManualClock &clock;
    const qint64 awayFromMs;
    const qint64 backAtMs;
    std::atomic<QObject *> output = nullptr; // lives on the audio thread

    bool up() const { return clock.now() < awayFromMs || clock.now() >= backAtMs; }
    void tried()
    {
        QMutexLocker lock(&mutex);
        triedAt << clock.now();
    }
    QList<qint64> triedAtMs() const
    {
        QMutexLocker lock(&mutex);
        return triedAt;
    }

    mutable QMutex mutex;
    QList<qint64> triedAt;
};

// Looks at the server every 20 ms of the clock, as a real output notices it going.
constexpr int WatchMs = 20;

class FakeOutput : public AudioOutput
{
public:
    explicit FakeOutput(Server &server) : m_server(server)
    {
        m_server.output = &m_context;
        watch();
    }

    const char *open(QIODevice *, int) override
    {
        m_server.tried();
        m_open = m_server.up();
        return m_open ? nullptr : "no audio output";
    }
    bool isOpen() const override { return m_open; }
    qint64 heldFrames() const override { return 0; }
    void suspend() override {}
    void resume() override {}
    bool isSuspended() const override { return false; }

private:
    void watch()
    {
        Clock::current().after(WatchMs, Qt::PreciseTimer, &m_context, [this] {
            if (m_open && !m_server.up()) {
                m_open = false;
                lost();
            }
            watch();
        });
    }

    Server &m_server;
    QObject m_context; // on the audio thread, where the output is made
    bool m_open = false;
};
} // namespace

void TestAudioSound::comesBack_data()
{
    QTest::addColumn<qint64>("awayFromMs");
    QTest::addColumn<qint64>("backAtMs");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QList<qint64>>("tries");
    const QString lost = QStringLiteral("zentavo: no sound (the audio output stopped)");
    const QString back = QStringLiteral("zentavo: sound is back");
    // A try at the start, then one a second from the loss until the server is back.
    QTest::newRow("away at the start")
        << qint64(0) << qint64(2500) << false
        << QStringList{QStringLiteral("zentavo: no sound (no audio output)"), back}
        << QList<qint64>{0, 1000, 2000, 3000};
    QTest::newRow("lost while playing") << qint64(300) << qint64(1800) << false
                                        << QStringList{lost, back} << QList<qint64>{0, 1300, 2300};
    QTest::newRow("lost while muted: no tries")
        << qint64(300) << qint64(1800) << true << QStringList{lost} << QList<qint64>{0};
}

void TestAudioSound::comesBack()
{
    QFETCH(qint64, awayFromMs);
    QFETCH(qint64, backAtMs);
    QFETCH(bool, muted);
    QFETCH(QStringList, said);
    QFETCH(QList<qint64>, tries);
    ManualClock clock;
    Server server(clock, awayFromMs, backAtMs);
    QStringList lines; // said on the audio thread, read once it has ended
    {
        AudioSound sound([&server] { return std::make_unique<FakeOutput>(server); },
                         [&lines](const QByteArray &line) { lines << QString::fromUtf8(line); });
        sound.load();
        // The audio thread makes its output and tries it, in its own time: once it is done
        // with that, the clock moves on.
        QTRY_VERIFY(server.output.load());
        QMetaObject::invokeMethod(
            server.output.load(), [] {}, Qt::BlockingQueuedConnection);
        clock.advance(100);
        sound.setMuted(muted);
        clock.advance(backAtMs + 1200 - 100);
        QCOMPARE(server.triedAtMs(), tries);
    }
    QCOMPARE(lines, said);
}

QTEST_GUILESS_MAIN(TestAudioSound)
#include "test_audiosound.moc"
