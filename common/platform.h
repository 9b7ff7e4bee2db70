#pragma once

#include <QByteArray>

// The windows open at designed places and the About box is dragged by the program;
// Wayland lets a program do neither, so in a Wayland session the program runs on X
// (XWayland) where it can.
namespace Platform {
struct Environment
{
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray display;        // DISPLAY
};

// What QT_QPA_PLATFORM should be set to; empty to leave Qt's own choice.
QByteArray preferred(const Environment &env);
// Reads the environment and sets QT_QPA_PLATFORM; call before the application object.
void preferXcbOnWayland();
} // namespace Platform
