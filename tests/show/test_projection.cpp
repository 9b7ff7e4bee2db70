#include "aboutbox.h"
#include "bignumber.h"
#include "bingowindow.h"
#include "cover.h"
#include "drive.h"
#include "fifowatch.h"
#include "files.h"
#include "fonts.h"
#include "guestlistdialog.h"
#include "prizewindow.h"
#include "prompt.h"
#include "recordcontroller.h"
#include "recordwindow.h"
#include "repeatguard.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

// Where each window opens on one, two and three screens: the show on a screen of its own,
// everything the operator answers or reads on the desk.
class TestProjection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void windowsOpen_data();
    void windowsOpen();
    void hotPlug();
    void questionsOnTheDesk_data();
    void questionsOnTheDesk();
    void keysComeBack_data();
    void keysComeBack();
    void resumedBingoOnTheShow();
    void closedByTheWindowManager();
    void unusableSettings_data();
    void unusableSettings();

private:
    QTemporaryDir m_settings;
};

namespace {
QString nameOf(const QWidget *w)
{
    return w && w->screen() ? w->screen()->name() : QString();
}
// A projector plugged in while the program runs; the platform deletes it when unplugged.
class Projector : public QPlatformScreen
{
public:
    QRect geometry() const override { return m_geometry; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_RGB32; }
    QString name() const override { return QStringLiteral("projector"); }

private:
    QRect m_geometry{QGuiApplication::primaryScreen()->geometry().right() + 1, 0, 1920, 1080};
};

QScreen *plugIn()
{
    auto *projector = new Projector;
    QWindowSystemInterface::handleScreenAdded(projector);
    QCoreApplication::processEvents();
    return projector->screen();
}
} // namespace

void TestProjection::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The layouts run side by side: each remembers its screens apart.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    Fonts::installSubstitutions();
}

void TestProjection::windowsOpen_data()
{
    QTest::addColumn<QString>("chosenShow");
    QTest::addColumn<QString>("chosenDesk");
    QTest::addColumn<bool>("swap");
    QTest::addColumn<QString>("desk");
    QTest::addColumn<QString>("show"); // empty: none of its own

    const QString laptop = QStringLiteral("laptop");
    const QString projector = QStringLiteral("projector");
    const QString wall = QStringLiteral("wall");
    // The layout the platform was started with (screens-N.json) picks its rows.
    switch (QGuiApplication::screens().size()) {
    case 1:
        QTest::newRow("one screen: no show of its own")
            << QString() << QString() << false << laptop << QString();
        break;
    case 2:
        QTest::newRow("two: the board on the laptop, the show on the projector")
            << QString() << QString() << false << laptop << projector;
        QTest::newRow("two, swapped") << QString() << QString() << true << projector << laptop;
        QTest::newRow("two, swapped back") << laptop << projector << true << laptop << projector;
        QTest::newRow("two: a remembered screen not there")
            << QStringLiteral("hdmi-9") << QString() << false << laptop << projector;
        QTest::newRow("two: the show remembered on the laptop")
            << laptop << projector << false << projector << laptop;
        // One screen for both is no choice: the hall would see the desk.
        QTest::newRow("two: show and desk remembered on the laptop")
            << laptop << laptop << false << laptop << projector;
        break;
    case 3:
        QTest::newRow("three: the largest other than the primary")
            << QString() << QString() << false << laptop << wall;
        QTest::newRow("three: the one chosen")
            << projector << laptop << false << laptop << projector;
        QTest::newRow("three, swapped") << QString() << QString() << true << wall << laptop;
        QTest::newRow("three: desk and show both chosen")
            << laptop << wall << false << wall << laptop;
        QTest::newRow("three: show and desk remembered on the laptop")
            << laptop << laptop << false << laptop << wall;
        break;
    }
}

void TestProjection::windowsOpen()
{
    QFETCH(QString, chosenShow);
    QFETCH(QString, chosenDesk);
    QFETCH(bool, swap);
    QFETCH(QString, desk);
    QFETCH(QString, show);

    Projection::remember(chosenShow, chosenDesk);
    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    w.projection().start();
    w.boardWindow().show();
    if (swap) {
        w.projection().swapScreens();
        // Kept for the next night.
        QCOMPARE(Projection::chosenShow(), show);
        QCOMPARE(Projection::chosenDesk(), desk);
    }

    const int screens = int(QGuiApplication::screens().size());
    QCOMPARE(w.viewMenu().swapAction()->isVisible(), screens >= 2);
    QCOMPARE(w.viewMenu().screenMenu()->menuAction()->isVisible(), screens >= 3);
    QCOMPARE(nameOf(&w.boardWindow()), desk);
    ShowWindow *hall = w.windows().showWindow();
    QCOMPARE(nameOf(hall), show);
    QCOMPARE(w.viewMenu().showAction()->isChecked(), !show.isEmpty());
    if (hall) {
        QCOMPARE(hall->geometry(), hall->screen()->geometry());
        QVERIFY(hall->windowFlags() & Qt::WindowDoesNotAcceptFocus &&
                hall->testAttribute(Qt::WA_ShowWithoutActivating));
    }

    // Everything the operator answers or reads opens on the desk.
    Drive::spinToStop(w);
    w.boardWindow().drawCard(Board::Chance);
    QCOMPARE(nameOf(w.windows().prizeWindow()), desk);
    // With the hall watching a show of its own, the desk's prize says which number it is for.
    const auto *line = w.windows().prizeWindow()->findChild<QLabel *>(QStringLiteral("Guest"));
    QCOMPARE(line->isVisibleTo(w.windows().prizeWindow()), !show.isEmpty());
    if (!show.isEmpty())
        QCOMPARE(line->text(), QStringLiteral("%1 號").arg(w.night().prize().cell + 1));
    w.windows().openBingo();
    QCOMPARE(nameOf(w.windows().bingoWindow()), desk);
    // On one screen, a window of the desk ends the show over the board and stays in front.
    if (show.isEmpty())
        w.projection().setShowOn(true);
    w.windows().showAbout();
    QCOMPARE(nameOf(w.windows().aboutBox()), desk);
    QTRY_VERIFY(!w.windows().showWindow() == show.isEmpty());
    QTRY_COMPARE(QApplication::activeWindow(), w.windows().aboutBox());
    // The black screen blacks the hall only.
    w.night().blackOut();
    QCOMPARE(nameOf(w.windows().blackScreen()), show.isEmpty() ? desk : show);
}

// Unplugged mid-night, the show goes and the night stays; plugged in again, the show comes
// back on it as things are now.
void TestProjection::hotPlug()
{
    if (QGuiApplication::screens().size() != 1)
        QSKIP("plugs a projector into the one screen's layout");
    Projection::remember({}, {});
    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    w.projection().start();
    w.boardWindow().show();
    QScreen *projector = plugIn();
    QTRY_COMPARE(nameOf(w.windows().showWindow()), QStringLiteral("projector"));
    Drive::spinToStop(w);
    w.boardWindow().drawCard(Board::Chance);
    PrizeWindow *prize = w.windows().prizeWindow();
    prize->finishOpening();
    // The operator had put it on the projector.
    prize->move(projector->geometry().topLeft() + QPoint(400, 300));
    const Board before = w.night().board();

    QWindowSystemInterface::handleScreenRemoved(projector->handle());
    QTRY_VERIFY(!w.windows().showWindow());
    QTRY_VERIFY(!w.viewMenu().showAction()->isChecked());
    QCOMPARE(w.night().board().cells, before.cells);
    // Still up, whole on the laptop, and still the one to confirm.
    QVERIFY(w.night().prize().stage != Night::PrizeStage::None && prize->isVisible());
    QTRY_VERIFY(
        QGuiApplication::primaryScreen()->availableGeometry().contains(prize->frameGeometry()));

    plugIn();
    QTRY_COMPARE(nameOf(w.windows().showWindow()), QStringLiteral("projector"));
    ShowWindow *show = w.windows().showWindow();
    QCOMPARE(show->geometry(), show->screen()->geometry());
    QCOMPARE(nameOf(&w.boardWindow()), QGuiApplication::primaryScreen()->name());
    // The prize still waiting is announced again.
    QVERIFY(show->announcement());
    QCOMPARE(show->announcement()->prize(), prize->prize());
    // The remote goes on: the board has the keys again, Next confirms and the next starts.
    QTRY_COMPARE(QApplication::activeWindow(), &w.boardWindow());
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_PageDown);
    QTRY_VERIFY(w.night().prize().stage == Night::PrizeStage::None);
    QTRY_COMPARE(QApplication::activeWindow(), &w.boardWindow());
    QTest::qWait(RepeatGuard::SettleMs);
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_Space);
    QTRY_VERIFY(w.night().isSpinning());
    w.night().spinTimer().stop();
    QWindowSystemInterface::handleScreenRemoved(show->screen()->handle());
    QTRY_VERIFY(!w.windows().showWindow());
    QTRY_COMPARE(QApplication::activeWindow(), &w.boardWindow());
}

// A box of no window (the resume question, "already running") opens on the operator's
// screen, wherever the pointer was left.
void TestProjection::questionsOnTheDesk_data()
{
    QTest::addColumn<bool>("question");
    QTest::newRow("a refusal") << false;
    QTest::newRow("a question") << true;
}

void TestProjection::questionsOnTheDesk()
{
    QFETCH(bool, question);
    Projection::remember({}, {});
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCursor::setPos(screens.last()->geometry().center());
    Prompt::setHomeScreen(&Projection::deskScreen);
    QString where;
    QTimer::singleShot(0, [&where] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        where = box->screen()->name();
        // All of it on that screen.
        if (!box->screen()->geometry().contains(box->frameGeometry()))
            where += QStringLiteral(" (crossing)");
        box->close();
    });
    if (question)
        Prompt::confirm(nullptr, QStringLiteral("要繼續上次的抽獎嗎?"));
    else
        Prompt::refuse(nullptr, QStringLiteral("Zentavo 已經在執行中。"));
    Prompt::setHomeScreen({});
    QCOMPARE(where, Projection::deskScreen()->name());
}

// Whichever window of the desk closes, the keys come back to the board, never to no window;
// a dialog's (a file dialog's) come back to the window that opened it.
void TestProjection::keysComeBack_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("dialog"); // the window's own dialog closes, not the window
    for (const char *window : {"prize", "bingo", "record", "about"})
        QTest::newRow(window) << QString::fromLatin1(window) << false;
    QTest::newRow("record's save dialog") << QStringLiteral("record") << true;
    QTest::newRow("名單's file dialog") << QStringLiteral("guests") << true;
}

void TestProjection::keysComeBack()
{
    QFETCH(QString, window);
    QFETCH(bool, dialog);
    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    RecordController record(w.night(), w.boardWindow(), Drive::prizes(), QString(),
                            m_settings.filePath(QStringLiteral("night.journal")));
    w.attach(record);
    w.boardWindow().show();
    QWidget *desk = nullptr;
    if (window == QLatin1String("prize")) {
        Drive::spinToStop(w);
        w.boardWindow().drawCard(Board::Chance);
        w.windows().prizeWindow()->finishOpening();
        desk = w.windows().prizeWindow();
    } else if (window == QLatin1String("bingo")) {
        w.windows().openBingo();
        desk = w.windows().bingoWindow();
    } else if (window == QLatin1String("record")) {
        w.windows().showRecord();
        desk = w.windows().recordWindow();
    } else if (window == QLatin1String("guests")) {
        w.guests().showDialog();
        desk = w.guests().dialog();
    } else {
        w.windows().showAbout();
        desk = w.windows().aboutBox();
    }
    desk->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), desk);
    if (dialog) {
        // The window's own file dialog, cancelled: a dialog of its that takes the keys and goes.
        bool dialogHadKeys = false;
        const auto files = [&dialogHadKeys](QWidget *parent, const QString &) {
            QDialog files(parent);
            files.show();
            files.activateWindow();
            dialogHadKeys = QTest::qWaitFor([&] { return QApplication::activeWindow() == &files; });
            return QString();
        };
        const QList<QWidget *> before = QApplication::topLevelWidgets();
        RecordWindow::setSaveNameProvider(files);
        GuestListDialog::setOpenNameProvider(files);
        if (window == QLatin1String("record"))
            w.windows().recordWindow()->saveAs();
        else
            QTest::mouseClick(desk->findChild<QPushButton *>(QStringLiteral("choose")),
                              Qt::LeftButton);
        RecordWindow::setSaveNameProvider({});
        GuestListDialog::setOpenNameProvider({});
        QVERIFY(dialogHadKeys);
        QTRY_COMPARE(QApplication::activeWindow(), desk);
        // Whatever the return of the keys shows for it is gone again.
        QTRY_COMPARE(QApplication::topLevelWidgets().size(), before.size());
        // Still there once everything posted meanwhile has run.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), desk);
        return;
    }
    desk->close();
    QTRY_COMPARE(QApplication::activeWindow(), &w.boardWindow());
}

// A night cut short during bingo comes back with its numbers on the show as in the window.
void TestProjection::resumedBingoOnTheShow()
{
    TestStage w(Drive::prizes());
    w.night().resume(false, 0, {3, 17, 9}, false);
    w.projection().start();
    w.boardWindow().show();
    if (!w.projection().isShowOn())
        w.projection().setShowOn(true);
    QTRY_VERIFY(w.windows().bingoWindow());
    QCOMPARE(w.windows().bingoWindow()->rules().taken(), (QList<int>{3, 17, 9}));
    ShowWindow *show = w.windows().showWindow();
    QVERIFY(show);
    QCOMPARE(show->findChild<BigNumber *>(QStringLiteral("ShowBingoNewest"))->number(),
             QStringLiteral("9"));
    QCOMPARE(show->findChild<QLabel *>(QStringLiteral("ShowBingoTaken"))->text(),
             QStringLiteral("3\u3000 17"));
}

// Alt+F4 on the show ends it as Escape does: the night says so, and F5 brings it back.
void TestProjection::closedByTheWindowManager()
{
    TestStage w(Drive::prizes());
    w.boardWindow().show();
    w.projection().setShowOn(true);
    QVERIFY(w.windows().showWindow());
    // Over the board, or beside it with a second screen.
    const Night::ShowMode mode = w.night().showMode();
    QVERIFY(mode != Night::ShowMode::Off);
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        w.windows().showWindow()->windowHandle());
    QTRY_COMPARE(w.night().showMode(), Night::ShowMode::Off);
    QVERIFY(!w.windows().showWindow());
    w.keys().press(Qt::Key_F5);
    QCOMPARE(w.night().showMode(), mode);
    QVERIFY(w.windows().showWindow()->isVisible());
}

void TestProjection::unusableSettings_data()
{
    QTest::addColumn<QString>("fifo"); // in the settings' folder; empty: a huge file instead
    QTest::newRow("FIFO") << QStringLiteral("Zentavo.ini");
    QTest::newRow("FIFO as its lock, read when it is written")
        << QStringLiteral("Zentavo.ini.lock");
    QTest::newRow("over the cap") << QString();
}

// Read like every file from outside: what is no small regular file is set aside with one
// line, and the screens are chosen as if nothing were remembered.
void TestProjection::unusableSettings()
{
    QFETCH(QString, fifo);
    if (QGuiApplication::screens().size() != 2)
        QSKIP("the layout with a projector");
    const QDir folder(m_settings.filePath(QStringLiteral("Zentavo")));
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    const QString file = folder.filePath(QStringLiteral("Zentavo.ini"));
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".lock"));
    std::optional<FifoWatch> watch;
    if (fifo.isEmpty()) // read, it would put the show on the laptop
        writeFile(file, "[show]\nscreen=laptop\ndesk=projector\n" + QByteArray(64 * 1024, '\n'));
    else if (!watch.emplace(folder.filePath(fifo)).ok)
        QSKIP("no FIFOs on this system");
    const QRegularExpression said(QStringLiteral("^zentavo: 不讀設定檔 .*已把它改名為 "));
    QTest::ignoreMessage(QtWarningMsg, said);
    QTest::failOnWarning(said); // once

    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    w.projection().start();
    w.boardWindow().show();
    QCOMPARE(nameOf(&w.boardWindow()), QStringLiteral("laptop"));
    QCOMPARE(nameOf(w.windows().showWindow()), QStringLiteral("projector"));
    // Set aside, its place keeps the next choice.
    w.projection().swapScreens();
    QCOMPARE(Projection::chosenShow(), QStringLiteral("laptop"));
    QVERIFY(!watch || !watch->opened);
}

QTEST_MAIN(TestProjection)
#include "test_projection.moc"
