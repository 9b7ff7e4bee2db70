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
            // Qt 6.4 reads the screens again on a settings change; its display change
            // message counts only when the primary monitor's size or depth changed, and
            // Wine sends neither when a second monitor comes or goes.
            SendMessageW(HWND(w->winId()), WM_SETTINGCHANGE, 0, 0);
            return;
        }
    });
    timer->start();
}
