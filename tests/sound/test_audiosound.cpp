#include "audiosound.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QMutex>
#include <QTest>

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
// A sound server the script takes away and brings back, on the test's clock.
struct Server
{
    QElapsedTimer clock;
    std::atomic<qint64> awayFromMs = -1; // -1: never
    std::atomic<qint64> backAtMs = 0;
    std::atomic<int> tries = 0;
    QMutex mutex;
    QList<qint64> triedAtMs;

    bool up() const
    {
        const qint64 t = clock.elapsed();
        return !(awayFromMs >= 0 && t >= awayFromMs && t < backAtMs);
    }
};

class FakeOutput : public AudioOutput
{
public:
    explicit FakeOutput(Server &server) : m_server(server) {}

    const char *open(QIODevice *, int) override
    {
        ++m_server.tries;
        {
            QMutexLocker lock(&m_server.mutex);
            m_server.triedAtMs << m_server.clock.elapsed();
        }
        m_open = m_server.up();
        if (m_open)
            m_watch.start();
        return m_open ? nullptr : "no audio output";
    }
    bool isOpen() const override { return m_open; }
    qint64 heldFrames() const override { return 0; }
    void suspend() override {}
    void resume() override {}
    bool isSuspended() const override { return false; }

private:
    // The open output notices the server going, as a real one does.
    struct Watch : QObject
    {
        explicit Watch(FakeOutput *o) : output(o) {}
        FakeOutput *output;
        int id = 0;
        void start()
        {
            if (!id)
                id = startTimer(20);
        }
        void timerEvent(QTimerEvent *) override
        {
            if (!output->m_open || output->m_server.up())
                return;
            output->m_open = false;
            if (output->lost)
                output->lost();
        }
    };

    Server &m_server;
    bool m_open = false;
    Watch m_watch{this};
};
} // namespace

void TestAudioSound::comesBack_data()
{
    QTest::addColumn<qint64>("awayFromMs");
    QTest::addColumn<qint64>("backAtMs");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<QStringList>("said");
    const QString lost = QStringLiteral("zentavo: no sound (the audio output stopped)");
    const QString none = QStringLiteral("zentavo: no sound (no audio output)");
    const QString back = QStringLiteral("zentavo: sound is back");
    QTest::newRow("away at the start")
        << qint64(0) << qint64(2500) << false << QStringList{none, back};
    QTest::newRow("lost while playing")
        << qint64(300) << qint64(1800) << false << QStringList{lost, back};
    QTest::newRow("lost while muted: no tries")
        << qint64(300) << qint64(1800) << true << QStringList{lost};
}

void TestAudioSound::comesBack()
{
    QFETCH(qint64, awayFromMs);
    QFETCH(qint64, backAtMs);
    QFETCH(bool, muted);
    QFETCH(QStringList, said);
    Server server;
    server.awayFromMs = awayFromMs;
    server.backAtMs = backAtMs;
    QMutex saidMutex;
    QStringList lines;
    {
        AudioSound sound([&server] { return std::make_unique<FakeOutput>(server); },
                         [&](const QByteArray &line) {
                             QMutexLocker lock(&saidMutex);
                             lines << QString::fromUtf8(line);
                         });
        server.clock.start();
        sound.load();
        if (muted) {
            QTest::qWait(100);
            sound.setMuted(true);
        }
        QTest::qWait(int(backAtMs) + 1300);
    }
    QCOMPARE(lines, said);
    QMutexLocker lock(&server.mutex);
    if (muted) {
        QCOMPARE(server.triedAtMs.size(), 1);
        return;
    }
    // One try at the start, then one a second until the server is back.
    QVERIFY(server.triedAtMs.size() >= 2);
    for (qsizetype i = 1; i < server.triedAtMs.size(); ++i)
        QVERIFY2(server.triedAtMs[i] - server.triedAtMs[i - 1] >= 900,
                 qPrintable(QString::number(server.triedAtMs[i] - server.triedAtMs[i - 1])));
    QVERIFY(server.triedAtMs.last() >= backAtMs);
    QVERIFY(server.triedAtMs.last() < backAtMs + 1200);
}

QTEST_GUILESS_MAIN(TestAudioSound)
#include "test_audiosound.moc"
