#include "repeatguard.h"

#include "clock.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

RepeatGuard &RepeatGuard::instance()
{
    static RepeatGuard *guard = new RepeatGuard;
    return *guard;
}

RepeatGuard::RepeatGuard() : QObject(QCoreApplication::instance())
{
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
    m_held.insert(key, {Clock::current().now(), 0});
}

void RepeatGuard::whenSettled(int key, const std::function<void()> &action)
{
    const auto held = m_held.constFind(key);
    if (held == m_held.constEnd() || held->presses == 0) {
        action();
        return;
    }
    const qint64 pressedAt = held->lastPress;
    Clock::current().after(SettleMs, Qt::PreciseTimer, this, [this, key, pressedAt, action] {
        const auto now = m_held.constFind(key);
        // Held: more presses came. Released after a repeat: already gone.
        if (now == m_held.constEnd() || now->presses != 1 || now->lastPress != pressedAt)
            return;
        m_held.remove(key);
        action();
    });
}

void RepeatGuard::addShortcut(QWidget *window, const QKeySequence &key,
                              const std::function<void()> &action)
{
    watch(window);
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WindowShortcut);
    // Repeats stop at the filter; Qt's own mark is wrong after a lost release.
    shortcut->setAutoRepeat(true);
    const int pressed = key[0].key();
    const QPointer<QWidget> alive = window;
    connect(shortcut, &QShortcut::activated, window, [this, alive, action, pressed] {
        whenSettled(pressed, [this, alive, action, pressed] {
            if (!alive)
                return;
            acted(pressed);
            action();
        });
    });
}

void RepeatGuard::pressed(const QKeyEvent *key, bool repeat)
{
    const auto held = m_held.find(key->key());
    if (held == m_held.end())
        return;
    const qint64 now = Clock::current().now();
    if (now - held->lastPress >= HeldForMs) {
        m_held.erase(held); // its release was lost long ago: a fresh press
        return;
    }
    // A press after a release seen is the operator's next one, whatever an earlier press
    // still waits to settle.
    if (held->released && !repeat)
        held->presses = 0;
    held->released = false;
    held->lastPress = now;
    ++held->presses;
}

bool RepeatGuard::isRepeat(const QKeyEvent *key)
{
    const qint64 now = Clock::current().now();
    const auto last = m_down.constFind(key->key());
    const bool seen = last != m_down.constEnd();
    // The same press on its way through the window, or its shortcut and then its key event:
    // the system's stamp tells it, or for a press made up in the program, the moment.
    if (seen && last->stamp == key->timestamp() && last->autoRepeat == key->isAutoRepeat() &&
        (key->timestamp() != 0 || last->at == now))
        return last->repeat;
    const auto released = m_released.constFind(key->key());
    const bool marked =
        key->isAutoRepeat() || (key->timestamp() != 0 && released != m_released.constEnd() &&
                                *released == key->timestamp());
    const bool lostRelease =
        seen && !last->repeat && !last->released && now - last->at >= HeldForMs;
    const bool repeat = marked && !lostRelease;
    m_down.insert(key->key(), {now, key->timestamp(), key->isAutoRepeat(), repeat, false});
    return repeat;
}

bool RepeatGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Every press comes here first, whether a shortcut or the widget takes it.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool repeat = isRepeat(key);
        const auto *w = qobject_cast<QWidget *>(watched);
        if (!w || !watches(w->window()))
            return false;
        // Counted where it starts, not again on its way up to the window.
        const QWidget *first = w->window()->focusWidget();
        if (w == (first ? first : w->window()))
            pressed(key, repeat);
        if (!repeat)
            return false;
        // Accepted, the override keeps every shortcut from the key as well.
        event->accept();
        return true;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool repeat = isRepeat(key);
        const auto *w = qobject_cast<QWidget *>(watched);
        return repeat && w && watches(w->window());
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        m_released.insert(key->key(), key->timestamp());
        if (const auto down = m_down.find(key->key()); down != m_down.end() && !key->isAutoRepeat())
            down->released = true;
        const auto held = m_held.find(key->key());
        // The release of the press that acted, or of a held key: done with it. After one
        // more press the settling decides.
        if (!key->isAutoRepeat() && held != m_held.end() && held->presses != 1)
            m_held.erase(held);
        else if (!key->isAutoRepeat() && held != m_held.end())
            held->released = true;
        return false;
    }
    default:
        return false;
    }
}
