#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using SafeFile::Status;

class TestSafeFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sizes_data();
    void sizes();
    void specialFiles_data();
    void specialFiles();
};

void TestSafeFile::sizes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("cap");
    QTest::addColumn<Status>("status");
    QTest::newRow("empty") << 0 << 100 << Status::Ok;
    QTest::newRow("at the cap") << 100 << 100 << Status::Ok;
    QTest::newRow("one past the cap") << 101 << 100 << Status::TooLarge;
    QTest::newRow("past the first buffer") << 4097 << 100000 << Status::Ok;
    QTest::newRow("several buffers") << 3 * 4096 + 5 << 100000 << Status::Ok;
    QTest::newRow("large, one past") << 65537 << 65536 << Status::TooLarge;
}

void TestSafeFile::sizes()
{
    QFETCH(int, size);
    QFETCH(int, cap);
    QFETCH(Status, status);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const SafeFile::Read r = SafeFile::read(path, cap);
    QCOMPARE(r.status, status);
    QCOMPARE(r.bytes, status == Status::Ok ? bytes : QByteArray());
}

void TestSafeFile::specialFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("reason"); // word for word, as the user reads it
    const QString notFile = QStringLiteral("它不是一般的檔案，而是一個");
    QTest::newRow("missing") << "missing" << Status::Missing << QString();
    QTest::newRow("folder") << "folder" << Status::NotRegular << notFile + QStringLiteral("資料夾");
    QTest::newRow("FIFO, nobody writing")
        << "fifo" << Status::NotRegular << notFile + QStringLiteral("具名管道 (FIFO)");
    QTest::newRow("an endless device")
        << "zero" << Status::NotRegular << notFile + QStringLiteral("字元裝置");
#ifdef Q_OS_WIN
    const QString server = QStringLiteral("具名管道");
#else
    const QString server = QStringLiteral("通訊端 (socket)");
#endif
    QTest::newRow("socket or pipe of a silent server")
        << "server" << Status::NotRegular << notFile + server;
#ifndef Q_OS_WIN // Windows links are shortcut files; a long name there fails another way
    QTest::newRow("link to itself")
        << "loop" << Status::Unreadable << QStringLiteral("符號連結繞成了迴圈");
    QTest::newRow("name too long") << "long" << Status::Unreadable << QStringLiteral("路徑太長");
#endif
}

// Each would hang or flood a plain read.
void TestSafeFile::specialFiles()
{
    QFETCH(QString, kind);
    QFETCH(Status, status);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("f")));
    if (kind == QLatin1String("fifo") && QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0)
        QSKIP("no FIFOs on this system");
    QString target = path;
    if (kind == QLatin1String("zero")) {
#ifdef Q_OS_WIN
        target = QStringLiteral("//./NUL"); // Windows links are shortcut files, not links
#else
        if (!QFile::exists(QStringLiteral("/dev/zero")))
            QSKIP("no /dev/zero on this system");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
#endif
    }
    if (kind == QLatin1String("loop"))
        QVERIFY(QFile::link(path, path));
    if (kind == QLatin1String("long"))
        target = dir.filePath(QString(300, u'n'));
    // A Unix socket, or on Windows a named pipe whose server never writes.
    QLocalServer server;
    if (kind == QLatin1String("server")) {
        QVERIFY(server.listen(
            QStringLiteral("zentavo-safefile-%1").arg(QCoreApplication::applicationPid())));
        target = server.fullServerName();
    }
    const SafeFile::Read r = SafeFile::read(target, 1 << 20);
    QCOMPARE(r.status, status);
    QVERIFY(r.bytes.isEmpty());
    QCOMPARE(r.reason, reason);
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safefile.moc"
