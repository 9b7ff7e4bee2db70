#include "displaywatch.h"

#include <QGuiApplication>
#include <QList>
#include <QRect>
#include <QTimer>
#include <QWindow>

#include <memory>

#include <windows.h>

namespace {
BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT r, LPARAM list)
{
    reinterpret_cast<QList<QRect> *>(list)->append(
        QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)));
    return TRUE;
}

QList<QRect> monitors()
{
    QList<QRect> found;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, LPARAM(&found));
    return found;
}

int depth()
{
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}
} // namespace

void DisplayWatch::start(QObject *owner, const std::function<bool()> &quiet)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(1000);
    auto seen = std::make_shared<QList<QRect>>(monitors());
    QObject::connect(timer, &QTimer::timeout, owner, [seen, quiet] {
        if (!quiet())
            return;
        const QList<QRect> now = monitors();
        if (now == *seen)
            return;
        *seen = now;
        for (QWindow *w : QGuiApplication::topLevelWindows()) {
            if (!w->handle())
                continue;
            // Qt reads the screens again only when the depth or the primary monitor's size
            // differs from the last such message; with a second monitor unplugged neither
            // does, and Wine sends none at all. One message that differs, then the true one.
            const LPARAM size =
                MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
            const HWND window = HWND(w->winId());
            SendMessageW(window, WM_DISPLAYCHANGE, 0, size);
            SendMessageW(window, WM_DISPLAYCHANGE, WPARAM(depth()), size);
            return;
        }
    });
    timer->start();
}
