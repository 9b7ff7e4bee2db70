#include "boardlayout.h"
#include "cellbutton.h"
#include "eventtitle.h"
#include "firetimer.h"
#include "fonts.h"
#include "prompt.h"
#include "random.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestBoardWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Fonts::installSubstitutions(); }
    void init();
    void cleanup();
    void cellPlaces_data();
    void cellPlaces();
    void numbersAfterFirstTick();
    void countStaysApart_data();
    void countStaysApart();
    void spinThroughTheWindow();
    void refusalBoxCaption();
    void rightClicks_data();
    void rightClicks();
    void exitEntry();
    void centrePanel_data();
    void centrePanel();
    void optionsLookPanelColour();
    void allCells_data();
    void allCells();
    void menus();
    void neverVisible();
    void startHasFocusAfterStops();
    void secondRoundDuringSpin();
    void spinOnItsOwnTimer();
    void bingoSharesGenerator();
    void fileTextIsPlain_data();
    void fileTextIsPlain();
    void noFreeCellRefusal_data();
    void noFreeCellRefusal();
    void titleLine_data();
    void titleLine();

private:
    QStringList m_refusals;
};

void TestBoardWindow::init()
{
    m_refusals.clear();
    Prompt::setRefuseHandler([this](QWidget *, const QString &text) { m_refusals << text; });
}

void TestBoardWindow::cleanup()
{
    Prompt::setRefuseHandler({});
}

void TestBoardWindow::cellPlaces_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<QRect>("cell");
    QTest::addColumn<QRect>("marker");
    // Pixel rectangles of the design table (twips / 15).
    QTest::newRow("0 top left") << 0 << QRect(112, 40, 25, 73) << QRect(112, 8, 25, 25);
    QTest::newRow("17 top right") << 17 << QRect(656, 40, 25, 73) << QRect(656, 8, 25, 25);
    QTest::newRow("18 right top") << 18 << QRect(608, 120, 73, 25) << QRect(688, 120, 25, 25);
    QTest::newRow("27 right bottom") << 27 << QRect(608, 408, 73, 25) << QRect(688, 408, 25, 25);
    QTest::newRow("28 bottom right") << 28 << QRect(656, 440, 25, 73) << QRect(656, 512, 25, 25);
    QTest::newRow("45 bottom left") << 45 << QRect(112, 440, 25, 73) << QRect(112, 512, 25, 25);
    QTest::newRow("46 left bottom") << 46 << QRect(112, 408, 73, 25) << QRect(80, 408, 25, 25);
    QTest::newRow("55 left top") << 55 << QRect(112, 120, 73, 25) << QRect(80, 120, 25, 25);
    QTest::newRow("36 bottom middle") << 36 << QRect(400, 440, 25, 73) << QRect(400, 512, 25, 25);
}

void TestBoardWindow::cellPlaces()
{
    QFETCH(int, i);
    QFETCH(QRect, cell);
    QFETCH(QRect, marker);
    TestStage w;
    QCOMPARE(w.boardWindow().cell(i)->geometry(), cell);
    QCOMPARE(w.boardWindow().marker(i)->geometry(), marker);
    QCOMPARE(w.boardWindow().cell(i)->objectName(), QStringLiteral("Number(%1)").arg(i));
    QVERIFY(!w.boardWindow().marker(i)->isVisibleTo(&w.boardWindow()));
    QCOMPARE(w.boardWindow().cell(i)->backColour(), i == 16 ? Cell::Idle : Cell::Initial);
    auto *start = w.boardWindow().findChild<QPushButton *>(QStringLiteral("Start(0)"));
    QCOMPARE(start->mapTo(&w.boardWindow(), QPoint(0, 0)) -
                 w.boardWindow().centralWidget()->mapTo(&w.boardWindow(), QPoint(0, 0)),
             QPoint(344, 272));
    QCOMPARE(start->size(), QSize(105, 65));
}

void TestBoardWindow::numbersAfterFirstTick()
{
    TestStage w;
    QVERIFY(w.boardWindow().numberTimer().isActive());
    QCOMPARE(w.boardWindow().numberTimer().interval(), 500);
    QVERIFY(w.boardWindow().cell(0)->text().isEmpty());
    w.boardWindow().cell(3)->setEnabled(false);
    fire(w.boardWindow().numberTimer());
    for (int i = 0; i < Board::Cells; ++i) {
        QCOMPARE(w.boardWindow().cell(i)->text(), QString::number(i + 1));
        QVERIFY(w.boardWindow().cell(i)->isEnabled());
    }
}

void TestBoardWindow::spinThroughTheWindow()
{
    TestStage w({QStringLiteral("p")},
                {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(27, 56)});
    w.night().setClock([] { return 12.5; });
    w.boardWindow().show();
    auto *label3 = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"));
    QCOMPARE(label3->text(), QStringLiteral("0"));
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    QVERIFY(w.night().spinTimer().isActive());
    QVERIFY(!w.boardWindow().startButton()->isEnabled());
    QCOMPARE(w.random().reseeds, QList<double>{12.5});
    w.night().tick();
    QCOMPARE(w.boardWindow().cell(0)->backColour(), Cell::Lit);
    QCOMPARE(w.boardWindow().cell(55)->backColour(), Cell::Idle);
    // Right clicks are ignored while the light runs.
    QTest::mouseClick(w.boardWindow().cell(40), Qt::RightButton);
    QCOMPARE(w.boardWindow().cell(40)->backColour(), Cell::Initial);
    int ticks = 1;
    while (w.night().board().timer1Enabled) {
        w.night().tick();
        ++ticks;
    }
    QCOMPARE(ticks, 197);
    QVERIFY(!w.night().spinTimer().isActive());
    QCOMPARE(w.boardWindow().cell(27)->backColour(), Cell::Won);
    QVERIFY(w.boardWindow().marker(27)->isVisible());
    QCOMPARE(label3->text(), QStringLiteral("1"));
    QVERIFY(w.boardWindow().startButton()->isEnabled());
    // A second Start before the prize is refused and changes nothing.
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    QCOMPARE(m_refusals, QStringList{QStringLiteral("           請抽獎!         ")});
    QVERIFY(!w.night().spinTimer().isActive());
    QVERIFY(w.boardWindow().marker(27)->isVisible());
    // After "重新搖獎" the next Start hides the old marker.
    w.boardWindow().findChild<QAction *>(QStringLiteral("redraw"))->trigger();
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    QVERIFY(!w.boardWindow().marker(27)->isVisible());
    QVERIFY(w.night().spinTimer().isActive());
}

void TestBoardWindow::refusalBoxCaption()
{
    Prompt::setRefuseHandler({});
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    TestStage w;
    w.night().board().awaitingPrize = true;
    QString title, text;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    w.boardWindow().start();
    QCOMPARE(title, QStringLiteral("Zentavo"));
    QCOMPARE(text, QStringLiteral("           請抽獎!         "));
}

void TestBoardWindow::rightClicks_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<ColourValue>("after");
    QTest::newRow("right on idle 16") << 16 << Qt::RightButton << Cell::Won;
    QTest::newRow("left on idle 16") << 16 << Qt::LeftButton << Cell::Idle;
    QTest::newRow("middle on idle 16") << 16 << Qt::MiddleButton << Cell::Idle;
    QTest::newRow("right on initial 3") << 3 << Qt::RightButton << Cell::Initial;
}

void TestBoardWindow::rightClicks()
{
    QFETCH(int, cell);
    QFETCH(Qt::MouseButton, button);
    QFETCH(ColourValue, after);
    TestStage w;
    w.boardWindow().show();
    QTest::mouseClick(w.boardWindow().cell(cell), button);
    QCOMPARE(w.boardWindow().cell(cell)->backColour(), after);
    QCOMPARE(w.night().board().cells[std::size_t(cell)], after);
}

void TestBoardWindow::exitEntry()
{
    TestStage w;
    QSignalSpy spy(&w.boardWindow(), &BoardWindow::exitRequested);
    w.boardWindow().findChild<QAction *>(QStringLiteral("close"))->trigger();
    QCOMPARE(spy.count(), 1);
    w.boardWindow().close();
    QCOMPARE(spy.count(), 2);
}

namespace {
QRect pixels(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QRect inClient(Stage &w, const QWidget *c)
{
    return QRect(c->mapTo(w.boardWindow().centralWidget(), QPoint(0, 0)), c->size());
}

QStringList nightList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << QStringLiteral("獎品%1").arg(i);
    return l;
}

void finishSpin(Stage &w)
{
    while (w.night().board().timer1Enabled)
        w.night().tick();
}
} // namespace

void TestBoardWindow::centrePanel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place"); // in the client area
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("family"); // empty: the window's font; "-": no caption to show
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("text"); // invalid: left to the style
    QTest::addColumn<QColor>("back"); // invalid: left to the style
    const QColor panel(0xFF, 0xFF, 0xC0);
    const QColor stack(0xFF, 0xC0, 0x80);
    const QColor darkRed(0xC0, 0, 0);
    const QString tahoma = QStringLiteral("Tahoma");
    QTest::newRow("Frame1") << "Frame1" << pixels(2880, 1920, 6135, 4455) << QString() << QString()
                            << 0.0 << false << QColor() << panel;
    QTest::newRow("Start(0)") << "Start(0)" << pixels(5160, 4080, 1575, 975)
                              << QStringLiteral("開  始") << QStringLiteral("MS Sans Serif") << 18.0
                              << true << QColor() << QColor();
    QTest::newRow("Text1") << "Text1" << pixels(3240, 5880, 2295, 375) << QString() << QString()
                           << 0.0 << false << QColor() << QColor();
    QTest::newRow("Frame2(0)") << "Frame2(0)" << pixels(3120, 3480, 1575, 1575)
                               << QStringLiteral("機會-28") << tahoma << 14.25 << true << darkRed
                               << stack;
    QTest::newRow("Frame2(1)") << "Frame2(1)" << pixels(7080, 3480, 1575, 1575)
                               << QStringLiteral("命運-28") << tahoma << 14.25 << true << darkRed
                               << stack;
    QTest::newRow("Command1(0)") << "Command1(0)" << pixels(3360, 3960, 1095, 975) << QString()
                                 << QStringLiteral("-") << 0.0 << false << QColor() << QColor();
    QTest::newRow("Command1(1)") << "Command1(1)" << pixels(7320, 3960, 1095, 975) << QString()
                                 << QStringLiteral("-") << 0.0 << false << QColor() << QColor();
    QTest::newRow("Option3") << "Option3" << pixels(3360, 2160, 1335, 255)
                             << QStringLiteral("第一輪抽獎") << QString() << 0.0 << false
                             << QColor() << panel;
    QTest::newRow("Option2") << "Option2" << pixels(7920, 2040, 975, 255)
                             << QStringLiteral("比大小") << QString() << 0.0 << false << QColor()
                             << panel;
    QTest::newRow("Option1") << "Option1" << pixels(3360, 2520, 1335, 255)
                             << QStringLiteral("第二輪抽獎") << QString() << 0.0 << false
                             << QColor() << panel;
    QTest::newRow("Label1") << "Label1" << pixels(3960, 5520, 4455, 495)
                            << QStringLiteral("92年年終晚會抽獎活動") << QStringLiteral("標楷體")
                            << 20.25 << true << darkRed << panel;
    QTest::newRow("Label5") << "Label5" << pixels(6960, 2280, 975, 375) << QStringLiteral("次獎項")
                            << tahoma << 12.0 << false << QColor() << panel;
    QTest::newRow("Label3") << "Label3" << pixels(6600, 2280, 375, 375) << QStringLiteral("0")
                            << tahoma << 12.0 << true << QColor() << panel;
    QTest::newRow("Label2") << "Label2" << pixels(5160, 2280, 1215, 375)
                            << QStringLiteral("已經搖出") << tahoma << 12.0 << false << QColor()
                            << panel;
}

void TestBoardWindow::centrePanel()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, caption);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(QColor, text);
    QFETCH(QColor, back);
    TestStage w;
    auto *c = w.boardWindow().centralWidget()->findChild<QWidget *>(name);
    QVERIFY(c);
    QCOMPARE(inClient(w, c), place);
    QString shown;
    if (auto *l = qobject_cast<QLabel *>(c))
        shown = l->text();
    else if (auto *b = qobject_cast<QAbstractButton *>(c))
        shown = b->text();
    else if (auto *g = qobject_cast<QGroupBox *>(c))
        shown = g->title();
    else if (auto *e = qobject_cast<QLineEdit *>(c))
        shown = e->text();
    QCOMPARE(shown, caption);
    if (family.isEmpty()) {
        QCOMPARE(c->font(), w.boardWindow().font());
    } else if (family != QLatin1String("-")) {
        QCOMPARE(c->font().family(), family);
        QCOMPARE(c->font().pointSizeF(), points);
        QCOMPARE(c->font().bold(), bold);
    }
    if (text.isValid())
        QCOMPARE(c->palette().color(QPalette::WindowText), text);
    if (back.isValid()) {
        QVERIFY(c->autoFillBackground());
        QCOMPARE(c->palette().color(c->backgroundRole()), back);
    }
}

// The two visible options sit on the panel's own colour, not on a button-grey box.
void TestBoardWindow::optionsLookPanelColour()
{
    TestStage w;
    w.boardWindow().show();
    for (const char *name : {"Option1", "Option3"}) {
        auto *o = w.boardWindow().findChild<QRadioButton *>(QLatin1String(name));
        const QImage img = o->grab().toImage();
        QCOMPARE(img.pixelColor(img.width() - 2, img.height() / 2), QColor(0xFF, 0xFF, 0xC0));
        QCOMPARE(img.pixelColor(img.width() - 2, 1), QColor(0xFF, 0xFF, 0xC0));
    }
}

void TestBoardWindow::allCells_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<QRect>("cell");
    QTest::addColumn<QRect>("marker");
    // Clockwise from the top-left corner: 18 upright along the top, 10 flat down the right,
    // 18 upright back along the bottom, 10 flat up the left.
    for (int i = 0; i < 56; ++i) {
        QRect cell, marker;
        if (i < 18) {
            cell = pixels(1680 + 480 * i, 600, 375, 1095);
            marker = pixels(1680 + 480 * i, 120, 375, 375);
        } else if (i < 28) {
            cell = pixels(9120, 1800 + 480 * (i - 18), 1095, 375);
            marker = pixels(10320, 1800 + 480 * (i - 18), 375, 375);
        } else if (i < 46) {
            cell = pixels(9840 - 480 * (i - 28), 6600, 375, 1095);
            marker = pixels(9840 - 480 * (i - 28), 7680, 375, 375);
        } else {
            cell = pixels(1680, 6120 - 480 * (i - 46), 1095, 375);
            marker = pixels(1200, 6120 - 480 * (i - 46), 375, 375);
        }
        QTest::addRow("cell %d", i) << i << cell << marker;
    }
}

void TestBoardWindow::allCells()
{
    QFETCH(int, i);
    QFETCH(QRect, cell);
    QFETCH(QRect, marker);
    TestStage w;
    CellButton *number = w.boardWindow().cell(i);
    QCOMPARE(inClient(w, number), cell);
    QCOMPARE(inClient(w, w.boardWindow().marker(i)), marker);
    QCOMPARE(number->objectName(), QStringLiteral("Number(%1)").arg(i));
    QCOMPARE(w.boardWindow().marker(i)->objectName(), QStringLiteral("Picture1(%1)").arg(i));
    QVERIFY(number->text().isEmpty());
    QVERIFY(number->isEnabled());
    QCOMPARE(number->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(number->font().pointSizeF(), 9.75);
    QVERIFY(number->font().bold());
    QCOMPARE(number->backColour(), i == 16 ? Cell::Idle : Cell::Initial);
    QVERIFY(!w.boardWindow().marker(i)->isVisibleTo(&w.boardWindow()));
    QCOMPARE(w.boardWindow().marker(i)->palette().color(QPalette::Window),
             QColor(0xFF, 0xE0, 0xC0));
}

void TestBoardWindow::menus()
{
    TestStage w;
    const QList<QAction *> bar = w.boardWindow().menuBar()->actions();
    // The two designed entries, then 檢視 for what goes beyond them, rightmost.
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar[2]->text(), QStringLiteral("檢視"));
    QVERIFY(bar[2]->menu());
    QCOMPARE(bar[0]->text(), QStringLiteral("遊戲"));
    QVERIFY(bar[0]->menu());
    QCOMPARE(bar[0]->menu()->objectName(), QStringLiteral("mainmenu"));
    // A command on the bar itself, not a drop-down.
    QCOMPARE(bar[1]->objectName(), QStringLiteral("aboutus"));
    QCOMPARE(bar[1]->text(), QStringLiteral("關於Zentavo"));
    QVERIFY(!bar[1]->menu());
    const QList<QAction *> game = bar[0]->menu()->actions();
    QStringList names, texts;
    for (QAction *a : game) {
        names << a->objectName();
        texts << a->text();
    }
    QCOMPARE(names, (QStringList{QStringLiteral("redraw"), QStringLiteral("Lotto"),
                                 QStringLiteral("close")}));
    QCOMPARE(texts, (QStringList{QStringLiteral("重新搖獎"), QStringLiteral("賓果遊戲"),
                                 QStringLiteral("結束")}));
    for (QAction *a : game + QList<QAction *>{bar[1]}) {
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
        QVERIFY2(!a->isCheckable(), qPrintable(a->objectName()));
        QVERIFY2(!a->isSeparator(), qPrintable(a->objectName()));
        QVERIFY2(a->isEnabled() && a->isVisible(), qPrintable(a->objectName()));
    }
}

// Option2 and Text1 exist and keep their state, but nothing ever shows them.
void TestBoardWindow::neverVisible()
{
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
    ProgramStage w(nightList());
    w.night().setClock([] { return 3.5; });
    w.boardWindow().show();
    auto *option2 = w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option2"));
    auto *text1 = w.boardWindow().findChild<QLineEdit *>(QStringLiteral("Text1"));
    const auto hidden = [&] { return !option2->isVisible() && !text1->isVisible(); };
    QVERIFY(hidden());
    w.boardWindow().start();
    finishSpin(w);
    QVERIFY(hidden());
    w.boardWindow().drawCard(0);
    QVERIFY(hidden());
    QCOMPARE(text1->text(), w.night().board().drawnGift);
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
    QVERIFY(hidden());
    fire(w.boardWindow().numberTimer());
    QVERIFY(hidden());
    Prompt::setConfirmHandler({});
}

void TestBoardWindow::startHasFocusAfterStops()
{
    ProgramStage w(nightList());
    double now = 0;
    w.night().setClock([&now] { return now += 2.5; });
    w.boardWindow().show();
    // The window hands its focus to Start.
    QCOMPARE(w.boardWindow().focusProxy(), w.boardWindow().startButton());
    w.boardWindow().setFocus();
    QCOMPARE(w.boardWindow().focusWidget(), w.boardWindow().startButton());
    for (int n = 1; n <= 56; ++n) {
        w.boardWindow().start();
        finishSpin(w);
        QCOMPARE(w.boardWindow().focusWidget() == w.boardWindow().startButton(), n != 56);
        // The card takes the focus; the next stop gives it back.
        const int stack = w.boardWindow().cardButton(0)->isEnabled() ? 0 : 1;
        w.boardWindow().cardButton(stack)->setFocus();
        w.boardWindow().drawCard(stack);
        w.windows().prizeWindow()->finishOpening();
        w.windows().prizeWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QVERIFY(!w.boardWindow().startButton()->isEnabled());
}

void TestBoardWindow::secondRoundDuringSpin()
{
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
    TestStage w({}, {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    w.night().setClock([] { return 1.0; });
    w.boardWindow().show();
    w.boardWindow().start();
    for (int t = 0; t < 5; ++t)
        w.night().tick();
    const int lit =
        int(std::find(w.night().board().cells.begin(), w.night().board().cells.end(), Cell::Lit) -
            w.night().board().cells.begin());
    QVERIFY(lit < Board::Cells);
    QVERIFY(!w.boardWindow().startButton()->isEnabled());
    const int stepsBefore = w.night().board().stepCount;
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
    // The lit cell turns idle and Start comes back while the light runs.
    QCOMPARE(w.boardWindow().cell(lit)->backColour(), Cell::Idle);
    QVERIFY(w.boardWindow().startButton()->isEnabled());
    QVERIFY(w.night().board().timer1Enabled);
    // Start now begins a new spin, reseeding as every spin does.
    QTest::mouseClick(w.boardWindow().startButton(), Qt::LeftButton);
    QCOMPARE(w.random().reseeds.size(), 2);
    QVERIFY(w.night().spinTimer().isActive());
    QVERIFY(!w.boardWindow().startButton()->isEnabled());
    QVERIFY(w.night().board().stepCount < stepsBefore); // counted from the new start
    Prompt::setConfirmHandler({});
}

// One spin run by Timer1's own ticks: each tick sets the timer for the next, until the stop.
// How long it takes is the benchmark's business.
void TestBoardWindow::spinOnItsOwnTimer()
{
    TestStage w({}, {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    w.night().setClock([] { return 1.0; });
    w.boardWindow().show();
    QSignalSpy ticks(&w.night().spinTimer(), &QTimer::timeout);
    w.boardWindow().start();
    QCOMPARE(w.night().board().spinLength, 198);
    for (int t = 0; t < 1000 && w.night().spinTimer().isActive(); ++t)
        fire(w.night().spinTimer());
    QVERIFY(!w.night().board().timer1Enabled);
    QVERIFY(!w.night().spinTimer().isActive());
    // L - 2 steps of the light, then the stop.
    QCOMPARE(ticks.count(), 198 - 1);
    QCOMPARE(std::count(w.night().board().cells.begin(), w.night().board().cells.end(), Cell::Won),
             1);
    QCOMPARE(std::count(w.night().board().cells.begin(), w.night().board().cells.end(), Cell::Lit),
             0);
    QVERIFY(w.boardWindow().marker(w.night().board().stopCell)->isVisible());
}

// The bingo window draws from the board's own generator.
void TestBoardWindow::bingoSharesGenerator()
{
    TestStage w({}, {ScriptedRandom::forPick(6, 25), ScriptedRandom::forPick(0, 24)});
    w.windows().openBingo();
    BingoWindow *bingo = w.windows().bingoWindow();
    QVERIFY(bingo);
    bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"))->click();
    QCOMPARE(bingo->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QStringLiteral("7"));
    w.night().bingoStep();
    QCOMPARE(bingo->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QStringLiteral("1"));
    bingo->close();
}

// What comes from title.txt, the journal's counter or a prize is shown as written: "<img>"
// there is no picture to read from the disk.
void TestBoardWindow::fileTextIsPlain_data()
{
    QTest::addColumn<QString>("where"); // title, counter or prize
    QTest::addColumn<QString>("text");  // %1: a large picture on the disk
    const QString picture = QStringLiteral("<img src=\"%1\">");
    for (const char *where : {"title", "counter", "prize"}) {
        QTest::addRow("%s, picture", where) << where << picture;
        QTest::addRow("%s, bold and link", where)
            << where << QStringLiteral("<b>尾牙</b><a href=\"https://x\">摸彩</a>");
        QTest::addRow("%s, table", where) << where << QStringLiteral("<table><tr><td>1</td></tr>");
    }
}

void TestBoardWindow::fileTextIsPlain()
{
    QFETCH(QString, where);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString picturePath = dir.filePath(QStringLiteral("big.png"));
    QImage big(400, 400, QImage::Format_RGB32);
    big.fill(Qt::red);
    QVERIFY(big.save(picturePath));
    text = text.arg(picturePath);

    TestStage w({text});
    QLabel *label = nullptr;
    if (where == QLatin1String("title")) {
        w.night().setTitle(text);
        label = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label1"));
    } else if (where == QLatin1String("counter")) {
        Board kept = w.night().board();
        kept.counterCaption = text;
        w.night().restore(kept, false, false);
        label = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"));
    } else {
        PrizeWindow prize;
        prize.setPrize(text);
        prize.open();
        QTRY_VERIFY(!prize.isOpening());
        label = prize.findChild<QLabel *>(QStringLiteral("Label1"));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), text);
        return;
    }
    w.boardWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.boardWindow()));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(label->text(), text);
    // Rich text would lay the 400-pixel picture out in the label.
    QVERIFY(label->sizeHint().height() < 100);
}

void TestBoardWindow::noFreeCellRefusal_data()
{
    QTest::addColumn<bool>("secondRound");
    QTest::addColumn<bool>("advisesSecondRound");
    QTest::newRow("first round") << false << true;
    QTest::newRow("second round") << true << false;
}

void TestBoardWindow::noFreeCellRefusal()
{
    // The second round is advised only while it can still be chosen.
    QFETCH(bool, secondRound);
    QFETCH(bool, advisesSecondRound);
    TestStage w;
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->setChecked(secondRound);
    Prompt::setConfirmHandler({});
    w.night().board().cells.fill(Cell::Excluded);
    w.boardWindow().start();
    QCOMPARE(m_refusals.size(), 1);
    QCOMPARE(m_refusals.first().contains(QStringLiteral("第二輪抽獎")), advisesSecondRound);
    QVERIFY(!w.night().spinTimer().isActive());
}

// A title from title.txt is refused before the night rather than cut or drawn as boxes.
void TestBoardWindow::titleLine_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("refusal"); // empty: shown
    QTest::newRow("design title") << QStringLiteral("92年年終晚會抽獎活動") << QString();
    QTest::newRow("33 characters") << QString(33, QChar(0x6A02)) << QString();
    QTest::newRow("60 characters") << QString(60, QChar(0x6A02)) << QStringLiteral("放不下");
    QTest::newRow("emoji") << QStringLiteral("尾牙\U0001F389摸彩") << QStringLiteral("第 3 個字");
}

void TestBoardWindow::titleLine()
{
    QFETCH(QString, title);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("title.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(title.toUtf8());
    f.close();
    const EventTitle::Result r =
        EventTitle::load(path, {&BoardLayout::titleCanDraw, &BoardLayout::titleFits});
    QCOMPARE(r.ok(), refusal.isEmpty());
    QVERIFY2(r.message.contains(refusal), qPrintable(r.message));
    if (r.ok()) {
        // Shown whole on its line, never cut.
        TestStage w;
        w.night().setTitle(r.title);
        auto *label = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(QFontMetricsF(label->font()).horizontalAdvance(title) <= label->width());
    }
}

// "已經搖出 12 次獎項": a count of two digits keeps the gap one digit leaves before "次獎項",
// at the design and enlarged.
void TestBoardWindow::countStaysApart_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<double>("scale");
    QTest::newRow("one digit") << QStringLiteral("7") << 1.0;
    QTest::newRow("two digits") << QStringLiteral("12") << 1.0;
    QTest::newRow("three digits, enlarged") << QStringLiteral("100") << 2.0;
}

void TestBoardWindow::countStaysApart()
{
    QFETCH(QString, count);
    QFETCH(double, scale);
    TestStage w;
    w.boardWindow().resize(w.boardWindow().size() * scale);
    w.boardWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.boardWindow()));
    Board kept = w.night().board();
    kept.counterCaption = count;
    w.night().restore(kept, false, false);
    const auto *number = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"));
    const auto *word = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label5"));
    const QFontMetrics digits(number->font());
    const int gap =
        word->x() + std::max(0, word->indent()) - (number->x() + digits.horizontalAdvance(count));
    QCOMPARE(gap, word->x() - (number->x() + digits.horizontalAdvance(QLatin1Char('0'))));
    // At one digit the design stands as it was.
    if (count.size() == 1)
        QCOMPARE(word->indent(), 0);
}

QTEST_MAIN(TestBoardWindow)
#include "test_boardwindow.moc"
