#include "app_bench.h"

#include "audiosound.h"
#include "background.h"
#include "board.h"
#include "fonts.h"
#include "gallery.h"
#include "picturereader.h"
#include "prizelist.h"
#include "procstats.h"
#include "random.h"
#include "stage.h"
#include "twips.h"
#include "workbook_bench.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <future>
#include <vector>

namespace {
class FirstPaint : public QObject
{
public:
    bool seen = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

AppChildFigures runAppChildProcess(const QString &self, const QString &kind, int idleSeconds)
{
    // Start-up counts from launching the process, loading Qt included, to the child's
    // word that its window has painted.
    QProcess p;
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    p.start(self, {QStringLiteral("child"), kind, QString::number(idleSeconds)});
    QByteArray first;
    while (!first.contains('\n') && p.waitForReadyRead(30000))
        first += p.readAllStandardOutput();
    const double startupMs = double(sinceLaunch.nsecsElapsed()) / 1e6;
    p.waitForFinished(60000 + idleSeconds * 1000);
    const QStringList f = QString::fromLatin1(first + p.readAllStandardOutput())
                              .split(u'\n')
                              .value(1)
                              .trimmed()
                              .split(u' ');
    if (f.size() < 2)
        return {};
    return {startupMs, f[0].toDouble(), f[1].toDouble()};
}

int runAppChild(const QString &kind, int idleSeconds)
{
    Fonts::installSubstitutions();
    Random random;
    AudioSound sound;
    // "named": the board with a guest list of 56 names read as the program reads it.
    const bool named = kind.startsWith(QStringLiteral("named:"));
    const bool pictures = kind.startsWith(QStringLiteral("pictures:"));
    const bool board = kind == QStringLiteral("board") || named || pictures;
    std::unique_ptr<Stage> stage;
    std::unique_ptr<QMainWindow> bare;
    QMainWindow *window = nullptr;
    // As the program does: the pictures' headers read while the board is built.
    std::future<ScannedPictures> scanning;
    if (pictures)
        scanning =
            Background::run([folder = kind.mid(9)] { return ScannedPictures::read(folder); });
    if (board) {
        const PrizeList::Result r = PrizeList::load(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("gift.txt")));
        stage = std::make_unique<Stage>(r.lines, random);
        if (named)
            stage->guests().load(kind.mid(6));
        if (pictures) {
            const ScannedPictures scanned = scanning.get();
            const PictureReport report = PictureReport::make(
                scanned.gallery, r.lines, stage->guests().list().guests, scanned.headers);
            if (report.prizesWith == 0)
                qFatal("no picture matched");
            stage->night().setGallery(scanned.gallery);
        }
        window = &stage->boardWindow();
    } else {
        bare = std::make_unique<QMainWindow>();
        window = bare.get();
        window->menuBar()->addMenu(QStringLiteral("遊戲"));
        auto *client = new QWidget;
        client->setMinimumSize(Twips::toPixels(11880), Twips::toPixels(7935));
        window->setCentralWidget(client);
    }
    FirstPaint painted;
    window->centralWidget()->installEventFilter(&painted);
    // As the program does.
    if (board)
        sound.loadAfterPaint(window->centralWidget());
    window->show();
    while (!painted.seen)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QTextStream(stdout) << "painted" << Qt::endl;
    const double peak = double(ProcStats::peakKiB()) / 1024.0;

    QElapsedTimer wall;
    wall.start();
    const double cpu0 = ProcStats::cpuSeconds();
    QTimer::singleShot(idleSeconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double idle =
        100.0 * (ProcStats::cpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
    QTextStream(stdout) << peak << ' ' << idle << Qt::endl;
    return 0;
}

void runStartupBench(QTextStream &out, const QString &self, int pairs)
{
    std::vector<double> board, bare, ratio;
    for (int i = 0; i < pairs; ++i) {
        board.push_back(runAppChildProcess(self, QStringLiteral("board"), 0).startupMs);
        bare.push_back(runAppChildProcess(self, QStringLiteral("bare"), 0).startupMs);
        ratio.push_back(board.back() / bare.back());
    }
    auto f = [](double v, int digits = 1) { return QString::number(v, 'f', digits); };
    out << "start-up to first paint, median of " << pairs << " pairs: board " << f(median(board))
        << " ms, bare " << f(median(bare)) << " ms, ratio " << f(median(board) / median(bare), 2)
        << ", median of the pairs' ratios " << f(median(ratio), 2) << "\n";
    out.flush();
}

void runAppBench(QTextStream &out, const QString &self)
{
    constexpr int Runs = 5;
    std::vector<double> startBoard, startBare, memBoard, memBare;
    for (int i = 0; i < Runs; ++i) {
        const AppChildFigures board = runAppChildProcess(self, QStringLiteral("board"), 0);
        const AppChildFigures bare = runAppChildProcess(self, QStringLiteral("bare"), 0);
        startBoard.push_back(board.startupMs);
        startBare.push_back(bare.startupMs);
        memBoard.push_back(board.peakMiB);
        memBare.push_back(bare.peakMiB);
    }
    QTemporaryDir dir;
    const QString names = writeStartupWorkbook(dir.filePath(QStringLiteral("names.xlsx")));
    std::vector<double> startNamed, startBoardAgain;
    for (int i = 0; i < Runs && !names.isEmpty(); ++i) {
        startNamed.push_back(
            runAppChildProcess(self, QStringLiteral("named:") + names, 0).startupMs);
        startBoardAgain.push_back(runAppChildProcess(self, QStringLiteral("board"), 0).startupMs);
    }
    const AppChildFigures idleBoard = runAppChildProcess(self, QStringLiteral("board"), 10);
    const AppChildFigures idleBare = runAppChildProcess(self, QStringLiteral("bare"), 10);

    auto f = [](double v, int digits = 1) { return QString::number(v, 'f', digits); };
    out << "\n**Whole program** (against a bare Qt main window of the same size; median of " << Runs
        << " fresh processes)\n\n";
    out << "| figure | board | bare window | ratio | target |\n|---|---|---|---|---|\n";
    const double sB = median(startBoard), sR = median(startBare);
    out << "| start-up to first paint, ms | " << f(sB) << " | " << f(sR) << " | " << f(sB / sR, 2)
        << " | ≤ 1.3 |\n";
    if (!startNamed.empty()) {
        const double sN = median(startNamed), sA = median(startBoardAgain);
        out << "| start-up to first paint with a 56-row names.xlsx, ms | " << f(sN) << " | "
            << f(sR) << " | " << f(sN / sR, 2) << " | ≤ 1.3 |\n";
        out << "| what the guest list adds to the start-up (against the board alone, taking "
               "turns), ms | "
            << f(sN - sA) << " | | | ≤ 30 |\n";
    }
    const double mB = median(memBoard), mR = median(memBare);
    out << "| peak memory after start-up, MiB | " << f(mB) << " | " << f(mR) << " | "
        << f(mB / mR, 2) << " | |\n";
    out << "| idle CPU over 10 s, % of a core | " << f(idleBoard.idleCpuPercent, 2) << " | "
        << f(idleBare.idleCpuPercent, 2) << " | | < 1 % |\n";

    // Prize list load time: the sample list (56 Big5 lines) read from disk.
    const QString gift =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("gift.txt"));
    std::vector<double> loads;
    for (int i = 0; i < 2000; ++i) {
        QElapsedTimer t;
        t.start();
        const PrizeList::Result r = PrizeList::load(gift);
        loads.push_back(double(t.nsecsElapsed()) / 1e3);
        if (!r.ok() || r.lines.size() != Board::Cells)
            qFatal("the sample prize list did not load");
    }
    out << "\n**Prize list load** (the sample list, 56 Big5 lines, from disk)\n\n";
    out << "| figure | value |\n|---|---|\n";
    out << "| median of 2000 loads | " << f(median(loads)) << " µs |\n";
    out.flush();
}
