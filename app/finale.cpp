#include "finale.h"

#include "boardwindow.h"
#include "closingart.h"
#include "night.h"
#include "presenterkeys.h"
#include "windowlife.h"

#include <QScreen>
#include <QTimer>

Finale::Finale(Night &night, BoardWindow &board, PresenterKeys &keys, QObject *parent)
    : QObject(parent), m_night(night), m_board(board), m_keys(keys)
{
}

Finale::~Finale()
{
    // Neither has a parent; they end with the board.
    WindowLife::destroy(m_picture);
    WindowLife::destroy(m_ground);
}

void Finale::show()
{
    WindowLife::forgetIfClosed(m_picture);
    if (m_picture) {
        m_picture->open();
        return;
    }
    const bool hall = m_board.isHall();
    m_stateBefore = m_board.windowState();
    m_geometryBefore = m_board.geometry();
    m_framePosBefore = m_board.pos();
    QScreen *where = m_board.screen();
    m_board.hide();
    if (hall) {
        // The closing picture stands enlarged on a ground of its own red over the whole screen.
        m_ground = new Cover(ClosingArt::Ground, Cover::Keys::Shared);
        m_ground->setObjectName(QStringLiteral("FinaleGround"));
        m_ground->unsetCursor();
        m_ground->showOn(where);
        m_picture = new ClosingPicture(m_ground);
        m_picture->setScreen(where);
        m_picture->setScale(ClosingArt::hallScale(where->size()));
        const auto leave = [this] {
            if (m_picture)
                m_picture->close();
        };
        connect(m_ground, &Cover::clicked, this, leave);
        // Closed by the window manager, the ground takes the picture with it; the board still
        // comes back.
        connect(
            m_ground, &QObject::destroyed, this,
            [this] {
                if (m_board.isHidden())
                    showBoardAgain();
            },
            Qt::QueuedConnection);
        m_keys.attachFinale(m_ground, leave);
        m_keys.attachFinale(m_picture, leave);
    } else {
        m_picture = new ClosingPicture;
        m_picture->setScreen(where);
        m_picture->setScale(m_board.scale());
        // The remote leads back to the board from a window too.
        const QPointer<ClosingPicture> picture = m_picture;
        m_keys.attachFinale(m_picture, [picture] {
            if (picture)
                picture->close();
        });
    }
    // However the picture closes, the board comes back.
    connect(m_picture, &ClosingPicture::closed, this, &Finale::showBoardAgain);
    m_night.sound().play(Sound::Cue::Closing);
    m_picture->open();
}

void Finale::showBoardAgain()
{
    m_night.endFinale();
    if (m_ground)
        m_ground->close();
    // Where it was: a window manager places a window shown again wherever it likes.
    if (m_stateBefore & Qt::WindowFullScreen) {
        m_board.showFullScreen();
    } else if (m_stateBefore & Qt::WindowMaximized) {
        m_board.showMaximized();
    } else {
        m_board.setGeometry(m_geometryBefore);
        m_board.show();
        // Once mapped, put back again: a window manager may place a window shown anew by its
        // own rules (openbox moved it by a sixth of the screen).
        const QPoint frame = m_framePosBefore;
        QTimer::singleShot(PlaceAgainMs, &m_board, [this, frame] {
            if (m_board.pos() != frame && !m_board.isFullScreen() && !m_board.isMaximized())
                m_board.move(frame);
        });
    }
    m_board.raise();
    m_board.activateWindow();
    Q_EMIT boardBack();
}
