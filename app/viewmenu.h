#pragma once

#include "night.h"

#include <QObject>

class BoardWindow;
class Projection;
class QAction;
class QMenu;

// "檢視", rightmost on the board's menu bar: what goes beyond the designed menus (full
// screen, sound, the show and its screens, the guest list, the pictures, the record). Each
// entry shows the night's state.
class ViewMenu : public QObject
{
    Q_OBJECT
public:
    ViewMenu(Night &night, BoardWindow &board, Projection &projection);

    QMenu *menu() const { return m_menu; }
    QAction *fullScreenAction() const { return m_fullScreen; }
    QAction *soundAction() const { return m_sound; }
    QAction *showAction() const { return m_show; }
    QAction *swapAction() const { return m_swap; }
    QMenu *screenMenu() const { return m_screens; }
    QAction *guestsAction() const { return m_guests; }
    QAction *picturesAction() const { return m_pictures; }
    // "抽獎紀錄" (Ctrl+L), last: the record is joined to the night after the windows.
    QAction *addRecordEntry();

private:
    void render(Night::Aspects aspects);
    void refreshScreens();

    Night &m_night;
    Projection &m_projection;
    QMenu *m_menu = nullptr;
    QAction *m_fullScreen = nullptr;
    QAction *m_sound = nullptr;
    QAction *m_show = nullptr;
    QAction *m_swap = nullptr;
    QMenu *m_screens = nullptr;
    QAction *m_guests = nullptr;
    QAction *m_pictures = nullptr;
};
