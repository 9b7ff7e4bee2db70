#include "fullscreen.h"

#include "night.h"

#include <QAction>
#include <QMenu>

QAction *FullScreen::install(Night &night, QMenu *menu)
{
    // The menu shows the key beside the entry.
    QAction *action = menu->addAction(QStringLiteral("全螢幕"));
    action->setObjectName(QStringLiteral("fullscreen"));
    action->setCheckable(true);
    action->setChecked(night.isFullScreen());
    action->setShortcut(QKeySequence(Qt::Key_F11));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setAutoRepeat(false);
    QObject::connect(action, &QAction::triggered, &night,
                     [&night] { night.setFullScreen(!night.isFullScreen()); });
    // The check mark follows the night, however full screen came or went.
    QObject::connect(&night, &Night::changed, action, [&night, action](Night::Aspects aspects) {
        if (aspects & Night::View)
            action->setChecked(night.isFullScreen());
    });
    return action;
}
