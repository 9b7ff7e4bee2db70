#include "cellbutton.h"
#include "form1.h"
#include "prompt.h"
#include "scriptedrandom.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestForm1 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void cellPlaces_data();
    void cellPlaces();
    void numbersAfterFirstTick();
    void spinThroughTheWindow();
    void refusalBoxCaption();
    void rightClicks_data();
    void rightClicks();
    void exitEntry();

private:
    QStringList m_refusals;
};

void TestForm1::init()
{
    m_refusals.clear();
    Prompt::setRefuseHandler([this](QWidget *, const QString &text) { m_refusals << text; });
}

void TestForm1::cleanup()
{
    Prompt::setRefuseHandler({});
}

void TestForm1::cellPlaces_data()
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

void TestForm1::cellPlaces()
{
    QFETCH(int, i);
    QFETCH(QRect, cell);
    QFETCH(QRect, marker);
    ScriptedRandom r;
    Form1 w({}, r);
    QCOMPARE(w.number(i)->geometry(), cell);
    QCOMPARE(w.picture1(i)->geometry(), marker);
    QCOMPARE(w.number(i)->objectName(), QStringLiteral("Number(%1)").arg(i));
    QVERIFY(!w.picture1(i)->isVisibleTo(&w));
    QCOMPARE(w.number(i)->backColour(), i == 16 ? Cell::Idle : Cell::Initial);
    auto *start = w.findChild<QPushButton *>(QStringLiteral("Start(0)"));
    QCOMPARE(start->mapTo(&w, QPoint(0, 0)) - w.centralWidget()->mapTo(&w, QPoint(0, 0)),
             QPoint(344, 272));
    QCOMPARE(start->size(), QSize(105, 65));
}

void TestForm1::numbersAfterFirstTick()
{
    ScriptedRandom r;
    Form1 w({}, r);
    QVERIFY(w.timer2().isActive());
    QCOMPARE(w.timer2().interval(), 500);
    QVERIFY(w.number(0)->text().isEmpty());
    w.number(3)->setEnabled(false);
    QTRY_COMPARE_WITH_TIMEOUT(w.number(55)->text(), QStringLiteral("56"), 5000);
    for (int i = 0; i < Board::Cells; ++i) {
        QCOMPARE(w.number(i)->text(), QString::number(i + 1));
        QVERIFY(w.number(i)->isEnabled());
    }
}

void TestForm1::spinThroughTheWindow()
{
    ScriptedRandom r({ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(27, 56)});
    Form1 w({QStringLiteral("p")}, r);
    w.setClock([] { return 12.5; });
    w.show();
    auto *label3 = w.findChild<QLabel *>(QStringLiteral("Label3"));
    QCOMPARE(label3->text(), QStringLiteral("0"));
    QTest::mouseClick(w.startButton(), Qt::LeftButton);
    QVERIFY(w.timer1().isActive());
    QVERIFY(!w.startButton()->isEnabled());
    QCOMPARE(r.reseeds, QList<double>{12.5});
    w.timer1Tick();
    QCOMPARE(w.number(0)->backColour(), Cell::Lit);
    QCOMPARE(w.number(55)->backColour(), Cell::Idle);
    // Right clicks are ignored while the light runs.
    QTest::mouseClick(w.number(40), Qt::RightButton);
    QCOMPARE(w.number(40)->backColour(), Cell::Initial);
    int ticks = 1;
    while (w.board().timer1Enabled) {
        w.timer1Tick();
        ++ticks;
    }
    QCOMPARE(ticks, 197);
    QVERIFY(!w.timer1().isActive());
    QCOMPARE(w.number(27)->backColour(), Cell::Won);
    QVERIFY(w.picture1(27)->isVisible());
    QCOMPARE(label3->text(), QStringLiteral("1"));
    QVERIFY(w.startButton()->isEnabled());
    // A second Start before the prize is refused and changes nothing.
    QTest::mouseClick(w.startButton(), Qt::LeftButton);
    QCOMPARE(m_refusals, QStringList{QStringLiteral("           請抽獎!         ")});
    QVERIFY(!w.timer1().isActive());
    QVERIFY(w.picture1(27)->isVisible());
    // After "重新搖獎" the next Start hides the old marker.
    w.findChild<QAction *>(QStringLiteral("redraw"))->trigger();
    QTest::mouseClick(w.startButton(), Qt::LeftButton);
    QVERIFY(!w.picture1(27)->isVisible());
    QVERIFY(w.timer1().isActive());
}

void TestForm1::refusalBoxCaption()
{
    Prompt::setRefuseHandler({});
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    ScriptedRandom r;
    Form1 w({}, r);
    w.board().awaitingPrize = true;
    QString title, text;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    w.startClick();
    QCOMPARE(title, QStringLiteral("Zentavo"));
    QCOMPARE(text, QStringLiteral("           請抽獎!         "));
}

void TestForm1::rightClicks_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<ColourValue>("after");
    QTest::newRow("right on idle 16") << 16 << Qt::RightButton << Cell::Won;
    QTest::newRow("left on idle 16") << 16 << Qt::LeftButton << Cell::Idle;
    QTest::newRow("middle on idle 16") << 16 << Qt::MiddleButton << Cell::Idle;
    QTest::newRow("right on initial 3") << 3 << Qt::RightButton << Cell::Initial;
}

void TestForm1::rightClicks()
{
    QFETCH(int, cell);
    QFETCH(Qt::MouseButton, button);
    QFETCH(ColourValue, after);
    ScriptedRandom r;
    Form1 w({}, r);
    w.show();
    QTest::mouseClick(w.number(cell), button);
    QCOMPARE(w.number(cell)->backColour(), after);
    QCOMPARE(w.board().cells[std::size_t(cell)], after);
}

void TestForm1::exitEntry()
{
    ScriptedRandom r;
    Form1 w({}, r);
    QSignalSpy spy(&w, &Form1::exitRequested);
    w.findChild<QAction *>(QStringLiteral("close"))->trigger();
    QCOMPARE(spy.count(), 1);
    w.close();
    QCOMPARE(spy.count(), 2);
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
