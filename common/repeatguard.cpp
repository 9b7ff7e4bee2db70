#include "repeatguard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

RepeatGuard &RepeatGuard::instance()
{
    static RepeatGuard *guard = new RepeatGuard;
    return *guard;
}

RepeatGuard::RepeatGuard() : QObject(QCoreApplication::instance())
{
    m_clock.start();
    QCoreApplication::instance()->installEventFilter(this);
}

void RepeatGuard::watch(QWidget *window)
{
    m_windows.removeAll(nullptr);
    if (!watches(window))
        m_windows.append(window);
}

bool RepeatGuard::watches(const QWidget *window) const
{
    for (const QPointer<QWidget> &w : m_windows)
        if (w == window)
            return true;
    return false;
}

void RepeatGuard::acted(int key)
{
    m_held.insert(key, m_clock.elapsed());
}

bool RepeatGuard::isRepeat(const QKeyEvent *key)
{
    if (key->isAutoRepeat())
        return true;
    const auto held = m_held.find(key->key());
    if (held == m_held.end())
        return false;
    const qint64 now = m_clock.elapsed();
    if (now - held.value() < HeldForMs) {
        held.value() = now;
        return true;
    }
    m_held.erase(held);
    return false;
}

bool RepeatGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: {
        const auto *w = qobject_cast<QWidget *>(watched);
        if (!w || !watches(w->window()) || !isRepeat(static_cast<QKeyEvent *>(event)))
            return false;
        // Accepted, the override keeps every shortcut from the key as well.
        event->accept();
        return true;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            m_held.remove(key->key());
        return false;
    }
    case QEvent::ApplicationDeactivate:
        m_held.clear();
        return false;
    default:
        return false;
    }
}
