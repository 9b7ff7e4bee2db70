#pragma once

class QAction;
class QMenu;
class QWidget;

// Full screen for the projector: F11 toggles it, Escape leaves it; the menu bar stays.
namespace FullScreen {
QAction *install(QWidget *window, QMenu *menu);
void toggle(QWidget *window);
void leave(QWidget *window);
} // namespace FullScreen
