#include "windowuse.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace {
const char *const StateBeforeMinimised = "zentavoStateBeforeMinimised";
}

WindowUse::WindowUse(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

Qt::WindowStates WindowUse::stateBeforeMinimised(const QWidget *window)
{
    const QVariant before = window->property(StateBeforeMinimised);
    return before.isValid() ? Qt::WindowStates(before.toInt()) : Qt::WindowStates();
}

bool WindowUse::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::WindowActivate && type != QEvent::WindowStateChange &&
         type != QEvent::Hide && type != QEvent::Show) ||
        !watched->isWidgetType() || !static_cast<QWidget *>(watched)->isWindow())
        return QObject::eventFilter(watched, event);
    auto *window = static_cast<QWidget *>(watched);
    if (type == QEvent::Show) {
        ++m_shown;
    } else if (type == QEvent::Hide) {
        const Qt::WindowType kind = window->windowType();
        if (kind != Qt::Popup && kind != Qt::ToolTip && !event->spontaneous())
            Q_EMIT gone(window);
    } else if (type == QEvent::WindowActivate) {
        m_used.removeAll(window);
        m_used.removeAll(nullptr);
        m_used.append(window);
        Q_EMIT activated(window);
    } else if (window->isMinimized()) {
        const auto old = static_cast<QWindowStateChangeEvent *>(event)->oldState();
        if (!(old & Qt::WindowMinimized))
            window->setProperty(StateBeforeMinimised,
                                int(old & (Qt::WindowFullScreen | Qt::WindowMaximized)));
    }
    return QObject::eventFilter(watched, event);
}
