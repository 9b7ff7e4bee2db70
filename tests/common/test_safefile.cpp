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
    QTest::newRow("missing") << "missing" << Status::Missing;
    QTest::newRow("folder") << "folder" << Status::NotRegular;
    QTest::newRow("FIFO, nobody writing") << "fifo" << Status::NotRegular;
    QTest::newRow("an endless device") << "zero" << Status::NotRegular;
    QTest::newRow("socket or pipe of a silent server") << "server" << Status::NotRegular;
}

// Each would hang or flood a plain read.
void TestSafeFile::specialFiles()
{
    QFETCH(QString, kind);
    QFETCH(Status, status);
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
    QCOMPARE(r.reason.isEmpty(), status == Status::Missing);
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "test_safefile.moc"
