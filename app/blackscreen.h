#pragma once

#include "cover.h"

#include <QObject>
#include <QPointer>

class Night;
class QScreen;
class QWidget;

// The projector goes black while the night says so: any key or click ends it and does nothing
// else, and the window that had the keys gets them back.
class BlackScreen : public QObject
{
    Q_OBJECT
public:
    // The cover is a child of over, the board.
    BlackScreen(Night &night, QWidget &over, QObject *parent = nullptr);
    ~BlackScreen() override;

    // On the given screen: the hall's.
    void render(QScreen *hall);
    Cover *cover() const { return m_cover; }

private:
    Night &m_night;
    QWidget &m_over;
    QPointer<Cover> m_cover;
};
