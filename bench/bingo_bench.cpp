#include "bingo_bench.h"

#include "bingowindow.h"
#include "look.h"
#include "random.h"
#include "twips.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

#include <ctime>
#include <memory>

namespace {
constexpr int RunMs = 2000;

struct Rate
{
    double stepsPerSecond = 0;
    double cpuPerWallSecond = 0;
};

// Lets the event loop run for RunMs while counting the ticks of `timer`.
Rate measure(QTimer *timer)
{
    quint64 ticks = 0;
    const auto counting = QObject::connect(timer, &QTimer::timeout, [&ticks] { ++ticks; });
    QEventLoop loop;
    QTimer::singleShot(RunMs, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuStart = std::clock();
    loop.exec();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    QObject::disconnect(counting);
    return {double(ticks) / seconds, cpu / seconds};
}

Rate measureBingoWindow()
{
    Random random;
    Night night({}, random);
    QPointer<BingoWindow> window = new BingoWindow(night);
    window->show();
    window->draw();
    if (!night.bingoTimer().isActive())
        qFatal("the bingo draw did not start");
    const Rate rate = measure(&night.bingoTimer());
    window->endAndClose();
    delete window.data(); // closed already; no need to wait for the deferred delete
    return rate;
}

// The same display on its own, updated from a zero-interval timer.
Rate measureBareTimer()
{
    Random random;
    auto window = std::make_unique<QWidget>();
    window->resize(Twips::rect(0, 0, 6915, 5715).size());
    auto *display = new QLineEdit(QStringLiteral("0"), window.get());
    display->setGeometry(Twips::rect(120, 3600, 2055, 1935));
    QFont font(Look::tahoma());
    font.setPointSizeF(72);
    display->setFont(font);
    display->setReadOnly(true);
    window->show();
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, display, [&random, display] {
        display->setText(QString::number(random.pick(25) + 1));
    });
    timer.start();
    return measure(&timer);
}
} // namespace

void runBingoBench(QTextStream &out)
{
    const Rate bare = measureBareTimer();
    const Rate bingo = measureBingoWindow();
    const double ratio = bare.stepsPerSecond > 0 ? bingo.stepsPerSecond / bare.stepsPerSecond : 0;
    out << "\n**Bingo draw** (" << RunMs / 1000
        << " s of drawing, against a bare event-loop step with the same display update)\n\n";
    out << "| figure | bingo draw | bare step | ratio | target |\n|---|---|---|---|---|\n";
    out << QStringLiteral("| draw steps per second | %1 | %2 | %3 | ≥ 0.8 |\n")
               .arg(bingo.stepsPerSecond, 0, 'f', 0)
               .arg(bare.stepsPerSecond, 0, 'f', 0)
               .arg(ratio, 0, 'f', 2);
    out << QStringLiteral("| CPU seconds per second of draw | %1 | %2 | | |\n")
               .arg(bingo.cpuPerWallSecond, 0, 'f', 2)
               .arg(bare.cpuPerWallSecond, 0, 'f', 2);
    out.flush();
}
