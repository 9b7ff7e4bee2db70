#include "aboutbox.h"
#include "bingowindow.h"
#include "closingpicture.h"
#include "fonts.h"
#include "opening.h"
#include "prizewindow.h"
#include "prompt.h"
#include "scale.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

// The other windows open at the board's scale.
class TestWindowScale : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Fonts::installSubstitutions(); }
    void growth_data();
    void growth();
    void prizeWindow_data();
    void prizeWindow();
    void closingPicture_data();
    void closingPicture();
    void bingoWindow_data();
    void bingoWindow();
    void aboutBox_data();
    void aboutBox();
    void boardHandsOnItsScale();
};

namespace {
void scales()
{
    QTest::addColumn<double>("s");
    QTest::newRow("1") << 1.0;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("1.98 (1080p)") << 1050.0 / 537;
    QTest::newRow("3.97 (2160p)") << 2130.0 / 537;
}

bool near(const QRect &a, const QRect &b)
{
    return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
           std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
}

QRect expected(const QRect &twips, double s)
{
    return QRectF(twips.x() * s / 15.0, twips.y() * s / 15.0, twips.width() * s / 15.0,
                  twips.height() * s / 15.0)
        .toRect();
}

template <typename T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no %s", name);
    return c;
}
} // namespace

void TestWindowScale::growth_data()
{
    scales();
}

void TestWindowScale::growth()
{
    QFETCH(double, s);
    OpeningPlan plan{10, 16, 1200, {}, s};
    const QList<TwipsRect> steps = Opening::growth(plan, 28800);
    QCOMPARE(steps.size(), Opening::Steps);
    QCOMPARE(steps.first().width, 0);
    QCOMPARE(steps.last().width, qRound(4800 * s));
    QCOMPARE(steps.last().height, qRound(3000 * s));
    QCOMPARE(steps.last().top, qRound(1200 * s));
    // Still centred across the screen.
    QVERIFY(std::abs(2 * steps.last().left + steps.last().width - 28800) <= 1);
    for (qsizetype i = 1; i < steps.size(); ++i)
        QVERIFY(steps[i].width > steps[i - 1].width);
}

void TestWindowScale::prizeWindow_data()
{
    scales();
}

void TestWindowScale::prizeWindow()
{
    QFETCH(double, s);
    auto *w = new PrizeWindow;
    w->setScale(s);
    w->setPrize(QStringLiteral("頭獎 液晶電視"));
    w->open();
    w->finishOpening();
    QVERIFY(near(w->frameGeometry(), expected(QRect(0, 0, 4800, 3000), s)
                                         .translated(w->frameGeometry().left(), qRound(80 * s))));
    const int screenWidth = w->screen()->geometry().width();
    QVERIFY(std::abs(2 * w->frameGeometry().left() + w->frameGeometry().width() - screenWidth) <=
            2);
    QVERIFY(near(child<QPushButton>(w, "Command1")->geometry(),
                 expected(QRect(3600, 2160, 855, 375), s)));
    auto *heading = child<QLabel>(w, "Label2");
    QVERIFY(near(heading->geometry(), expected(QRect(240, 360, 2055, 615), s)));
    QCOMPARE(heading->font().pointSizeF(), 18 * s);
    auto *prize = child<QLabel>(w, "Label1");
    QVERIFY(near(prize->geometry(), expected(QRect(240, 960, 4095, 615), s)));
    QCOMPARE(prize->font().pointSizeF(), 18 * s);
    // The bands cover the larger window.
    QCOMPARE(w->background().size(), w->size() * w->devicePixelRatioF());
    delete w;
}

void TestWindowScale::closingPicture_data()
{
    scales();
}

void TestWindowScale::closingPicture()
{
    QFETCH(double, s);
    auto *w = new ClosingPicture;
    w->setScale(s);
    w->open();
    w->finishOpening();
    QVERIFY(near(QRect(QPoint(), w->frameGeometry().size()), expected(QRect(0, 0, 8100, 3600), s)));
    QCOMPARE(w->frameGeometry().top(), qRound(qRound(1500 * s) / 15.0));
    QVERIFY(near(child<QLabel>(w, "Picture1")->geometry(), expected(QRect(0, 0, 8175, 3615), s)));
    delete w;
}

void TestWindowScale::bingoWindow_data()
{
    scales();
}

void TestWindowScale::bingoWindow()
{
    QFETCH(double, s);
    ScriptedRandom r;
    Night night({}, r);
    auto *w = new BingoWindow(night);
    w->setScale(s);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto *text1 = child<QLineEdit>(w, "Text1");
    QWidget *client = text1->parentWidget();
    // Never larger than the screen it opens on (1920 x 1080 here): the 2160p scale comes
    // down to what fits, and a window that would cross the screen's edge moves in.
    const QRect free = w->screen()->availableGeometry();
    QVERIFY(free.contains(w->frameGeometry()));
    const double fits =
        (free.height() - 48 - w->findChild<QMenuBar *>()->sizeHint().height()) / (5715 / 15.0);
    const double used = std::min(s, fits);
    QCOMPARE(text1->font().pointSizeF(), 72 * used);
    const QRect area = QRect(client->mapToGlobal(QPoint(0, 0)), client->size());
    if (s <= 1.5)
        QVERIFY(near(area, expected(QRect(2550, 2430, 6915, 5715), s)));
    else
        QVERIFY(near(QRect(QPoint(), area.size()), expected(QRect(0, 0, 6915, 5715), used)));
    s = used;
    QVERIFY(near(text1->geometry(), expected(QRect(120, 3600, 2055, 1935), s)));
    auto *take = child<QPushButton>(w, "Command2");
    QVERIFY(near(take->geometry(), expected(QRect(2880, 3960, 1695, 1455), s)));
    QCOMPARE(take->font().pointSizeF(), 15.75 * s);
    QVERIFY(
        near(child<QLabel>(w, "Label1(9)")->geometry(), expected(QRect(960, 1560, 735, 735), s)));
    QCOMPARE(child<QLabel>(w, "Label1(9)")->font().pointSizeF(), 24 * s);
    QCOMPARE(child<QLabel>(w, "Label2(3)")->font().pointSizeF(), 9.75 * s);
    QCOMPARE(child<QPushButton>(w, "Command1(0)")->font().pointSizeF(), 12 * s);
    // The menu bar is the bar's, not the board's.
    QCOMPARE(w->findChild<QMenuBar *>()->font().pointSizeF(), QMenuBar().font().pointSizeF());
    // The operator's resize leaves the controls where they are.
    const QRect before = take->geometry();
    w->resize(w->size() / 2);
    QTRY_COMPARE(take->geometry(), before);
    delete w;
}

void TestWindowScale::aboutBox_data()
{
    scales();
}

void TestWindowScale::aboutBox()
{
    QFETCH(double, s);
    auto *w = new AboutBox(QStringLiteral("/nonexistent"));
    w->setScale(s);
    QVERIFY(near(w->geometry(), expected(QRect(3720, 1485, 4680, 2595), s)));
    auto *ok = child<QPushButton>(w, "cmdOK");
    QVERIFY(near(ok->geometry(), expected(QRect(3240, 2160, 1095, 375), s)));
    QCOMPARE(ok->font().pointSizeF(), 9 * s);
    QCOMPARE(child<QLabel>(w, "lbl(0)")->font().pointSizeF(), 12 * s);
    QCOMPARE(child<QLabel>(w, "lbl(3)")->font().pointSizeF(), 8.25 * s);
    QVERIFY(near(child<QLabel>(w, "Gif1")->geometry(), expected(QRect(3000, 120, 1695, 615), s)));
    QCOMPARE(w->font().pointSizeF(), 9 * s);
    delete w;
}

void TestWindowScale::boardHandsOnItsScale()
{
    Prompt::setRefuseHandler([](QWidget *, const QString &) { QFAIL("refused"); });
    TestStage board({QStringLiteral("p")},
                    {ScriptedRandom::forPick(0, 5), ScriptedRandom::forPick(0, 55)});
    board.boardWindow().show();
    board.boardWindow().resize(1920, 1050 + board.boardWindow().menuBar()->height());
    QTRY_COMPARE(board.boardWindow().centralWidget()->size(), QSize(1920, 1050));
    const double s = board.boardWindow().scale();
    QCOMPARE(s, 1050.0 / 537);
    board.boardWindow().start();
    while (board.night().board().timer1Enabled)
        board.night().tick();
    board.boardWindow().drawCard(Board::Chance);
    QCOMPARE(board.windows().prizeWindow()->scale(), s);
    board.windows().openBingo();
    QCOMPARE(child<QLineEdit>(board.windows().bingoWindow(), "Text1")->font().pointSizeF(), 72 * s);
    board.windows().showAbout();
    QCOMPARE(child<QPushButton>(board.windows().aboutBox(), "cmdOK")->font().pointSizeF(), 9 * s);
    // A window already open keeps its size when the board changes.
    const QSize bingoSize = board.windows().bingoWindow()->size();
    board.boardWindow().resize(800, 600);
    QCoreApplication::processEvents();
    board.windows().openBingo();
    QCOMPARE(board.windows().bingoWindow()->size(), bingoSize);
    Prompt::setRefuseHandler({});
}

QTEST_MAIN(TestWindowScale)
#include "test_windowscale.moc"
