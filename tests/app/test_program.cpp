#include "drive.h"
#include "frozenfolder.h"
#include "platform.h"
#include "program.h"
#include "prompt.h"
#include "random.h"
#include "singleinstance.h"
#include "teststage.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The wiring main() uses, run by the real event loop.
namespace {
QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << QStringLiteral("獎品%1").arg(i);
    return l;
}

void spin(Stage &w)
{
    w.night().setClock([] { return 100.0; });
    w.boardWindow().start();
    while (w.night().board().timer1Enabled)
        w.night().tick();
}

void writeLock(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Runs the event loop until the program ends, or gives up: 1 when it had to give up.
int runUntilExit(const std::function<void()> &operatorAction)
{
    QTimer::singleShot(0, operatorAction);
    QTimer::singleShot(3000, [] { QCoreApplication::exit(1); });
    return QCoreApplication::exec();
}
} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void ending_data();
    void ending();
    void secondCopy_data();
    void secondCopy();
    void lockFreedAtEnd();
    void leftLock_data();
    void leftLock();
    void secondCopyBringsBoardForward_data();
    void secondCopyBringsBoardForward();
    void platform_data();
    void platform();
    void qtTranslation_data();
    void qtTranslation();

private:
    QStringList m_questions;
    QStringList m_refusals;
    bool m_answer = false;
};

void TestProgram::init()
{
    m_questions.clear();
    m_refusals.clear();
    m_answer = false;
    Prompt::setConfirmHandler([this](QWidget *, const QString &t) {
        m_questions << t;
        return m_answer;
    });
    Prompt::setRefuseHandler([this](QWidget *, const QString &t) { m_refusals << t; });
}

void TestProgram::cleanup()
{
    Prompt::setConfirmHandler({});
    Prompt::setRefuseHandler({});
}

void TestProgram::ending_data()
{
    QTest::addColumn<bool>("spun");
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("ends");
    QTest::newRow("結束 before any stop") << false << true << false << 0 << true;
    QTest::newRow("結束 after a stop") << true << true << false << 0 << true;
    QTest::newRow("close box before any stop") << false << false << false << 0 << true;
    QTest::newRow("close box after a stop, yes") << true << false << true << 1 << true;
    QTest::newRow("close box after a stop, no") << true << false << false << 1 << false;
}

// 結束 ends at once; only the close box asks, and only once a number has been drawn.
void TestProgram::ending()
{
    QFETCH(bool, spun);
    QFETCH(bool, byMenu);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(bool, ends);
    QTemporaryDir runtime;
    SingleInstance instance(runtime.path());
    QVERIFY(instance.claim());
    ProgramStage w(prizeList());
    Program::wire(w, instance);
    w.boardWindow().show();
    if (spun)
        spin(w);
    m_answer = answer;
    const int code = runUntilExit([&] {
        if (byMenu)
            w.boardWindow().findChild<QAction *>(QStringLiteral("close"))->trigger();
        else
            w.boardWindow().close();
    });
    QCOMPARE(code, ends ? 0 : 1);
    QCOMPARE(m_questions.size(), questions);
    if (questions)
        QCOMPARE(m_questions.first(), QStringLiteral("今晚的抽獎結果將不會保留。\n確定要結束嗎?"));
}

void TestProgram::secondCopy_data()
{
    QTest::addColumn<int>("depth");
    QTest::newRow("short folder") << 0;
    // A Unix socket's path holds about a hundred bytes.
    QTest::newRow("folder path over 107 bytes") << 120;
}

void TestProgram::secondCopy()
{
    QFETCH(int, depth);
    QTemporaryDir runtime;
    const QString folder = depth ? runtime.filePath(QString(depth, u'n')) : runtime.path();
    SingleInstance first(folder);
    QVERIFY(first.claim());
    QSignalSpy started(&first, &SingleInstance::anotherStarted);
    {
        SingleInstance second(folder);
        QVERIFY(!second.claim());
        QCOMPARE(second.failure(), SingleInstance::Failure::Running);
    }
    // The second copy's claim may already have let the first hear it.
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);
    Program::refuseSecondCopy();
    QCOMPARE(m_refusals, QStringList{QStringLiteral("Zentavo 已經在執行中。")});
}

// A copy that has ended leaves the way free for the next.
void TestProgram::lockFreedAtEnd()
{
    QTemporaryDir runtime;
    {
        SingleInstance first(runtime.path());
        QVERIFY(first.claim());
    }
    SingleInstance next(runtime.path());
    QVERIFY(next.claim());
}

namespace {
QByteArray lockNaming(qint64 pid, const QByteArray &program)
{
    return QByteArray::number(pid) + '\n' + program + '\n' + QSysInfo::machineHostName().toUtf8() +
           '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
}
} // namespace

// Whatever the last copy left where the lock belongs: a lock whose owner has ended is taken
// over, and what cannot be taken is named with the reason, never as a copy still running.
void TestProgram::leftLock_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("claimed");
    QTest::addColumn<QString>("said"); // the message's start; %1 the lock's path
    const QString running = QStringLiteral("Zentavo 已經在執行中。");
    QTest::newRow("owner ended") << "ended" << true << QString();
    // Its id given to a process started after the lock was written, as after a restart.
    QTest::newRow("owner's id taken by a later process") << "later" << true << QString();
    QTest::newRow("owner's id held since before the lock") << "earlier" << false << running;
    QTest::newRow("owner ended, folder read-only")
        << "ended, frozen" << false
        << QStringLiteral("鎖定檔\n%1\n是一份已經結束的 Zentavo 留下的，但無法取代它（");
    QTest::newRow("a folder of that name")
        << "folder" << false
        << QStringLiteral("無法建立鎖定檔\n%1\n（那裡已經有一個同名的資料夾）。");
    QTest::newRow("a FIFO of that name")
        << "fifo" << false << QStringLiteral("無法建立鎖定檔\n%1\n（那裡已經有一個同名的項目）。");
    QTest::newRow("empty lock") << "empty" << true << QString();
    // %2 the folder. Root may write where permissions say no; a read-only disk stops all.
    QTest::newRow("nothing left, disk read-only")
        << "read-only disk" << false
        << QStringLiteral("無法在資料夾\n%2\n建立鎖定檔（這個資料夾所在的磁碟是唯讀的）。");
}

void TestProgram::leftLock()
{
    QFETCH(QString, left);
    QFETCH(bool, claimed);
    QFETCH(QString, said);
    QTemporaryDir dir;
    SingleInstance instance(dir.path());
    const QString lock = instance.lockPath();
    QProcess owner;
    const auto startOwner = [&owner] {
        owner.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        return owner.waitForStarted();
    };
    if (left.startsWith(QLatin1String("ended"))) {
        QProcess ended;
        ended.start(QStringLiteral("sleep"), {QStringLiteral("0")});
        if (!ended.waitForStarted())
            QSKIP("no sleep here");
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        writeLock(lock, lockNaming(pid, "zentavo"));
    } else if (left == QLatin1String("later") || left == QLatin1String("earlier")) {
        if (!startOwner())
            QSKIP("no sleep here");
        // Named as its own program, so that the id alone says it still runs.
        writeLock(lock, lockNaming(owner.processId(), "sleep"));
        if (left == QLatin1String("later")) {
            // Written three seconds before the process started: far less than Qt's own
            // 30 s after which any lock counts as left over.
            QFile f(lock);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3),
                                  QFileDevice::FileModificationTime));
        }
    } else if (left == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(lock));
    } else if (left == QLatin1String("fifo")) {
        if (QProcess::execute(QStringLiteral("mkfifo"), {lock}) != 0)
            QSKIP("no FIFO here");
    } else if (left == QLatin1String("empty")) {
        writeLock(lock, {});
    }
    // Only root may mount one; it goes at the end, whatever happens.
    const bool readOnly = left == QLatin1String("read-only disk");
    if (readOnly &&
        QProcess::execute(QStringLiteral("mount"),
                          QStringLiteral("-t tmpfs -o ro,size=64k zentavo-test").split(u' ')
                              << dir.path()) != 0)
        QSKIP("no disk can be mounted read-only here");
    const auto unmount = qScopeGuard([&] {
        if (readOnly)
            QProcess::execute(QStringLiteral("umount"), {dir.path()});
    });
    std::unique_ptr<FrozenFolder> frozen;
    if (left.endsWith(QLatin1String("frozen"))) {
        frozen = std::make_unique<FrozenFolder>(dir.path());
        if (!frozen->ok())
            QSKIP("no folder here can be made unwritable");
    }
    QCOMPARE(Program::claim(instance), claimed);
    if (owner.state() != QProcess::NotRunning) {
        owner.kill();
        owner.waitForFinished();
    }
    if (claimed) {
        QVERIFY(m_refusals.isEmpty());
        return;
    }
    QCOMPARE(m_refusals.size(), 1);
    const QString start =
        QString(said).replace(QStringLiteral("%1"), lock).replace(QStringLiteral("%2"), dir.path());
    QVERIFY2(m_refusals[0].startsWith(start), qPrintable(m_refusals[0]));
    if (said != QStringLiteral("Zentavo 已經在執行中。"))
        QVERIFY2(m_refusals[0].endsWith(QStringLiteral("再重新開啟程式。")),
                 qPrintable(m_refusals[0]));
}

void TestProgram::secondCopyBringsBoardForward_data()
{
    QTest::addColumn<QString>("night");
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<QStringList>("stack"); // back to front, once brought forward
    const auto names = [](const char *words) { return QString::fromLatin1(words).split(u' '); };
    const QStringList board = names("board");
    QTest::newRow("board") << "board" << false << board;
    QTest::newRow("full-screen board") << "board" << true << board;
    // Minimised with the board, the prize must come back too, or Next confirms it unseen.
    QTest::newRow("prize up") << "prize" << false << names("board prize");
    QTest::newRow("full-screen board, prize up") << "prize" << true << names("board prize");
    // As last used, the board over the others, the prize in front.
    QTest::newRow("bingo and About open, prize up")
        << "bingo, about, prize" << false << names("bingo about board prize");
    // Nothing takes a key while a box waits for its answer: it stays on top.
    QTest::newRow("prize up, a question open")
        << "prize, question" << false << names("board prize question");
    // The board stays behind the closing picture.
    QTest::newRow("closing picture") << "finale" << false << names("closing");
}

void TestProgram::secondCopyBringsBoardForward()
{
    QFETCH(QString, night);
    QFETCH(bool, fullScreen);
    QFETCH(QStringList, stack);
    QTemporaryDir runtime;
    SingleInstance instance(runtime.path());
    QVERIFY(instance.claim());
    ProgramStage w(prizeList());
    Program::wire(w, instance);
    BoardWindow &board = w.boardWindow();
    board.show();
    if (fullScreen) {
        board.showFullScreen();
        QTRY_VERIFY(board.isFullScreen());
    }
    NightWindows &windows = w.windows();
    if (night.contains(QLatin1String("bingo")))
        w.windows().openBingo();
    if (night.contains(QLatin1String("about")))
        windows.showAbout();
    if (night.contains(QLatin1String("prize"))) {
        board.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        spin(w);
        board.drawCard(0);
        windows.prizeWindow()->finishOpening();
    }
    std::unique_ptr<QMessageBox> question;
    if (night.contains(QLatin1String("question"))) {
        question = std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("Zentavo"),
                                                 QStringLiteral("?"), QMessageBox::Yes, &board);
        question->setObjectName(QStringLiteral("question"));
        question->setWindowModality(Qt::ApplicationModal);
        question->show();
    }
    if (night == QLatin1String("finale")) {
        w.night().setClock([] { return 100.0; });
        Drive::toFinale(w);
    }
    const QList<QWidget *> shown = windows.stack();
    // As X11 reports a minimised window: minimised only, full screen forgotten.
    for (QWidget *window : shown)
        window->setWindowState(Qt::WindowMinimized);
    SingleInstance second(runtime.path());
    QVERIFY(!second.claim());
    const auto name = [&windows, &board](QWidget *window) {
        return window == &board                     ? QStringLiteral("board")
               : window == windows.prizeWindow()    ? QStringLiteral("prize")
               : window == windows.bingoWindow()    ? QStringLiteral("bingo")
               : window == windows.aboutBox()       ? QStringLiteral("about")
               : window == windows.closingPicture() ? QStringLiteral("closing")
                                                    : window->objectName();
    };
    for (QWidget *window : shown)
        QTRY_VERIFY2(!window->isMinimized() && window->isVisible(), qPrintable(name(window)));
    QStringList order;
    for (QWidget *window : windows.stack())
        order << name(window);
    QCOMPARE(order, stack);
    QTRY_COMPARE(QApplication::activeWindow(), shown.isEmpty() ? nullptr : windows.stack().last());
    QCOMPARE(board.isFullScreen(), fullScreen && night != QLatin1String("finale"));
    QCOMPARE(board.isVisible(), night != QLatin1String("finale"));
}

void TestProgram::platform_data()
{
    QTest::addColumn<QByteArray>("qpa");
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("chosen");
    const QByteArray xcb = "xcb;wayland";
    QTest::newRow("wayland session with XWayland")
        << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray(":0")
        << xcb;
    QTest::newRow("wayland display only, XWayland")
        << QByteArray() << QByteArray() << QByteArray("wayland-0") << QByteArray(":1") << xcb;
    QTest::newRow("wayland without XWayland")
        << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray()
        << QByteArray();
    QTest::newRow("platform chosen by the user")
        << QByteArray("wayland") << QByteArray("wayland") << QByteArray("wayland-0")
        << QByteArray(":0") << QByteArray();
    QTest::newRow("X session") << QByteArray() << QByteArray("x11") << QByteArray()
                               << QByteArray(":0") << QByteArray();
    QTest::newRow("no session at all")
        << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray();
}

void TestProgram::platform()
{
    QFETCH(QByteArray, qpa);
    QFETCH(QByteArray, session);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, chosen);
    QCOMPARE(Platform::preferred({qpa, session, wayland, display}), chosen);
}

void TestProgram::qtTranslation_data()
{
    QTest::addColumn<bool>("besideProgram");
    QTest::newRow("Qt's folder") << false;
    QTest::newRow("beside the program") << true;
}

void TestProgram::qtTranslation()
{
    QFETCH(bool, besideProgram);
    QTemporaryDir dir;
    const QString qtFile = QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                               .filePath(QStringLiteral("qtbase_zh_TW.qm"));
    QString expected = qtFile;
    if (besideProgram) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("translations")));
        expected = dir.filePath(QStringLiteral("translations/qtbase_zh_TW.qm"));
        QVERIFY(QFile::copy(qtFile, expected));
    }
    QCOMPARE(Program::installQtTranslation(dir.path()), expected);
    // Standard buttons read as on a Traditional Chinese desktop.
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("確定"));
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(box.button(QDialogButtonBox::Save)->text(), QStringLiteral("儲存"));
}

QTEST_MAIN(TestProgram)
#include "test_program.moc"
