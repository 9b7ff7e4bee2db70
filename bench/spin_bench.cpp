#include "spin_bench.h"

#include "board.h"
#include "cellbutton.h"
#include "gallery.h"
#include "prizewindow.h"
#include "scriptedrandom.h"
#include "showwindow.h"
#include "stage.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {
struct SpinFigures
{
    double measured = 0;
    double p50 = 0;
    double p99 = 0;
};

double percentile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[std::size_t(double(v.size() - 1) * q)];
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Shows the board at its design size or over the whole screen and waits until it is up.
void showBoard(Stage &board, bool fullScreen)
{
    if (fullScreen) {
        board.boardWindow().showFullScreen();
        // Without a window manager nobody resizes a full-screen window; do it here.
        const QRect screen = board.boardWindow().screen()->geometry();
        if (board.boardWindow().geometry() != screen)
            board.boardWindow().setGeometry(screen);
    } else {
        board.boardWindow().show();
    }
    QElapsedTimer waited;
    waited.start();
    while (!board.boardWindow().isVisible() || !board.boardWindow().windowHandle()->isExposed()) {
        if (waited.elapsed() > 5000)
            break;
        waitMs(10);
    }
    waitMs(200); // the first paints and any late resize settle
}

SpinFigures runSpin(int length, bool fullScreen)
{
    // The spin of the given length from cell 0.
    ScriptedRandom random({ScriptedRandom::forPick(length - 198, 5), 0.0f});
    Stage board({}, random);
    showBoard(board, fullScreen);
    std::vector<double> errors;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    int expectedGap = Board::FirstInterval;
    QObject::connect(&board.night().spinTimer(), &QTimer::timeout, &board.boardWindow(), [&] {
        const qint64 now = clock.nsecsElapsed();
        errors.push_back(std::abs(double(now - lastTick) / 1e6 - expectedGap));
        lastTick = now;
        expectedGap = Board::intervalAfter(board.night().board().stepCount - 1);
    });
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!board.night().board().timer1Enabled)
            loop.quit();
    });
    clock.start();
    board.boardWindow().start();
    poll.start();
    loop.exec();
    return {double(lastTick) / 1e6, percentile(errors, 0.5), percentile(errors, 0.99)};
}

// Counts the paints of the cells, to be sure a timed step really drew what it changed.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct StepFigures
{
    double p50 = 0;
    double p99 = 0;
    double paintsPerStep = 0;
    double scale = 1;
};

// A board in the middle of a spin whose steps are driven one at a time.
struct SteppedBoard
{
    explicit SteppedBoard(bool fullScreen)
        : random({ScriptedRandom::forPick(4, 5), 0.0f}), board({}, random), fullScreen(fullScreen)
    {
        for (int i = 0; i < Board::Cells; ++i)
            board.boardWindow().cell(i)->installEventFilter(&counter);
        board.boardWindow().start();
        board.night().spinTimer().stop();
    }

    // One light step from the rules' change to the pixels on the X server: the tick and
    // its render, the repaint of what changed and its flush, then a round trip so that
    // the server has put the image before the clock stops.
    void step()
    {
        const int paintsBefore = counter.paints;
        QElapsedTimer clock;
        clock.start();
        board.night().tick();
        board.night().spinTimer().stop();
        // What the next frame would do, now rather than after the platform's wait.
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(&board.boardWindow(), &request);
        if (show)
            QCoreApplication::sendEvent(show, &request);
        QCursor::pos();
        costs.push_back(double(clock.nsecsElapsed()) / 1e6);
        paints += counter.paints - paintsBefore;
    }

    StepFigures figures()
    {
        return {percentile(costs, 0.5), percentile(costs, 0.99), double(paints) / costs.size(),
                board.boardWindow().scale()};
    }

    ScriptedRandom random;
    Stage board;
    bool fullScreen;
    QPointer<QWidget> show; // the hall's show, painted with the board
    PaintCounter counter;
    std::vector<double> costs;
    int paints = 0;
};

// The two sizes take turns in short rounds, so that whatever else the machine does
// falls on both alike.
std::pair<StepFigures, StepFigures> timeSteps()
{
    constexpr int Rounds = 6;
    constexpr int StepsPerRound = 30; // 180 of a spin's 198 or more steps
    SteppedBoard design(false);
    SteppedBoard full(true);
    for (int round = 0; round < Rounds; ++round) {
        for (SteppedBoard *b : {&design, &full}) {
            showBoard(b->board, b->fullScreen);
            for (int i = 0; i < StepsPerRound && b->board.night().board().timer1Enabled; ++i) {
                b->step();
                QCoreApplication::processEvents();
                QThread::msleep(5);
            }
            b->board.boardWindow().hide();
        }
    }
    return {design.figures(), full.figures()};
}

// The screen the show takes: the largest other than the primary, or the primary alone.
QScreen *hallScreen()
{
    QScreen *hall = nullptr;
    for (QScreen *s : QGuiApplication::screens())
        if (s != QGuiApplication::primaryScreen() &&
            (!hall ||
             s->size().width() * s->size().height() > hall->size().width() * hall->size().height()))
            hall = s;
    return hall ? hall : QGuiApplication::primaryScreen();
}

void openShow(Stage &board)
{
    QScreen *hall = hallScreen();
    board.windows().openShow(hall, hall != QGuiApplication::primaryScreen());
    // Without a window manager nobody resizes a full-screen window; do it here.
    board.windows().showWindow()->setGeometry(hall->geometry());
    waitMs(200);
}

// The board alone against the board with the show beside it, rounds taking turns.
std::pair<StepFigures, StepFigures> timeStepsWithShow()
{
    constexpr int Rounds = 6;
    constexpr int StepsPerRound = 30;
    SteppedBoard alone(false);
    SteppedBoard beside(false);
    for (int round = 0; round < Rounds; ++round) {
        for (SteppedBoard *b : {&alone, &beside}) {
            showBoard(b->board, false);
            // Under a window manager the other board taking the keys ends a show over its
            // board, as the desk's windows do.
            if (b == &beside && !beside.show) {
                openShow(beside.board);
                beside.show = beside.board.windows().showWindow();
            }
            for (int i = 0; i < StepsPerRound && b->board.night().board().timer1Enabled; ++i) {
                b->step();
                QCoreApplication::processEvents();
                QThread::msleep(5);
            }
            b->board.boardWindow().hide();
        }
    }
    return {alone.figures(), beside.figures()};
}

// A phone's picture of the prize and one of every winner, 4000 × 3000 each.
std::unique_ptr<QTemporaryDir> phonePictures()
{
    auto dir = std::make_unique<QTemporaryDir>();
    QImage phone(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < phone.height(); ++y)
        for (int x = 0; x < phone.width(); ++x)
            phone.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
    QDir(dir->path()).mkpath(QLatin1String(Gallery::PrizeFolder));
    QDir(dir->path()).mkpath(QLatin1String(Gallery::PhotoFolder));
    const QString first = dir->filePath(QStringLiteral("prizes/現金 6,000 元.jpg"));
    phone.save(first, "JPEG", 90);
    for (int n = 1; n <= Board::Cells; ++n)
        QFile::copy(first, dir->filePath(QStringLiteral("photos/%1.jpg").arg(n)));
    return dir;
}

// The prize growing inside the show: from the card to its last step with the bands painted;
// with the prize's picture and the winner's photo read at the card, when asked.
std::vector<double> timeShowGrowth(bool pictures = false)
{
    ScriptedRandom random({ScriptedRandom::forPick(0, 5), 0.0f});
    Stage board(QStringList(Board::Cells, QStringLiteral("現金 6,000 元")), random);
    const auto dir = pictures ? phonePictures() : nullptr;
    if (dir)
        board.night().setGallery(Gallery::scan(dir->path()));
    showBoard(board, false);
    openShow(board);
    std::vector<double> costs;
    for (int i = 0; i < 5; ++i) {
        board.boardWindow().start();
        while (board.night().board().timer1Enabled)
            board.night().tick();
        board.night().spinTimer().stop();
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        board.boardWindow().drawCard(i % 2);
        Announcement *announcement = board.windows().showWindow()->announcement();
        if (announcement->isGrowing()) {
            QObject::connect(announcement, &Announcement::grown, &loop, &QEventLoop::quit);
            loop.exec();
        }
        costs.push_back(double(clock.nsecsElapsed()) / 1e6);
        waitMs(100);
        board.windows().prizeWindow()->finishOpening();
        board.windows().prizeWindow()->confirm();
        waitMs(100);
        // Outside an event loop the closed window would outlive the board.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return costs;
}

// The prize window growing onto the full-screen board in the hall's size: from the card
// to the last step with its bands painted, five times.
std::vector<double> timePrizeGrowth()
{
    ScriptedRandom random({ScriptedRandom::forPick(0, 5), 0.0f});
    Stage board(QStringList(Board::Cells, QStringLiteral("現金 6,000 元")), random);
    showBoard(board, true);
    std::vector<double> costs;
    for (int i = 0; i < 5; ++i) {
        board.boardWindow().start();
        while (board.night().board().timer1Enabled)
            board.night().tick();
        board.night().spinTimer().stop();
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        board.boardWindow().drawCard(i % 2);
        PrizeWindow *prize = board.windows().prizeWindow();
        if (prize->isOpening()) {
            QObject::connect(prize, &GrowingWindow::opened, &loop, &QEventLoop::quit);
            loop.exec();
        }
        // The prize on the screen, not only due: what the last step left to paint, painted.
        QCoreApplication::processEvents();
        costs.push_back(double(clock.nsecsElapsed()) / 1e6);
        waitMs(100);
        prize->confirm();
        waitMs(100);
    }
    return costs;
}

QString ms(double v, int decimals = 2)
{
    return QString::number(v, 'f', decimals);
}

QString percent(double measured, double nominal)
{
    return QString::number(100.0 * (measured - nominal) / nominal, 'f', 2) + QStringLiteral(" %");
}
} // namespace

void runSpinBench(QTextStream &out)
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QString full =
        QStringLiteral("full screen %1×%2").arg(screen.width()).arg(screen.height());
    const QString design = QStringLiteral("design size 792×537");

    out << "**Spin duration** (real spins on the event loop with the board shown, against the "
           "nominal length of the tick table; "
        << design << " and " << full << ")\n\n";
    out << "| spin length | nominal ms | design: measured ms | error | tick p99 error ms | "
           "full screen: measured ms | error | tick p99 error ms | target |\n";
    out << "|---|---|---|---|---|---|---|---|---|\n";
    for (int length = 198; length <= 202; ++length) {
        const int nominal = 10080 + (length - 198) * 500;
        const SpinFigures atDesign = runSpin(length, false);
        const SpinFigures atFull = runSpin(length, true);
        out << "| " << length << " | " << nominal << " | " << ms(atDesign.measured, 1) << " | "
            << percent(atDesign.measured, nominal) << " | " << ms(atDesign.p99) << " | "
            << ms(atFull.measured, 1) << " | " << percent(atFull.measured, nominal) << " | "
            << ms(atFull.p99) << " | ±1 %, p99 ≤ 2 ms |\n";
        out.flush();
    }

    const auto [small, large] = timeSteps();
    out << "\n**One light step** (the tick, the repaint of the cells it changed and the flush to "
           "the X server, "
        << int(std::lround(small.paintsPerStep))
        << " cell paints a step; 180 steps each, the sizes taking turns)\n\n";
    out << "| figure | design size | " << full << " (s = " << ms(large.scale)
        << ") | ratio | target |\n";
    out << "|---|---|---|---|---|\n";
    out << "| median ms | " << ms(small.p50, 3) << " | " << ms(large.p50, 3) << " | "
        << ms(large.p50 / small.p50) << " | ≤ 2 |\n";
    out << "| p99 ms | " << ms(small.p99, 3) << " | " << ms(large.p99, 3) << " | "
        << ms(large.p99 / small.p99) << " | ≤ 2 |\n";
    out.flush();
    runGrowthBench(out);
}

void runGrowthBench(QTextStream &out)
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QString full =
        QStringLiteral("full screen %1×%2").arg(screen.width()).arg(screen.height());
    const std::vector<double> growth = timePrizeGrowth();
    out << "\n**Prize window growth** (" << full
        << ", the hall's window: from the card to the 31st step with its bands painted, "
           "5 cards)\n\n";
    out << "| figure | ms | target |\n";
    out << "|---|---|---|\n";
    out << "| median | " << ms(percentile(growth, 0.5), 1) << " | < 500 |\n";
    out << "| slowest | " << ms(percentile(growth, 1.0), 1) << " | < 500 |\n";
    const std::vector<double> pictured = timeShowGrowth(true);
    out << "| median, with a 4000 × 3000 picture and photo | " << ms(percentile(pictured, 0.5), 1)
        << " | < 500 |\n";
    out << "| slowest, with them | " << ms(percentile(pictured, 1.0), 1) << " | < 500 |\n";
    out.flush();
}

void runShowBench(QTextStream &out)
{
    const QSize hall = hallScreen()->size();
    const QString where = QStringLiteral("the show %1×%2").arg(hall.width()).arg(hall.height());
    const auto [alone, beside] = timeStepsWithShow();
    out << "\n**One light step with the show** (the board at its design size alone, and with "
        << where << " beside it, both painted; 180 steps each, taking turns)\n\n";
    out << "| figure | board alone | with the show | ratio | target |\n";
    out << "|---|---|---|---|---|\n";
    out << "| median ms | " << ms(alone.p50, 3) << " | " << ms(beside.p50, 3) << " | "
        << ms(beside.p50 / alone.p50) << " | ≤ 1.5 |\n";
    out << "| p99 ms | " << ms(alone.p99, 3) << " | " << ms(beside.p99, 3) << " | "
        << ms(beside.p99 / alone.p99) << " | ≤ 2 |\n";
    out.flush();

    const std::vector<double> growth = timeShowGrowth();
    out << "\n**The prize growing in the show** (" << where
        << ": from the card to the 31st step with its bands painted, 5 cards)\n\n";
    out << "| figure | ms | target |\n";
    out << "|---|---|---|\n";
    out << "| median | " << ms(percentile(growth, 0.5), 1) << " | < 500 |\n";
    out << "| slowest | " << ms(percentile(growth, 1.0), 1) << " | < 500 |\n";
    const std::vector<double> pictured = timeShowGrowth(true);
    out << "| median, with a 4000 × 3000 picture and photo | " << ms(percentile(pictured, 0.5), 1)
        << " | < 500 |\n";
    out << "| slowest, with them | " << ms(percentile(pictured, 1.0), 1) << " | < 500 |\n";
    out.flush();
}
