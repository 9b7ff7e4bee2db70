#include "platform.h"

#include <QtGlobal>

QByteArray Platform::preferred(const Environment &env)
{
    if (!env.qpaPlatform.isEmpty())
        return {}; // the user's choice stands
    const bool wayland = env.sessionType == "wayland" || !env.waylandDisplay.isEmpty();
    if (!wayland || env.display.isEmpty())
        return {};
    // Qt tries the names in turn: without an X server or its plugin, Wayland it is.
    return QByteArrayLiteral("xcb;wayland");
}

void Platform::preferXcbOnWayland()
{
    const Environment env{qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"),
                          qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY")};
    const QByteArray platform = preferred(env);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
