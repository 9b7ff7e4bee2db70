#include "audiosound.h"
#include "background.h"
#include "boardlayout.h"
#include "eventtitle.h"
#include "fonts.h"
#include "gallery.h"
#include "picturereader.h"
#include "pictures.h"
#include "platform.h"
#include "prizelist.h"
#include "prizewindow.h"
#include "program.h"
#include "programdir.h"
#include "projection.h"
#include "prompt.h"
#include "random.h"
#include "recordcontroller.h"
#include "singleinstance.h"
#include "stage.h"
#include "startcheck.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    Platform::preferXcbOnWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(Pictures::appIcon()));
    Fonts::installSubstitutions();
    Program::installQtTranslation(ProgramDir::path());
    // The board hides itself behind the closing picture; the program ends only when asked.
    QApplication::setQuitOnLastWindowClosed(false);

    // Every box opens on the operator's screen, never on the projector in front of the hall.
    Prompt::setHomeScreen(&Projection::deskScreen);

    // The lock lies beside the night's journal, which it protects.
    SingleInstance instance(NightKeeper::defaultFolder());
    if (!Program::claim(instance))
        return instance.lockError().isEmpty() ? 0 : 1;

    const QDir dir(ProgramDir::path());
    // The pictures' headers are read while the board is being built.
    auto scanning =
        Background::run([folder = dir.path()] { return ScannedPictures::read(folder); });
    const PrizeList::Choice giftFile = PrizeList::choose(dir.path());
    const QString path = giftFile.path;
    const PrizeList::Result prizes =
        PrizeList::load(path, {&PrizeWindow::canDraw, &PrizeWindow::showsWhole});
    if (!prizes.ok()) {
        if (prizes.error == PrizeList::Error::Missing)
            StartCheck::offerPrizeTemplate(dir.path(), prizes.message);
        else
            Prompt::fail(nullptr, prizes.message);
        return 1;
    }
    const EventTitle::Result title =
        EventTitle::load(dir.filePath(QStringLiteral("title.txt")),
                         {&BoardLayout::titleCanDraw, &BoardLayout::titleFits});
    if (!title.ok()) {
        Prompt::fail(nullptr, title.message);
        return 1;
    }

    Random random;
    AudioSound sound; // outlives the board, which calls it
    Stage stage(prizes.lines, random);
    stage.guests().loadAtStart(dir.path());
    stage.setPictureFolder(dir.path());
    // Matched against the guest list in force: photos may be named by guest.
    const ScannedPictures scanned = scanning.get();
    const Gallery &gallery = scanned.gallery;
    const PictureReport pictures =
        PictureReport::make(gallery, prizes.lines, stage.guests().list().guests, scanned.headers);
    QStringList fileWarnings{giftFile.warning};
    fileWarnings.removeAll(QString());
    if (!StartCheck::accepted(prizes.lines, nullptr, fileWarnings, stage.guests().warning(),
                              StartCheck::pictureWarning(pictures)))
        return 1;
    stage.night().setSound(&sound);
    stage.night().setGallery(gallery);
    BoardWindow &board = stage.boardWindow();
    Prompt::setHomeScreen(
        [&board] { return board.isVisible() ? board.screen() : Projection::deskScreen(); });
    stage.night().setTitle(title.title);
    Program::wire(stage, instance);
    RecordController record(stage.night(), board, prizes.lines, path);
    record.setNameCheck([](const Guest &g) { return GuestList::shows(g, GuestBook::display()); });
    stage.attach(record);
    record.offerResume();
    // With a second screen the board is the desk and the show opens on the other.
    stage.projection().start();
    board.show();
    // The device and the sounds load after the first paint, on the audio thread.
    sound.loadAfterPaint(board.centralWidget());
    return app.exec();
}
