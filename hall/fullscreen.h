#pragma once

class QAction;
class QMenu;
class QWidget;

// Full screen for the projector: the entry and F11 toggle it; the remote's keys enter and
// leave it (see PresenterKeys). The menu bar stays.
namespace FullScreen {
QAction *install(QWidget *window, QMenu *menu);
void toggle(QWidget *window);
void enter(QWidget *window);
void leave(QWidget *window);
} // namespace FullScreen
