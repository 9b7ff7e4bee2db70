#pragma once

#include "closingpicture.h"
#include "cover.h"

#include <QObject>
#include <QPointer>
#include <QRect>

class BoardWindow;
class Night;
class PresenterKeys;

// The closing picture after the last prize: over the board on the desk, enlarged on a ground
// of its own in the hall; once it closes, however, the board comes back where it stood.
class Finale : public QObject
{
    Q_OBJECT
public:
    // How long a window manager takes to place a window shown again.
    static constexpr int PlaceAgainMs = 100;

    Finale(Night &night, BoardWindow &board, PresenterKeys &keys, QObject *parent = nullptr);
    ~Finale() override;

    void show();
    ClosingPicture *picture() const { return m_picture; }
    // The ground the closing picture stands on in the hall.
    Cover *ground() const { return m_ground; }

Q_SIGNALS:
    // The board is back in front: whatever stands over it in the hall comes back over it.
    void boardBack();

private:
    void showBoardAgain();

    Night &m_night;
    BoardWindow &m_board;
    PresenterKeys &m_keys;
    QPointer<ClosingPicture> m_picture;
    QPointer<Cover> m_ground;
    // Where the board was before the closing picture hid it.
    Qt::WindowStates m_stateBefore;
    QRect m_geometryBefore;
    QPoint m_framePosBefore;
};
