#pragma once

class Night;
class QAction;
class QMenu;

// Full screen for the projector is the night's to say: the entry and F11 ask it, the remote's
// keys too (see PresenterKeys), and the board follows. The menu bar stays.
namespace FullScreen {
QAction *install(Night &night, QMenu *menu);
} // namespace FullScreen
