#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

// The real program killed at three moments of the night and started again: 是 brings back
// the board as it was at the last change shown.
namespace {
class Driver
{
public:
    Driver(const QString &dataHome, const QString &giftPath, const char *answer)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The journal in a data folder of the test's own, named as the program names it.
        m_process.start(
            QStringLiteral(CRASHDRIVER),
            {giftPath, QLatin1String(answer), dataHome + QStringLiteral("/Zentavo/night.journal")});
    }
    ~Driver()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Runs one command; the lines it printed before its "ok".
    QStringList run(const QByteArray &command)
    {
        m_process.write(command + '\n');
        QStringList said;
        for (;;) {
            while (!m_process.canReadLine())
                if (!m_process.waitForReadyRead(20000))
                    return said << QStringLiteral("(no answer)");
            // Windows ends the driver's lines in CR LF.
            QString line = QString::fromUtf8(m_process.readLine());
            while (line.endsWith(u'\n') || line.endsWith(u'\r'))
                line.chop(1);
            if (line == QStringLiteral("ok"))
                return said;
            said << line;
        }
    }
    void kill()
    {
        m_process.kill();
        QVERIFY(m_process.waitForFinished());
        QCOMPARE(m_process.exitStatus(), QProcess::CrashExit);
    }

private:
    QProcess m_process;
};
} // namespace

class TestCrash : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killAndResume_data();
    void killAndResume();
};

void TestCrash::killAndResume_data()
{
    QTest::addColumn<QByteArrayList>("shown"); // up to the last change shown
    QTest::addColumn<QByteArrayList>("cut");   // then what the kill interrupts
    QTest::addColumn<QByteArray>("next");      // accepted after the resume
    const QByteArrayList night{"start", "finish", "card 0", "confirm",
                               "start", "finish", "card 1", "confirm"};
    QTest::newRow("after a stop") << (night + QByteArrayList{"start", "finish"}) << QByteArrayList{}
                                  << QByteArray("card 1");
    QTest::newRow("while the prize window grows")
        << (night + QByteArrayList{"start", "finish", "card 1"}) << QByteArrayList{}
        << QByteArray("start");
    QTest::newRow("during a spin")
        << night << QByteArrayList{"start", "ticks 120"} << QByteArray("start");
}

void TestCrash::killAndResume()
{
    QFETCH(QByteArrayList, shown);
    QFETCH(QByteArrayList, cut);
    QFETCH(QByteArray, next);
    QTemporaryDir dir;
    const QString gift = dir.filePath(QStringLiteral("gift.txt"));
    {
        QFile f(gift);
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 56; ++i)
            f.write(QStringLiteral("第%1號%2\n")
                        .arg(i)
                        .arg(i % 2 ? QStringLiteral("紀念獎") : QStringLiteral("大獎"))
                        .toUtf8());
    }
    const QString data = dir.filePath(QStringLiteral("data"));

    QString before;
    QStringList recordBefore;
    {
        Driver first(data, gift, "yes");
        for (const QByteArray &c : shown)
            QCOMPARE(first.run(c), QStringList());
        const QStringList d = first.run("dump");
        QCOMPARE(d.size(), 1);
        before = d[0];
        recordBefore = first.run("record");
        // A header and one row per stop, at least.
        QVERIFY(recordBefore.size() > shown.count("finish"));
        if (shown.last().startsWith("card"))
            QCOMPARE(first.run("growing"), QStringList{QStringLiteral("1")});
        for (const QByteArray &c : cut)
            QCOMPARE(first.run(c), QStringList());
        first.kill();
    }
    QVERIFY(QFile::exists(data + QStringLiteral("/Zentavo/night.journal")));

    Driver second(data, gift, "yes");
    const QStringList asked = second.run("dump");
    QCOMPARE(asked.size(), 2);
    const qsizetype stops = shown.count("finish");
    QCOMPARE(
        asked[0],
        QStringLiteral("asked 上次的抽獎尚未結束（已搖出 %1 次）。要繼續上次的抽獎嗎?").arg(stops));
    const QStringList a = asked[1].split(u'|');
    const QStringList b = before.split(u'|');
    QCOMPARE(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        QCOMPARE(a[i], b[i]);
    QCOMPARE(second.run("record"), recordBefore);
    // The night goes on from there.
    QCOMPARE(second.run(next), QStringList()); // no refusal
}

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
