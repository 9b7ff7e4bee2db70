#include "bingo_bench.h"
#include "spin_bench.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>

// Measures what the audience would notice: how long a spin takes, how steady its
// ticks are. Not a test; run it on a quiet machine.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    const bool all = args.size() < 2;
    if (all || args.contains(QStringLiteral("spin")))
        runSpinBench(out);
    if (all || args.contains(QStringLiteral("bingo")))
        runBingoBench(out);
    return 0;
}
