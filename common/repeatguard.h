#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QKeySequence;
class QWidget;

// A presenter remote held down repeats its key. In the windows watched a repeat marked as
// one does nothing. A window that closes on the first press may also lose the key's
// release, and the press that reaches the window behind it may carry no repeat mark: after
// a key has acted and before its release is seen, its next press acts only once no further
// press of it has followed for a moment, so that a held key never acts twice and a second
// press of the operator's still does. On X a repeat is a release and a press with the same
// time stamp, and Qt often fails to mark the pair (it looks for the press before it has
// arrived): such a press counts as a repeat too. On Windows a lost release makes Qt mark
// the key's next press as a repeat, however long after: a marked press long after a press
// that acted and was never released is a press.
class RepeatGuard : public QObject
{
    Q_OBJECT
public:
    // A key seen down no longer than this ago may still be held.
    static constexpr qint64 HeldForMs = 1000;
    // Auto-repeat comes far quicker than this; a press followed by none is a press.
    static constexpr int SettleMs = 200;

    static RepeatGuard &instance();

    void watch(QWidget *window);
    bool watches(const QWidget *window) const;
    // The key has just acted.
    void acted(int key);
    // Runs the key's action now, or once it is clear that the press was no repeat.
    void whenSettled(int key, const std::function<void()> &action);
    // A key of the window, while it has the focus, that acts once per press: the window is
    // watched, and the action runs when the press settles, never for a repeat and never
    // after the window is gone. The key never reaches the focused widget.
    void addShortcut(QWidget *window, const QKeySequence &key, const std::function<void()> &action);
    // Whether a press is a held key's repeat (the same answer on every way the press takes).
    bool isRepeat(const QKeyEvent *key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Held
    {
        qint64 lastPress = 0;
        int presses = 0;       // since it acted
        bool released = false; // since the last press
    };

    // The latest press of a key, as judged.
    struct Down
    {
        qint64 at = 0;
        quint64 stamp = 0;
        bool autoRepeat = false; // as Qt marked it
        bool repeat = false;     // as judged
        bool released = false;   // since
    };

    RepeatGuard();
    void pressed(const QKeyEvent *key, bool repeat);

    QList<QPointer<QWidget>> m_windows;
    QHash<int, Held> m_held;
    QHash<int, quint64> m_released; // when each key was last seen released
    QHash<int, Down> m_down;
};
