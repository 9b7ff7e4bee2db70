#include "aboutbox.h"
#include "bingowindow.h"
#include "cellbutton.h"
#include "drive.h"
#include "prizewindow.h"
#include "prompt.h"
#include "scale.h"
#include "scriptedrandom.h"
#include "teststage.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

// The board filling a larger window: one factor, the design centred in the margins.
class TestBoardScale : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fit_data();
    void fit();
    void controls_data();
    void controls();
    void clickReachesCell_data();
    void clickReachesCell();
    void backAtDesignSize();
    void sharpLamp();
    void title_data();
    void title();
    void smallScreens_data();
    void smallScreens();

private:
    QStringList m_refusals;
};

namespace {
constexpr int DesignW = 792;
constexpr int DesignH = 537;
// The bottom markers' room: a client down to this keeps the design.
constexpr int SmallestH = 529;

// A board whose client area is exactly the given size.
void resizeClient(Stage &w, QSize client)
{
    w.boardWindow().show();
    w.boardWindow().resize(client.width(), client.height() + w.boardWindow().menuBar()->height());
    QCoreApplication::processEvents();
    QCOMPARE(w.boardWindow().centralWidget()->size(), client);
}

// Where a control sits in the client area.
QRect inClient(Stage &w, const QWidget *c)
{
    return QRect(c->mapTo(w.boardWindow().centralWidget(), QPoint(0, 0)), c->size());
}

QRect expected(const QRect &twips, double s, QPoint offset)
{
    return QRectF(twips.x() * s / 15.0 + offset.x(), twips.y() * s / 15.0 + offset.y(),
                  twips.width() * s / 15.0, twips.height() * s / 15.0)
        .toRect();
}

// Edges may round one pixel either way; nested frames round twice.
bool near(const QRect &a, const QRect &b)
{
    return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
           std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
}

struct Control
{
    const char *name;
    QRect twips; // client-area position
    double points;
};

// Client-area rectangles of the design table.
const Control Controls[] = {
    {"Number(0)", QRect(1680, 600, 375, 1095), 9.75},
    {"Number(20)", QRect(9120, 2760, 1095, 375), 9.75},
    {"Number(36)", QRect(6000, 6600, 375, 1095), 9.75},
    {"Number(50)", QRect(1680, 4200, 1095, 375), 9.75},
    {"Picture1(0)", QRect(1680, 120, 375, 375), 0},
    {"Picture1(30)", QRect(8880, 7680, 375, 375), 0},
    {"Picture2", QRect(240, 600, 975, 6015), 0},
    {"Picture3", QRect(10800, 600, 975, 6135), 0},
    {"Frame1", QRect(2880, 1920, 6135, 4455), 0},
    {"Start(0)", QRect(5160, 4080, 1575, 975), 18},
    {"Frame2(0)", QRect(3120, 3480, 1575, 1575), 14.25},
    {"Frame2(1)", QRect(7080, 3480, 1575, 1575), 14.25},
    {"Command1(0)", QRect(3360, 3960, 1095, 975), 0},
    {"Command1(1)", QRect(7320, 3960, 1095, 975), 0},
    {"Option3", QRect(3360, 2160, 1335, 255), 8.25},
    {"Option1", QRect(3360, 2520, 1335, 255), 8.25},
    {"Label1", QRect(3960, 5520, 4455, 495), 20.25},
    {"Label2", QRect(5160, 2280, 1215, 375), 12},
    {"Label3", QRect(6600, 2280, 375, 375), 12},
    {"Label5", QRect(6960, 2280, 975, 375), 12},
};
} // namespace

void TestBoardScale::init()
{
    m_refusals.clear();
    Prompt::setRefuseHandler([this](QWidget *, const QString &text) { m_refusals << text; });
}

void TestBoardScale::cleanup()
{
    Prompt::setRefuseHandler({});
}

void TestBoardScale::fit_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<double>("s");
    QTest::newRow("design") << QSize(DesignW, DesignH) << 1.0;
    QTest::newRow("minimum height") << QSize(DesignW, SmallestH) << 1.0;
    QTest::newRow("wider only") << QSize(1000, DesignH) << 1.0;
    QTest::newRow("twice") << QSize(2 * DesignW, 2 * DesignH) << 2.0;
    QTest::newRow("1080p, height bound") << QSize(1920, 1080 - 30) << 1050.0 / DesignH;
    QTest::newRow("tall, width bound") << QSize(1584, 2000) << 2.0;
    QTest::newRow("2160p") << QSize(3840, 2130) << 2130.0 / DesignH;
    // Smaller than the design holds: shrunk in proportion to fit.
    QTest::newRow("1024x768 at 1.5, width bound") << QSize(683, 490) << 683.0 / DesignW;
    QTest::newRow("1366x768 at 1.5, height bound") << QSize(910, 490) << 490.0 / DesignH;
}

void TestBoardScale::fit()
{
    QFETCH(QSize, client);
    QFETCH(double, s);
    QCOMPARE(Scale::fit(client, QSize(DesignW, DesignH), QSize(DesignW, SmallestH)), s);
}

void TestBoardScale::controls_data()
{
    QTest::addColumn<QSize>("client");
    QTest::newRow("design") << QSize(DesignW, DesignH);
    QTest::newRow("wider only") << QSize(1000, DesignH);
    QTest::newRow("1.5") << QSize(1188, 806);
    QTest::newRow("1080p") << QSize(1920, 1050);
    QTest::newRow("twice and taller") << QSize(1584, 1300);
    QTest::newRow("2160p") << QSize(3840, 2130);
}

void TestBoardScale::controls()
{
    QFETCH(QSize, client);
    TestStage w;
    resizeClient(w, client);
    const double s = Scale::fit(client, QSize(DesignW, DesignH), QSize(DesignW, SmallestH));
    QCOMPARE(w.boardWindow().scale(), s);
    const QPoint offset((client.width() - qRound(DesignW * s)) / 2,
                        (client.height() - qRound(DesignH * s)) / 2);
    for (const Control &c : Controls) {
        auto *widget = w.boardWindow().findChild<QWidget *>(QLatin1String(c.name));
        QVERIFY2(widget, c.name);
        const QRect want = expected(c.twips, s, offset);
        QVERIFY2(near(inClient(w, widget), want),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5, expected %6,%7 %8x%9")
                                .arg(QLatin1String(c.name))
                                .arg(inClient(w, widget).x())
                                .arg(inClient(w, widget).y())
                                .arg(widget->width())
                                .arg(widget->height())
                                .arg(want.x())
                                .arg(want.y())
                                .arg(want.width())
                                .arg(want.height())));
        if (c.points > 0)
            QCOMPARE(widget->font().pointSizeF(), c.points * s);
    }
    // The menu bar keeps its design font.
    QCOMPARE(w.boardWindow().menuBar()->font().pointSizeF(), 8.25);
    // The card pictures grow with the board.
    QCOMPARE(w.boardWindow().cardButton(0)->iconSize(), QSize(qRound(32 * s), qRound(32 * s)));
}

void TestBoardScale::clickReachesCell_data()
{
    QTest::addColumn<QSize>("client");
    QTest::newRow("design") << QSize(DesignW, DesignH);
    QTest::newRow("1.37") << QSize(1085, 736);
    QTest::newRow("1080p") << QSize(1920, 1050);
    QTest::newRow("2160p") << QSize(3840, 2130);
}

void TestBoardScale::clickReachesCell()
{
    QFETCH(QSize, client);
    TestStage w;
    resizeClient(w, client);
    w.boardWindow().numberCells();
    // Idle cells turn won on a right click.
    w.night().board().cells.fill(Cell::Idle);
    QWidget *area = w.boardWindow().centralWidget();
    for (int i = 0; i < Board::Cells; ++i) {
        const QPoint centre = inClient(w, w.boardWindow().cell(i)).center();
        QWidget *hit = area->childAt(centre);
        QCOMPARE(hit, static_cast<QWidget *>(w.boardWindow().cell(i)));
        // A right click there marks that cell, and only it.
        QTest::mouseClick(hit, Qt::RightButton, {}, hit->mapFrom(area, centre));
        QCOMPARE(w.boardWindow().cell(i)->backColour(), Cell::Won);
        QCOMPARE(
            std::count(w.night().board().cells.begin(), w.night().board().cells.end(), Cell::Won),
            i + 1);
    }
    QVERIFY(m_refusals.isEmpty());
}

void TestBoardScale::backAtDesignSize()
{
    TestStage w;
    resizeClient(w, QSize(1920, 1050));
    resizeClient(w, QSize(DesignW, DesignH));
    QCOMPARE(w.boardWindow().scale(), 1.0);
    QCOMPARE(w.boardWindow().cell(0)->geometry(), QRect(112, 40, 25, 73));
    QCOMPARE(w.boardWindow().startButton()->geometry(), QRect(152, 144, 105, 65));
    QCOMPARE(w.boardWindow().cell(0)->font().pointSizeF(), 9.75);
}

void TestBoardScale::sharpLamp()
{
    // Nearest-neighbour enlargement: every source pixel becomes a solid block.
    QImage small(4, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            small.setPixel(x, y, (x + y) % 2 ? 0xFFFF0000 : 0x00000000);
    const QImage big = Scale::sharp(QPixmap::fromImage(small), 3.0).toImage();
    QCOMPARE(big.size(), QSize(12, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            QCOMPARE(big.pixel(x, y), small.pixel(x / 3, y / 3));

    // A label's picture follows the layout's scale and comes back unchanged at 1.
    QWidget root;
    auto *label = new QLabel(&root);
    ScaledLayout layout(&root);
    const QPixmap design = QPixmap::fromImage(small);
    layout.picture(label, design, ScaledLayout::Art::Pixel);
    layout.apply(2.5);
    QCOMPARE(label->pixmap().size(), QSize(10, 10));
    layout.apply(1.0);
    QCOMPARE(label->pixmap().toImage(), design.toImage());
}

void TestBoardScale::title_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("shrinks");
    const QString design = QStringLiteral("92年年終晚會抽獎活動");
    const QString longTitle = QStringLiteral("2026年度全體同仁年終感恩晚會暨摸彩抽獎大會");
    QTest::newRow("design title, design size") << QSize(DesignW, DesignH) << design << false;
    QTest::newRow("design title, 1080p") << QSize(1920, 1050) << design << false;
    QTest::newRow("short title") << QSize(DesignW, DesignH) << QStringLiteral("尾牙") << false;
    QTest::newRow("long title, design size") << QSize(DesignW, DesignH) << longTitle << true;
    QTest::newRow("long title, 1080p") << QSize(1920, 1050) << longTitle << true;
}

void TestBoardScale::title()
{
    QFETCH(QSize, client);
    QFETCH(QString, title);
    QFETCH(bool, shrinks);
    TestStage w;
    w.night().setTitle(title);
    resizeClient(w, client);
    auto *label1 = w.boardWindow().findChild<QLabel *>(QStringLiteral("Label1"));
    QCOMPARE(label1->text(), title);
    const double design = 20.25 * w.boardWindow().scale();
    if (shrinks)
        QVERIFY(label1->font().pointSizeF() < design);
    else
        QCOMPARE(label1->font().pointSizeF(), design);
    QVERIFY(QFontMetricsF(label1->font()).horizontalAdvance(title) <=
            label1->contentsRect().width());
    QVERIFY(label1->font().bold());
}

void TestBoardScale::smallScreens_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<Qt::WindowState>("state");
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (int i = 0; i < int(screens.size()); ++i) {
        const QByteArray name = screens[i]->name().toUtf8();
        QTest::addRow("%s, normal", name.constData()) << i << Qt::WindowNoState;
        QTest::addRow("%s, maximised", name.constData()) << i << Qt::WindowMaximized;
        QTest::addRow("%s, full screen", name.constData()) << i << Qt::WindowFullScreen;
    }
}

// A screen too small for the design (a small one, or a laptop's at a large scale factor):
// the board shrinks in proportion, and every cell and every window it opens is on it.
void TestBoardScale::smallScreens()
{
    QFETCH(int, screen);
    QFETCH(Qt::WindowState, state);
    QScreen *where = QGuiApplication::screens().at(screen);
    if (where->availableGeometry().height() >= DesignH + 60)
        QSKIP("the design fits this screen");
    TestStage w(Drive::prizes());
    BoardWindow &board = w.boardWindow();
    board.setScreen(where);
    board.move(where->availableGeometry().topLeft());
    board.setWindowState(state);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    const bool full = state == Qt::WindowFullScreen;
    // Offscreen puts even a full-screen window one pixel in, as if it had a frame.
    const QRect room = full ? QRect(board.geometry().topLeft(), where->geometry().size())
                            : where->availableGeometry();
    // Offscreen gives even a full-screen window a frame.
    QTRY_VERIFY(room.contains(full ? board.geometry() : board.frameGeometry()));
    QVERIFY(board.scale() < 1.0);
    const auto onScreen = [&room](const QWidget *c) {
        return room.contains(QRect(c->mapToGlobal(QPoint(0, 0)), c->size()));
    };
    for (int i = 0; i < Board::Cells; ++i) {
        QVERIFY2(onScreen(board.cell(i)), qPrintable(QString::number(i)));
        QVERIFY2(onScreen(board.marker(i)), qPrintable(QString::number(i)));
    }
    Drive::spinToStop(w);
    board.drawCard(Board::Chance);
    w.windows().prizeWindow()->finishOpening();
    QTRY_VERIFY(where->availableGeometry().contains(w.windows().prizeWindow()->frameGeometry()));
    w.windows().prizeWindow()->close();
    w.windows().openBingo();
    QVERIFY(where->availableGeometry().contains(w.windows().bingoWindow()->frameGeometry()));
    w.windows().bingoWindow()->close();
    w.windows().showAbout();
    QTRY_VERIFY(w.windows().aboutBox() && w.windows().aboutBox()->isVisible());
    const QWidget *about = w.windows().aboutBox();
    QVERIFY(about->screen()->availableGeometry().contains(about->frameGeometry()));
}

QTEST_MAIN(TestBoardScale)
#include "test_boardscale.moc"
