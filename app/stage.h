#pragma once

#include "boardwindow.h"
#include "guestbook.h"
#include "night.h"
#include "nightwindows.h"
#include "picturesdialog.h"
#include "presenterkeys.h"
#include "projection.h"
#include "viewmenu.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QAction;
class Random;
class RecordController;

// One night and everything that shows it: the operator's board, the windows the night
// opens, the remote's keys in each of them, the hall's show and the menu "檢視".
class Stage
{
public:
    Stage(const QStringList &giftLines, Random &random);

    Night &night() { return m_night; }
    BoardWindow &boardWindow() { return m_board; }
    NightWindows &windows() { return m_windows; }
    PresenterKeys &keys() { return m_keys; }
    Projection &projection() { return m_projection; }
    ViewMenu &viewMenu() { return m_viewMenu; }
    GuestBook &guests() { return m_guests; }

    // The night's record joins the stage: its entry in "檢視", its window, the board's
    // close box's question.
    void attach(RecordController &record);

    // Where 檢視 → 圖片… looks: the program's folder unless told otherwise.
    void setPictureFolder(const QString &folder) { m_pictureFolder = folder; }
    // 圖片…: one window, raised when open; 重新檢查 there looks at the folder again.
    void showPictures();
    PicturesDialog *picturesDialog() const { return m_pictures; }

private:
    Night m_night;
    BoardWindow m_board;
    PresenterKeys m_keys;
    NightWindows m_windows;
    Projection m_projection;
    ViewMenu m_viewMenu;
    GuestBook m_guests;
    QAction *m_recordEntry = nullptr;
    const QStringList m_giftLines;
    QString m_pictureFolder;
    QPointer<PicturesDialog> m_pictures;
};
