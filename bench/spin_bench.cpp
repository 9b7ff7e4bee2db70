#include "spin_bench.h"

#include "form1.h"
#include "scriptedrandom.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

void runSpinBench(QTextStream &out)
{
    out << "**Spin duration** (real spins on the event loop, against the nominal length of the "
           "tick table)\n\n";
    out << "| spin length | nominal ms | measured ms | error | tick median error ms | tick p99 "
           "error ms | target |\n";
    out << "|---|---|---|---|---|---|---|\n";
    for (int length = 198; length <= 202; ++length) {
        // The spin of the given length from cell 0.
        ScriptedRandom random({ScriptedRandom::forPick(length - 198, 5), 0.0f});
        Form1 board({}, random);
        std::vector<double> errors;
        QElapsedTimer clock;
        qint64 lastTick = 0;
        int expectedGap = Board::FirstInterval;
        QObject::connect(&board.timer1(), &QTimer::timeout, &board, [&] {
            const qint64 now = clock.nsecsElapsed();
            errors.push_back(std::abs(double(now - lastTick) / 1e6 - expectedGap));
            lastTick = now;
            expectedGap = Board::intervalAfter(board.board().stepCount - 1);
        });
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!board.board().timer1Enabled)
                loop.quit();
        });
        clock.start();
        board.startClick();
        poll.start();
        loop.exec();
        const double measured = double(lastTick) / 1e6;
        const int nominal = 10080 + (length - 198) * 500;
        std::sort(errors.begin(), errors.end());
        const double p99 = errors[std::size_t(double(errors.size() - 1) * 0.99)];
        const double p50 = errors[errors.size() / 2];
        out << "| " << length << " | " << nominal << " | " << QString::number(measured, 'f', 1)
            << " | " << QString::number(100.0 * (measured - nominal) / nominal, 'f', 2) << " % | "
            << QString::number(p50, 'f', 2) << " | " << QString::number(p99, 'f', 2)
            << " | ±1 %, p99 ≤ 2 ms |\n";
        out.flush();
    }
}
