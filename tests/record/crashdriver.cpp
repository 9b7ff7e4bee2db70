#include "bingowindow.h"
#include "boarddump.h"
#include "fonts.h"
#include "nightrecord.h"
#include "prizelist.h"
#include "prizewindow.h"
#include "program.h"
#include "prompt.h"
#include "random.h"
#include "recordcontroller.h"
#include "singleinstance.h"
#include "teststage.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>

#include <cstdio>
#include <thread>
#include <unistd.h>

// zentavo as main.cpp builds it, with gift.txt from the first argument, the answer to the
// resume question ("yes" or "no") from the second and the journal's path from the third.
// Commands come one a line on standard input; each is answered with a line "ok" once it has
// run. A copy that gives way to another, or finds no place for its lock, says why and ends
// with "gone".
namespace {
// One line each: a message's own line ends are written as "\n".
void say(QString line)
{
    line.replace(u'\n', QStringLiteral("\\n"));
    std::fputs((line + u'\n').toUtf8().constData(), stdout); // UTF-8 whatever the code page
    std::fflush(stdout);
}

// The board as the operator sees it once the prize window is up.
QString dump(Stage &w)
{
    QStringList out = boardDump(w.night().settledBoard());
    out << w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"))->text();
    for (int i = 0; i < 2; ++i)
        out << w.boardWindow().findChild<QGroupBox *>(QStringLiteral("Frame2(%1)").arg(i))->title();
    out << QString::number(
        w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
    // What the MC reads out after the stop, as the journal keeps it.
    const auto *guest = w.boardWindow().findChild<QLabel *>(QStringLiteral("GuestLine"));
    out.prepend(QStringLiteral("guest ") +
                (guest->isVisibleTo(&w.boardWindow()) ? guest->text() : QString()));
    return out.join(u'|');
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 4)
        return 2;
    const bool answer = qstrcmp(argv[2], "yes") == 0;
    Prompt::setConfirmHandler([answer](QWidget *, const QString &text) {
        say(QStringLiteral("asked ") + text);
        return answer;
    });
    Prompt::setRefuseHandler(
        [](QWidget *, const QString &text) { say(QStringLiteral("refused ") + text); });

    SingleInstance instance(NightKeeper::defaultFolder());
    if (!Program::claim(instance)) {
        say(QStringLiteral("gone"));
        return 3;
    }

    const QString path = QString::fromLocal8Bit(argv[1]);
    const PrizeList::Result prizes = PrizeList::load(path);
    if (!prizes.ok())
        return 1;
    ProgramStage board(prizes.lines);
    // A guest list beside the prize list, as beside the program.
    board.guests().load(GuestList::defaultPath(QFileInfo(path).path()));
    RecordController record(board.night(), board.boardWindow(), prizes.lines, path,
                            QString::fromLocal8Bit(argv[3]));
    board.attach(record);
    record.offerResume();
    board.boardWindow().show();

    const auto run = [&](const QByteArray &commands) {
        for (const QByteArray &command : commands.trimmed().split('\n')) {
            const QList<QByteArray> words = command.trimmed().split(' ');
            const QByteArray &verb = words[0];
            const int arg = words.value(1).toInt();
            if (verb == "start") {
                board.boardWindow().start();
            } else if (verb == "ticks") {
                for (int i = 0; i < arg && board.night().board().timer1Enabled; ++i)
                    board.night().tick();
            } else if (verb == "finish") {
                while (board.night().board().timer1Enabled)
                    board.night().tick();
            } else if (verb == "right") {
                board.boardWindow().cellReleased(arg, Qt::RightButton);
            } else if (verb == "redraw") {
                board.boardWindow().discardStop();
            } else if (verb == "card") {
                board.boardWindow().drawCard(arg);
            } else if (verb == "confirm") {
                board.windows().prizeWindow()->finishOpening();
                board.windows()
                    .prizeWindow()
                    ->findChild<QPushButton *>(QStringLiteral("Command1"))
                    ->click();
            } else if (verb == "growing") {
                say(QString::number(board.windows().prizeWindow() &&
                                    board.windows().prizeWindow()->isOpening()));
            } else if (verb == "prize") {
                // What the prize window shows, once it has grown.
                PrizeWindow *prize = board.windows().prizeWindow();
                if (prize && prize->isVisible()) {
                    prize->finishOpening();
                    say(QStringLiteral("prize ") +
                        prize->findChild<QLabel *>(QStringLiteral("Label1"))->text());
                } else {
                    say(QStringLiteral("no prize"));
                }
            } else if (verb == "closebox") {
                board.windows().prizeWindow()->close();
            } else if (verb == "bingo") {
                board.windows().openBingo();
                BingoWindow *bingo = board.windows().bingoWindow();
                if (words.value(1) == "start")
                    bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"))->click();
                // A take is served by the draw's next pass.
                for (int i = 0; i < words.value(2).toInt(); ++i) {
                    bingo->take();
                    board.night().bingoStep();
                }
                QStringList taken;
                for (int n : board.night().bingo().taken)
                    taken << QString::number(n);
                say(QStringLiteral("bingo %1 %2").arg(taken.join(u',')).arg(bingo->isDrawing()));
            } else if (verb == "closing") {
                say(QString::number(board.windows().closingPicture() &&
                                    board.windows().closingPicture()->isVisible()));
            } else if (verb == "fullscreen") {
                say(QString::number(board.boardWindow().isFullScreen()));
            } else if (verb == "togglefull") {
                board.boardWindow().setWindowState(board.boardWindow().windowState() ^
                                                   Qt::WindowFullScreen);
            } else if (verb == "dump") {
                say(dump(board));
            } else if (verb == "record") {
                // One line per row, so the record survives the line protocol whole.
                for (const QString &row : record.keeper().record().toTsv().split(u'\n'))
                    say(QStringLiteral("row ") + row);
            }
            say(QStringLiteral("ok"));
        }
    };
    // Standard input is read on a thread of its own and each piece handed to the event
    // loop: Windows's event loop can watch sockets but not a pipe.
    std::thread([&app, run] {
        char buffer[256];
        for (;;) {
            const auto n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
            if (n <= 0)
                break;
            const QByteArray commands(buffer, int(n));
            QMetaObject::invokeMethod(
                &app, [run, commands] { run(commands); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    }).detach();
    return app.exec();
}
