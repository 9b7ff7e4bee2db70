#include "audiosound.h"
#include "fonts.h"
#include "form1.h"
#include "pictures.h"
#include "prizelist.h"
#include "random.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(Pictures::appIcon()));
    Fonts::installSubstitutions();
    // The board hides itself behind the closing picture; the program ends only when asked.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("gift.txt"));
    const PrizeList::Result prizes = PrizeList::load(path);
    if (!prizes.ok()) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), prizes.message);
        return 1;
    }

    Random random;
    AudioSound sound; // outlives the board, which calls it
    Form1 board(prizes.lines, random);
    board.setSound(&sound);
    QObject::connect(&board, &Form1::exitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    board.show();
    // The device and the sounds load after the first paint, on the audio thread.
    QTimer::singleShot(0, &board, [&sound] { sound.load(); });
    return app.exec();
}
