#include "app_bench.h"
#include "bingo_bench.h"
#include "bounded_bench.h"
#include "gallery_bench.h"
#include "sound_bench.h"
#include "spin_bench.h"
#include "workbook_bench.h"

#include <QApplication>
#include <QStringList>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>

// Measures what the audience would notice. Not a test; run it on a quiet machine.
// With no argument every figure is measured; "spin", "growth", "show", "bingo", "app",
// "sound", "workbook", "bounded", "gallery" or "hostile" pick one. "startup [pairs]" measures only
// the start-up to first paint, 21 pairs unless told. "sound FILE" hears the spin in a recording
// that someone else makes (see sound_bench.h).
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args[1] == QStringLiteral("child"))
        return runAppChild(args[2], args.value(3).toInt());
    if (args.size() >= 3 && args[1] == QStringLiteral("bounded-child"))
        return runBoundedChild(args[2]);
    if (args.size() >= 3 && args[1] == QStringLiteral("gallery-child"))
        return runGalleryChild(args[2]);
    if (args.size() >= 3 && args[1] == QStringLiteral("hostile-child"))
        return runHostilePicturesChild(args[2]);

    QTextStream out(stdout);
    if (args.size() >= 2 && args[1] == QStringLiteral("startup")) {
        const int pairs = args.value(2).toInt();
        runStartupBench(out, QCoreApplication::applicationFilePath(), pairs > 0 ? pairs : 21);
        return 0;
    }
    out << "Measured on: " << QSysInfo::prettyProductName() << ", "
        << QSysInfo::currentCpuArchitecture() << ", " << QThread::idealThreadCount()
        << " cores; Qt " << qVersion() << "; platform " << QGuiApplication::platformName()
        << "\n\n";
    const bool all = args.size() < 2;
    if (all || args.contains(QStringLiteral("spin")))
        runSpinBench(out);
    if (!all && args.contains(QStringLiteral("growth")))
        runGrowthBench(out);
    if (all || args.contains(QStringLiteral("show")))
        runShowBench(out);
    if (all || args.contains(QStringLiteral("bingo")))
        runBingoBench(out);
    if (all || args.contains(QStringLiteral("workbook")))
        runWorkbookBench(out);
    if (all || args.contains(QStringLiteral("bounded")))
        runBoundedBench(out, QCoreApplication::applicationFilePath());
    if (all || args.contains(QStringLiteral("gallery")))
        runGalleryBench(out, QCoreApplication::applicationFilePath());
    if (all || args.contains(QStringLiteral("hostile")))
        runHostilePicturesBench(out, QCoreApplication::applicationFilePath());
    if (all || args.contains(QStringLiteral("app")))
        runAppBench(out, QCoreApplication::applicationFilePath());
    if (all || args.contains(QStringLiteral("sound"))) {
        const bool named = args.size() == 3 && args[1] == QStringLiteral("sound");
        runSoundBench(out, named ? args[2] : QString());
    }
    return 0;
}
