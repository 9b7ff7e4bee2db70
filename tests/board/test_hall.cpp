#include "bignumber.h"
#include "bingowindow.h"
#include "closingpicture.h"
#include "colourui.h"
#include "cover.h"
#include "drive.h"
#include "fonts.h"
#include "manualclock.h"
#include "prizewindow.h"
#include "prompt.h"
#include "scale.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>

// The board for the hall: full screen on a 1920 x 1080 and a 3840 x 2160 screen, against
// the design size, where nothing of it shows.
class TestHall : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void winningNumber_data();
    void winningNumber();
    void prizeWindow_data();
    void prizeWindow();
    void backColourWhileGrowing_data();
    void backColourWhileGrowing();
    void growthKeepsItsLength();
    void finale_data();
    void finale();
    void bingoFits_data();
    void bingoFits();
};

namespace {
// The growths go by it.
ManualClock s_clock;

enum class Size
{
    Design,
    FullHd,
    Uhd
};

void sizes()
{
    QTest::addColumn<int>("size");
    QTest::newRow("design size") << int(Size::Design);
    QTest::newRow("1920x1080 full screen") << int(Size::FullHd);
    QTest::newRow("3840x2160 full screen") << int(Size::Uhd);
}

QScreen *screenFor(Size size)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return size == Size::Uhd ? screens.value(1) : screens.value(0);
}

void place(Stage &w, Size size)
{
    QScreen *screen = screenFor(size);
    w.boardWindow().setScreen(screen);
    w.boardWindow().move(screen->geometry().topLeft() + QPoint(10, 10));
    if (size == Size::Design) {
        w.boardWindow().show();
    } else {
        w.boardWindow().showFullScreen();
        QTRY_COMPARE(w.boardWindow().geometry(), screen->geometry());
    }
    QVERIFY(QTest::qWaitForWindowExposed(&w.boardWindow()));
}

// The height the glyphs of a text stand in a font, fallback faces included.
qreal inkHeight(const QFont &font, const QString &text)
{
    return QFontMetricsF(font).tightBoundingRect(text).height();
}

QRect inBoard(Stage &w, const QWidget *c)
{
    return QRect(c->mapTo(&w.boardWindow(), QPoint(0, 0)), c->size());
}
} // namespace

void TestHall::initTestCase()
{
    Fonts::installSubstitutions();
    QCOMPARE(QGuiApplication::screens().size(), 2);
}

void TestHall::init()
{
    Prompt::setRefuseHandler([](QWidget *, const QString &text) { QFAIL(qPrintable(text)); });
}

void TestHall::cleanup()
{
    Prompt::setRefuseHandler({});
}

void TestHall::winningNumber_data()
{
    sizes();
}

void TestHall::winningNumber()
{
    QFETCH(int, size);
    TestStage w({QStringLiteral("現金 6,000 元")},
                {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(20, 56),
                 ScriptedRandom::forPick(0, 56)});
    w.night().setClock([] { return 1.0; });
    place(w, Size(size));
    const bool hall = Size(size) != Size::Design;
    QCOMPARE(w.boardWindow().isHall(), hall);
    BigNumber *number = w.boardWindow().hallNumber();
    QVERIFY(!number->isVisible());
    w.boardWindow().start();
    w.night().tick();
    // Never while the light runs.
    QVERIFY(!number->isVisible());
    while (w.night().board().timer1Enabled)
        w.night().tick();
    QCOMPARE(number->isVisible(), hall);
    if (!hall)
        return;
    QCOMPARE(number->number(), QString::number(w.night().board().stopCell + 1));
    const int screenHeight = w.boardWindow().screen()->geometry().height();
    QVERIFY2(number->inkRect().height() >= screenHeight / 8.0,
             qPrintable(QString::number(number->inkRect().height())));
    // Clear of the ring, the stacks, Start and the counter line, so the mouse reaches them all.
    const QRect at = inBoard(w, number);
    for (const char *name : {"Start(0)", "Frame2(0)", "Frame2(1)", "Label3", "Label2", "Label5",
                             "Option1", "Option3", "Number(0)", "Number(55)", "Number(18)"}) {
        const auto *c = w.boardWindow().findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(!at.intersects(inBoard(w, c)), name);
    }
    QVERIFY(
        inBoard(w, w.boardWindow().findChild<QWidget *>(QStringLiteral("Frame1"))).contains(at));
    // Still up while the prize window shows it too; gone once it is confirmed.
    w.boardWindow().drawCard(Board::Chance);
    QVERIFY(number->isVisible());
    w.windows().prizeWindow()->finishOpening();
    w.windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(!number->isVisible());
    // A stop thrown away takes it away too.
    Drive::spinToStop(w);
    QVERIFY(number->isVisible());
    w.boardWindow().discardStop();
    QVERIFY(!number->isVisible());
}

void TestHall::prizeWindow_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("prize");
    QTest::addColumn<QString>("han");   // the Han characters in it
    QTest::addColumn<QString>("latin"); // its Latin letters and digits, as written
    QTest::addColumn<int>("lines");
    const QString cash = QStringLiteral("現金 6,000 元");
    const QString phone = QStringLiteral("iPhone 16 Pro 256GB 一台");
    const QString tv = QStringLiteral("Sony Bravia 65 inch 4K Google TV 液晶電視一台");
    for (const auto &[name, size] :
         {std::pair{"design size", Size::Design}, std::pair{"1920x1080", Size::FullHd},
          std::pair{"3840x2160", Size::Uhd}}) {
        QTest::addRow("%s, cash", name)
            << int(size) << cash << QStringLiteral("現金元") << QStringLiteral("6000") << 1;
        QTest::addRow("%s, phone", name) << int(size) << phone << QStringLiteral("台")
                                         << QStringLiteral("iPhone16Pro256GB") << 1;
        QTest::addRow("%s, television", name) << int(size) << tv << QStringLiteral("液晶電視台")
                                              << QStringLiteral("SonyBravia65inch4KGoogleTV") << 2;
    }
}

void TestHall::prizeWindow()
{
    QFETCH(int, size);
    QFETCH(QString, prize);
    QFETCH(QString, han);
    QFETCH(QString, latin);
    QFETCH(int, lines);
    TestStage w({prize}, {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(20, 56),
                          ScriptedRandom::forPick(0, 56)});
    w.night().setClock([] { return 1.0; });
    place(w, Size(size));
    Drive::spinToStop(w);
    w.boardWindow().drawCard(Board::Fate);
    PrizeWindow *p = w.windows().prizeWindow();
    p->finishOpening();
    auto *label = p->findChild<QLabel *>(QStringLiteral("Label1"));
    auto *number = p->findChild<BigNumber *>(QStringLiteral("Number"));
    QCOMPARE(label->text(), prize);
    if (Size(size) == Size::Design) {
        // The design's window: its size, its type, no number.
        QCOMPARE(p->frameGeometry().size(), QSize(320, 200));
        QCOMPARE(label->font().family(), QStringLiteral("新細明體"));
        QVERIFY(label->font().pointSizeF() <= 18.0);
        QVERIFY(!number->isVisible());
        return;
    }
    const QRect screen = w.boardWindow().screen()->geometry();
    QVERIFY(p->frameGeometry().width() >= screen.width() / 2);
    QVERIFY(screen.contains(p->frameGeometry()));
    // The number above the prize, an eighth of the screen high.
    QVERIFY(number->isVisible());
    QCOMPARE(number->number(), QString::number(w.night().board().stopCell + 1));
    QVERIFY(number->inkRect().height() >= screen.height() / 8.0);
    QVERIFY(number->geometry().bottom() < label->geometry().top());
    // Han, Latin letters and digits a fifteenth of the screen high, the digits within a
    // tenth of the Han characters' height.
    const QFont font = label->font();
    QCOMPARE(font.families(), Fonts::hallFamilies());
    qreal hanHeight = 0;
    for (QChar c : han)
        hanHeight += inkHeight(font, c);
    hanHeight /= han.size();
    QString capitals = latin;
    capitals.removeIf([](QChar c) { return !c.isUpper(); });
    QString digits = latin;
    digits.removeIf([](QChar c) { return !c.isDigit(); });
    const qreal target = screen.height() / 15.0;
    QVERIFY2(hanHeight >= target, qPrintable(QString::number(hanHeight)));
    QVERIFY2(inkHeight(font, digits) >= target,
             qPrintable(QString::number(inkHeight(font, digits))));
    if (!capitals.isEmpty())
        QVERIFY(inkHeight(font, capitals) >= target);
    QVERIFY2(std::abs(inkHeight(font, digits) - hanHeight) <= 0.1 * hanHeight,
             qPrintable(QStringLiteral("%1 %2").arg(inkHeight(font, digits)).arg(hanHeight)));
    // Latin in the sans-serif face, Han in the Chinese one.
    QVERIFY(QFontInfo(font).family().startsWith(QLatin1String("DejaVu Sans")));
    // Whole, on as many lines as it needs, a Latin word never cut in two.
    QTextLayout layout(prize, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QList<int> breaks;
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width());
        height += line.height();
        breaks << line.textStart();
    }
    layout.endLayout();
    QCOMPARE(breaks.size(), lines);
    QVERIFY(height <= label->contentsRect().height());
    for (int at : breaks.mid(1))
        QVERIFY2(!prize[at - 1].isLetterOrNumber() || prize[at - 1].script() == QChar::Script_Han,
                 qPrintable(prize.left(at)));
    // Still 31 steps: it opened from nothing.
    QCOMPARE(p->background().size(), p->size() * p->devicePixelRatio());
}

void TestHall::backColourWhileGrowing_data()
{
    sizes();
}

void TestHall::backColourWhileGrowing()
{
    QFETCH(int, size);
    QScreen *screen = screenFor(Size(size));
    for (bool picture : {false, true}) {
        GrowingWindow *g = nullptr;
        if (picture) {
            auto *f = new ClosingPicture;
            f->setScreen(screen);
            f->open();
            g = f;
        } else {
            auto *f = new PrizeWindow;
            f->setScreen(screen);
            if (Size(size) != Size::Design)
                f->setHall(Scale::hall(screen->size()));
            f->open();
            g = f;
        }
        // A few steps in: the window shows its own back colour, not what lay there before.
        s_clock.advance(4 * GrowingWindow::StepIntervalMs);
        QVERIFY(g->isOpening());
        const QImage shot = g->grab().toImage();
        const QColor back = picture ? QColor(Qt::red) : g->palette().color(QPalette::Window);
        QCOMPARE(shot.pixelColor(shot.width() - 1, shot.height() - 1), back);
        delete g;
    }
}

// A window that takes longer to draw than a step lasts, as the hall's on a large screen.
class SlowWindow : public GrowingWindow
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        s_clock.pass(3 * StepIntervalMs);
        GrowingWindow::paintEvent(event);
    }
};

void TestHall::growthKeepsItsLength()
{
    SlowWindow w;
    QSignalSpy opened(&w, &GrowingWindow::opened);
    const qint64 start = s_clock.now();
    w.open(OpeningPlan{18, 32, 1200, [](int) { return Colour::fromHex(0xFFFF00); }});
    // Each drawing as the event loop asks for it, then the steps due by then.
    for (int i = 0; i < 10000 && opened.isEmpty(); ++i) {
        QCoreApplication::processEvents();
        s_clock.advance(1);
    }
    QCOMPARE(opened.count(), 1);
    // The steps due are taken together and drawn once, so the growth does not drag on to
    // 31 slow drawings; it still ends at its full size.
    const qint64 nominal = (Opening::Steps - 1) * GrowingWindow::StepIntervalMs;
    const qint64 took = s_clock.now() - start;
    QVERIFY2(took < nominal + 8 * 3 * GrowingWindow::StepIntervalMs,
             qPrintable(QString::number(took)));
    QCOMPARE(w.frameGeometry().width(), 9600 / 15);
}

void TestHall::finale_data()
{
    sizes();
}

void TestHall::finale()
{
    QFETCH(int, size);
    TestStage w(Drive::prizes());
    w.night().setClock([] { return 1.0; });
    place(w, Size(size));
    const QRect before = w.boardWindow().geometry();
    Drive::toFinale(w);
    ClosingPicture *picture = w.windows().closingPicture();
    QVERIFY(picture);
    QVERIFY(!w.boardWindow().isVisible());
    const QRect screen = screenFor(Size(size))->geometry();
    if (Size(size) == Size::Design) {
        QVERIFY(!w.windows().finaleGround());
        QCOMPARE(picture->frameGeometry().size(), QSize(540, 240));
    } else {
        // A red ground over the whole screen, the picture on it three quarters as wide.
        Cover *ground = w.windows().finaleGround();
        QVERIFY(ground && ground->isVisible());
        QCOMPARE(ground->geometry(), screen);
        QCOMPARE(ground->palette().color(QPalette::Window), QColor(Qt::red));
        QVERIFY(picture->frameGeometry().width() >= screen.width() * 0.7);
        QVERIFY(screen.contains(picture->frameGeometry()));
        // A click on the ground leaves as a click on the picture does.
        QTest::mouseClick(ground, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(w.boardWindow().isVisible());
    }
    if (!w.boardWindow().isVisible()) {
        QTest::mouseClick(picture->findChild<QLabel *>(QStringLiteral("Picture1")), Qt::LeftButton);
        QTRY_VERIFY(w.boardWindow().isVisible());
    }
    // Back where it was.
    QTRY_COMPARE(w.boardWindow().geometry(), before);
    QCOMPARE(w.boardWindow().isFullScreen(), Size(size) != Size::Design);
}

void TestHall::bingoFits_data()
{
    sizes();
}

void TestHall::bingoFits()
{
    QFETCH(int, size);
    TestStage w;
    place(w, Size(size));
    w.windows().openBingo();
    BingoWindow *bingo = w.windows().bingoWindow();
    QVERIFY(QTest::qWaitForWindowExposed(bingo));
    const QRect free = bingo->screen()->availableGeometry();
    QVERIFY(free.contains(bingo->frameGeometry()));
    auto *take = bingo->findChild<QPushButton *>(QStringLiteral("Command2"));
    if (Size(size) == Size::Design) {
        QCOMPARE(bingo->geometry().topLeft(),
                 QPoint(170, 162 - bingo->findChild<QMenuBar *>()->sizeHint().height()));
        QCOMPARE(take->geometry(), QRect(192, 264, 113, 97));
    } else {
        // As large as the screen allows, the controls in their places at that scale.
        QVERIFY(take->width() > 113 * 1.5);
        QCOMPARE(bingo->screen(), w.boardWindow().screen());
    }
}

QTEST_MAIN(TestHall)
#include "test_hall.moc"
