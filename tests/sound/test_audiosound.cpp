#include "audiosound.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

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
// A sound server away from one moment to another of the test's clock. Written on the
// audio thread only, read once that thread has ended.
struct Server
{
    QElapsedTimer clock;
    qint64 awayFromMs = 0;
    qint64 backAtMs = 0;
    QList<qint64> triedAtMs;

    bool up() const { return clock.elapsed() < awayFromMs || clock.elapsed() >= backAtMs; }
};

class FakeOutput : public AudioOutput
{
public:
    explicit FakeOutput(Server &server) : m_server(server)
    {
        // An open output notices the server going, as a real one does.
        QObject::connect(&m_watch, &QTimer::timeout, [this] {
            if (m_open && !m_server.up()) {
                m_open = false;
                lost();
            }
        });
        m_watch.start(20);
    }

    const char *open(QIODevice *, int) override
    {
        m_server.triedAtMs << m_server.clock.elapsed();
        m_open = m_server.up();
        return m_open ? nullptr : "no audio output";
    }
    bool isOpen() const override { return m_open; }
    qint64 heldFrames() const override { return 0; }
    void suspend() override {}
    void resume() override {}
    bool isSuspended() const override { return false; }

private:
    Server &m_server;
    QTimer m_watch;
    bool m_open = false;
};
} // namespace

void TestAudioSound::comesBack_data()
{
    QTest::addColumn<qint64>("awayFromMs");
    QTest::addColumn<qint64>("backAtMs");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<QStringList>("said");
    const QString lost = QStringLiteral("zentavo: no sound (the audio output stopped)");
    const QString back = QStringLiteral("zentavo: sound is back");
    QTest::newRow("away at the start")
        << qint64(0) << qint64(2500) << false
        << QStringList{QStringLiteral("zentavo: no sound (no audio output)"), back};
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
    Server server{{}, awayFromMs, backAtMs, {}};
    QStringList lines; // said on the audio thread too, never at once
    {
        AudioSound sound([&server] { return std::make_unique<FakeOutput>(server); },
                         [&lines](const QByteArray &line) { lines << QString::fromUtf8(line); });
        server.clock.start();
        sound.load();
        QTest::qWait(100);
        sound.setMuted(muted);
        QTest::qWait(int(backAtMs) + 1200);
    }
    QCOMPARE(lines, said);
    if (muted) {
        QCOMPARE(server.triedAtMs.size(), 1);
        return;
    }
    // A try at the start, then one a second until the server is back.
    QVERIFY(server.triedAtMs.size() >= 2);
    for (qsizetype i = 1; i < server.triedAtMs.size(); ++i)
        QVERIFY(server.triedAtMs[i] - server.triedAtMs[i - 1] >= 900);
    QVERIFY(server.triedAtMs.last() >= backAtMs && server.triedAtMs.last() < backAtMs + 1200);
}

QTEST_GUILESS_MAIN(TestAudioSound)
#include "test_audiosound.moc"
