#pragma once

class QWidget;

// After a file dialog closes the keys go back to the window that asked for it, not to
// whatever window the system or the window manager picks next.
namespace FocusReturn {
void afterDialog(QWidget *asker);
}
