#include "files.h"
#include "frozenfolder.h"
#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The real program killed at moments of the night and started again: 是 brings back the
// board as it was at the last change shown, and the prize window if it was still up.
namespace {
class Driver
{
public:
    Driver(const QString &dataHome, const QString &giftPath, const char *answer,
           const QString &runtime = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        if (!runtime.isEmpty())
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The journal in a data folder of the test's own, named as the program names it.
        m_process.start(
            QStringLiteral(CRASHDRIVER),
            {giftPath, QLatin1String(answer), dataHome + QStringLiteral("/Zentavo/night.journal")});
        m_socket = SingleInstance(dataHome + QStringLiteral("/Zentavo")).socketName();
    }
    ~Driver()
    {
        m_process.kill();
        m_process.waitForFinished();
        // A killed copy leaves its socket behind, outside the test's own folder.
        QLocalServer::removeServer(m_socket);
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
            const QString line = readLine();
            if (line == QStringLiteral("ok"))
                return said;
            said << line;
        }
    }
    // What a copy that may not draw said before it ended.
    QStringList gone()
    {
        QStringList said;
        while (m_process.waitForReadyRead(20000) || m_process.canReadLine())
            while (m_process.canReadLine())
                said << readLine();
        m_process.waitForFinished();
        return said;
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    void kill()
    {
        m_process.kill();
        QVERIFY(m_process.waitForFinished());
        QCOMPARE(m_process.exitStatus(), QProcess::CrashExit);
    }

private:
    QString readLine()
    {
        // Windows ends the driver's lines in CR LF.
        QString line = QString::fromUtf8(m_process.readLine());
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        return line;
    }

    QProcess m_process;
    QString m_socket;
};
} // namespace

class TestCrash : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killAndResume_data();
    void killAndResume();
    void answerNoStartsANewJournal();
    void oneCopyOnAJournal_data();
    void oneCopyOnAJournal();
};

namespace {
QString writeGifts(const QTemporaryDir &dir)
{
    const QString gift = dir.filePath(QStringLiteral("gift.txt"));
    QFile f(gift);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    for (int i = 1; i <= 56; ++i)
        f.write(QStringLiteral("第%1號%2\n")
                    .arg(i)
                    .arg(i % 2 ? QStringLiteral("紀念獎") : QStringLiteral("大獎"))
                    .toUtf8());
    return gift;
}
} // namespace

void TestCrash::killAndResume_data()
{
    QTest::addColumn<QByteArrayList>("shown"); // up to the last change shown
    QTest::addColumn<QByteArrayList>("cut");   // then what the kill interrupts
    QTest::addColumn<QByteArray>("next");      // accepted after the resume
    QTest::addColumn<bool>("prize");           // the prize window comes back
    // A guest list, changed while the program is down: who was announced stays named.
    QTest::addColumn<bool>("names");
    const QByteArrayList night{"start", "finish", "card 0", "confirm",
                               "start", "finish", "card 1", "confirm"};
    QTest::newRow("after a stop") << (night + QByteArrayList{"start", "finish"}) << QByteArrayList{}
                                  << QByteArray("card 1") << false << false;
    QTest::newRow("while the prize window grows")
        << (night + QByteArrayList{"start", "finish", "card 1"}) << QByteArrayList{}
        << QByteArray("confirm") << true << false;
    QTest::newRow("while the prize window is up")
        << (night + QByteArrayList{"start", "finish", "card 0", "prize"}) << QByteArrayList{}
        << QByteArray("confirm") << true << false;
    QTest::newRow("prize closed by its close box")
        << (night + QByteArrayList{"start", "finish", "card 0", "closebox"}) << QByteArrayList{}
        << QByteArray("start") << false << false;
    QTest::newRow("during a spin")
        << night << QByteArrayList{"start", "ticks 120"} << QByteArray("start") << false << false;
    QByteArrayList whole;
    for (int i = 0; i < 55; ++i)
        whole << "start"
              << "finish" << (i % 2 ? "card 1" : "card 0") << "confirm";
    QTest::newRow("named, after a stop")
        << (night + QByteArrayList{"start", "finish"}) << QByteArrayList{} << QByteArray("card 1")
        << false << true;
    QTest::newRow("named, while the prize window is up")
        << (night + QByteArrayList{"start", "finish", "card 0", "prize"}) << QByteArrayList{}
        << QByteArray("confirm") << true << true;
    // 確 定 after the resume brings the closing picture.
    QTest::newRow("at the last prize")
        << (whole + QByteArrayList{"start", "finish", "card 1", "prize"}) << QByteArrayList{}
        << QByteArray("confirm") << true << false;
}

void TestCrash::killAndResume()
{
    QFETCH(QByteArrayList, shown);
    QFETCH(QByteArrayList, cut);
    QFETCH(QByteArray, next);
    QFETCH(bool, prize);
    QFETCH(bool, names);
    QTemporaryDir dir;
    const QString gift = writeGifts(dir);
    const QString list = dir.filePath(QStringLiteral("names.csv"));
    const auto writeNames = [&list](const char *name) {
        QByteArray csv("號碼,姓名,部門\r\n");
        for (int n = 1; n <= 56; ++n)
            csv += QByteArray::number(n) + ',' + name + QByteArray::number(n) + ",業務部\r\n";
        writeFile(list, csv);
    };
    if (names)
        writeNames("王");
    const QString data = dir.filePath(QStringLiteral("data"));

    QString before;
    QStringList recordBefore;
    {
        Driver first(data, gift, "yes");
        for (const QByteArray &c : shown)
            if (c != "prize")
                QCOMPARE(first.run(c), QStringList());
            else
                QVERIFY(first.run(c).value(0).startsWith(QStringLiteral("prize ")));
        const QStringList d = first.run("dump");
        QCOMPARE(d.size(), 1);
        before = d[0];
        recordBefore = first.run("record");
        // A header and one row per stop, at least.
        QVERIFY(recordBefore.size() > shown.count("finish"));
        if (shown.last().startsWith("card"))
            QCOMPARE(first.run("growing"), QStringList{QStringLiteral("1")});
        if (shown.last() == "prize")
            QCOMPARE(first.run("growing"), QStringList{QStringLiteral("0")});
        for (const QByteArray &c : cut)
            QCOMPARE(first.run(c), QStringList());
        first.kill();
    }
    QVERIFY(QFile::exists(data + QStringLiteral("/Zentavo/night.journal")));
    if (names) {
        QVERIFY2(before.contains(QStringLiteral("號　王")), qPrintable(before));
        writeNames("李");
    }

    Driver second(data, gift, "yes");
    const QStringList asked = second.run("dump");
    QCOMPARE(asked.size(), 2);
    const qsizetype stops = shown.count("finish");
    QVERIFY2(asked[0].startsWith(
                 QStringLiteral("asked 上次的抽獎尚未結束。\\n\\n最後保存的是第 %1 次搖獎：號碼 ")
                     .arg(stops)),
             qPrintable(asked[0]));
    const QStringList a = asked[1].split(u'|');
    const QStringList b = before.split(u'|');
    QCOMPARE(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        QCOMPARE(a[i], b[i]);
    QCOMPARE(second.run("record"), recordBefore);
    // The same prize, grown again.
    const QString text1 = b.filter(QRegularExpression(QStringLiteral("^text1 "))).value(0).mid(6);
    QCOMPARE(second.run("prize"),
             QStringList{prize ? QStringLiteral("prize ") + text1 : QStringLiteral("no prize")});
    // The night goes on from there; a later stop is named from the new list.
    QCOMPARE(second.run(next), QStringList()); // no refusal
    if (names) {
        for (const char *c : {"confirm", "start", "finish"})
            if (c != next)
                second.run(c);
        QVERIFY(second.run("dump").value(0).contains(QStringLiteral("號　李")));
    }
    if (shown.count("finish") == 56)
        QCOMPARE(second.run("closing"), QStringList{QStringLiteral("1")});
}

// 否 keeps the cut-short night under a dated name beside it and journals the new night in
// its place: the killed copy's handle must be gone first, or Windows would not move it.
void TestCrash::answerNoStartsANewJournal()
{
    QTemporaryDir dir;
    const QString gift = writeGifts(dir);
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString folder = data + QStringLiteral("/Zentavo");
    {
        Driver first(data, gift, "yes");
        for (const char *c : {"start", "finish", "card 0", "confirm", "start", "finish"})
            QCOMPARE(first.run(c), QStringList());
        first.kill();
    }
    const QByteArray before = readFile(folder + QStringLiteral("/night.journal"));
    QVERIFY(!before.isEmpty());
    {
        Driver second(data, gift, "no");
        const QStringList asked = second.run("start");
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].startsWith(QStringLiteral("asked 上次的抽獎尚未結束。")),
                 qPrintable(asked[0]));
        QCOMPARE(second.run("finish"), QStringList());
        second.kill();
    }
    const QStringList kept = QDir(folder).entryList({QStringLiteral("night-*.journal")});
    QCOMPARE(kept.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^night-\\d{8}-\\d{6}\\.journal$"))
                 .match(kept[0])
                 .hasMatch(),
             qPrintable(kept[0]));
    QCOMPARE(readFile(QDir(folder).filePath(kept[0])), before);
    // The journal in its place holds the new night alone: one stop.
    Driver third(data, gift, "yes");
    const QStringList asked = third.run("dump");
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked[0].contains(QStringLiteral("最後保存的是第 1 次搖獎")), qPrintable(asked[0]));
}

// The lock lies beside the journal: two copies never draw on one journal, whatever their
// runtime folders, and a copy that cannot take the lock does not draw at all.
void TestCrash::oneCopyOnAJournal_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("two runtime folders") << "two runtime folders";
    QTest::newRow("read-only runtime folder") << "read-only runtime";
    QTest::newRow("read-only data folder") << "read-only data";
    // The killed copy's lock cannot be replaced: nothing runs, and the message says so.
    QTest::newRow("killed copy, read-only data folder") << "killed, read-only data";
}

void TestCrash::oneCopyOnAJournal()
{
    QFETCH(QString, setup);
    QTemporaryDir dir;
    const QString gift = writeGifts(dir);
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString runtimeA = dir.filePath(QStringLiteral("runA"));
    const QString runtimeB = dir.filePath(QStringLiteral("runB"));
    for (const QString &d : {data + QStringLiteral("/Zentavo"), runtimeA, runtimeB})
        QVERIFY(QDir().mkpath(d));
    QFile::setPermissions(runtimeA, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(runtimeB, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (setup.startsWith(QLatin1String("killed"))) {
        Driver killed(data, gift, "yes", runtimeA);
        QCOMPARE(killed.run("start"), QStringList());
        killed.kill();
    }
    const bool readOnlyData = setup.endsWith(QLatin1String("read-only data"));
    const QString frozenPath = readOnlyData ? data + QStringLiteral("/Zentavo") : runtimeA;
    std::unique_ptr<FrozenFolder> frozen;
    if (setup != QLatin1String("two runtime folders")) {
        frozen = std::make_unique<FrozenFolder>(frozenPath);
        if (!frozen->ok())
            QSKIP("no folder here can be made unwritable");
    }

    Driver first(data, gift, "yes", runtimeA);
    if (readOnlyData) {
        const QStringList said = first.gone();
        QCOMPARE(said.size(), 2);
        const QString head =
            setup.startsWith(QLatin1String("killed"))
                ? QStringLiteral("refused 鎖定檔\\n%1/Zentavo/zentavo.lock\\n是一份已經結束的 "
                                 "Zentavo 留下的，但無法取代它（")
                : QStringLiteral("refused 無法在資料夾\\n%1/Zentavo\\n建立鎖定檔（");
        QVERIFY2(said[0].startsWith(head.arg(data)), qPrintable(said[0]));
        QVERIFY(said[0].endsWith(QStringLiteral("請讓這個資料夾可以寫入，再重新開啟程式。")));
        QCOMPARE(said[1], QStringLiteral("gone"));
        return;
    }
    QCOMPARE(first.run("start"), QStringList());
    Driver second(data, gift, "yes",
                  setup == QLatin1String("two runtime folders") ? runtimeB : runtimeA);
    QCOMPARE(second.gone(), (QStringList{QStringLiteral("refused Zentavo 已經在執行中。"),
                                         QStringLiteral("gone")}));
    // The first goes on drawing.
    QCOMPARE(first.run("finish"), QStringList());
    QVERIFY(first.running());
}

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
