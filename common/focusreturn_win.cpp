#include "focusreturn.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <windows.h>

namespace {
bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void activate(QWidget *window)
{
    window->raise();
    window->activateWindow();
}

// A pixel of the asker's, gone as soon as it has the keys: its going makes the window manager
// hand them to the asker.
class Nudge : public QWidget
{
public:
    explicit Nudge(QWidget *window) : QWidget(window, Qt::Dialog | Qt::FramelessWindowHint)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setGeometry(QRect(window->geometry().center(), QSize(1, 1)));
        // Not every window manager offers the keys to a new window.
        QTimer::singleShot(1000, this, &Nudge::leave);
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, &Nudge::leave);
        return QWidget::event(e);
    }

private:
    void leave()
    {
        const QPointer<QWidget> window = parentWidget();
        close();
        if (window)
            activate(window);
    }
};
} // namespace

void FocusReturn::afterDialog(QWidget *asker)
{
    QWidget *window = asker->window();
    activate(window);
    // Windows activates the owner as its modal dialog ends. Wine hands the window manager's
    // offer of the keys to the owner while it is still disabled, drops it and never asks
    // again, so no window would have the keys.
    if (underWine())
        (new Nudge(window))->show();
}
