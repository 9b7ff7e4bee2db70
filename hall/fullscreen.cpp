#include "fullscreen.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace {
// Keeps the entry's check mark in step however the window's state changed.
class StateWatch : public QObject
{
public:
    StateWatch(QWidget *window, QAction *action) : QObject(action), m_action(action)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowStateChange)
            m_action->setChecked(static_cast<QWidget *>(watched)->isFullScreen());
        return QObject::eventFilter(watched, event);
    }

private:
    QAction *m_action;
};
} // namespace

void FullScreen::toggle(QWidget *window)
{
    // Asked before leaving: afterwards it is wherever the window stands.
    const QRect place = window->normalGeometry();
    // Only the full-screen flag flips, so a maximised window comes back maximised.
    const Qt::WindowStates state = window->windowState() ^ Qt::WindowFullScreen;
    window->setWindowState(state);
    // Left to itself, a window manager may put the window at the top-left corner.
    if (!(state & (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized)) &&
        place.isValid())
        window->setGeometry(place);
}

void FullScreen::leave(QWidget *window)
{
    if (window->isFullScreen())
        toggle(window);
}

void FullScreen::enter(QWidget *window)
{
    if (!window->isFullScreen())
        toggle(window);
}

QAction *FullScreen::install(QWidget *window, QMenu *menu)
{
    // The menu shows the key beside the entry.
    QAction *action = menu->addAction(QStringLiteral("全螢幕"));
    action->setObjectName(QStringLiteral("fullscreen"));
    action->setCheckable(true);
    action->setShortcut(QKeySequence(Qt::Key_F11));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setAutoRepeat(false);
    QObject::connect(action, &QAction::triggered, window, [window] { toggle(window); });
    new StateWatch(window, action);
    return action;
}
