#include "stage.h"

#include "programdir.h"
#include "recordcontroller.h"

#include <QAction>

Stage::Stage(const QStringList &giftLines, Random &random)
    : m_night(giftLines, random), m_board(m_night), m_keys(m_night),
      m_windows(m_night, m_board, m_keys), m_projection(m_night, m_board, m_windows),
      m_viewMenu(m_night, m_board, m_projection), m_guests(m_night, m_board),
      m_giftLines(giftLines), m_pictureFolder(ProgramDir::path())
{
    m_keys.attach(&m_board);
    m_windows.setViewMenu(m_viewMenu.menu());
    QObject::connect(&m_board, &BoardWindow::bingoRequested, &m_windows, &NightWindows::openBingo);
    QObject::connect(&m_board, &BoardWindow::aboutRequested, &m_windows, &NightWindows::showAbout);
    QObject::connect(&m_keys, &PresenterKeys::confirmRequested, &m_windows,
                     &NightWindows::confirmPrize);
    QObject::connect(&m_keys, &PresenterKeys::bingoCommand, &m_windows,
                     &NightWindows::bingoCommand);
    QObject::connect(&m_keys, &PresenterKeys::showRequested, &m_projection,
                     &Projection::requestShow);
    QObject::connect(&m_windows, &NightWindows::showEndRequested, &m_projection,
                     [this] { m_projection.requestShow(false); });
    QObject::connect(m_viewMenu.guestsAction(), &QAction::triggered, &m_guests,
                     &GuestBook::showDialog);
    QObject::connect(m_viewMenu.picturesAction(), &QAction::triggered, &m_board,
                     [this] { showPictures(); });
    QObject::connect(&m_keys, &PresenterKeys::leaveFullScreenRequested, &m_night,
                     [this] { m_night.setFullScreen(false); });
}

void Stage::attach(RecordController &record)
{
    m_windows.setRecord(&record);
    if (!m_recordEntry) {
        m_recordEntry = m_viewMenu.addRecordEntry();
        QObject::connect(m_recordEntry, &QAction::triggered, &m_windows, &NightWindows::showRecord);
        if (m_windows.showWindow())
            m_windows.showWindow()->addAction(m_recordEntry);
    }
    m_board.setCloseQuestion(record.closeQuestion());
    QObject::connect(&record, &RecordController::closeQuestionChanged, &m_board,
                     &BoardWindow::setCloseQuestion);
}

void Stage::showPictures()
{
    if (!m_pictures) {
        // The guest list in force when the window checks, not when it was made.
        m_pictures = new PicturesDialog(
            [this] {
                return PicturesDialog::Tonight{m_pictureFolder, m_giftLines,
                                               m_guests.list().guests};
            },
            &m_board);
        m_pictures->setAttribute(Qt::WA_DeleteOnClose);
        // The pictures the window finds are the ones the night shows from then on: a photo
        // added after the start is used once checked.
        QObject::connect(m_pictures, &PicturesDialog::scanned, &m_night, &Night::setGallery);
        m_night.setGallery(m_pictures->gallery());
    }
    m_pictures->show();
    m_pictures->raise();
    m_pictures->activateWindow();
}
