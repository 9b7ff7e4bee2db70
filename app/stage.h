#pragma once

#include "boardwindow.h"
#include "night.h"
#include "nightwindows.h"
#include "presenterkeys.h"
#include "projection.h"

#include <QStringList>

class Random;

// One night and everything that shows it: the operator's board, the windows the night
// opens, the remote's keys in each of them and the hall's show.
class Stage
{
public:
    Stage(const QStringList &giftLines, Random &random)
        : m_night(giftLines, random), m_board(m_night), m_keys(m_night),
          m_windows(m_night, m_board, m_keys), m_projection(m_night, m_board, m_windows)
    {
        m_keys.attach(&m_board);
    }

    Night &night() { return m_night; }
    BoardWindow &boardWindow() { return m_board; }
    NightWindows &windows() { return m_windows; }
    PresenterKeys &keys() { return m_keys; }
    Projection &projection() { return m_projection; }

private:
    Night m_night;
    BoardWindow m_board;
    PresenterKeys m_keys;
    NightWindows m_windows;
    Projection m_projection;
};
