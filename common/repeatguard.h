#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

class QKeyEvent;
class QWidget;

// A presenter remote held down repeats its key; a window that closes on the first press
// hands the repeats to the window behind it, often without their repeat mark. In the
// windows watched, a repeated key does nothing, and a key that has acted does nothing
// more until it is released.
class RepeatGuard : public QObject
{
    Q_OBJECT
public:
    // A lost release (the keyboard taken by another program) holds a key no longer than this.
    static constexpr qint64 HeldForMs = 1000;

    static RepeatGuard &instance();

    void watch(QWidget *window);
    bool watches(const QWidget *window) const;
    // The key has just acted; its presses until the release are repeats.
    void acted(int key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    RepeatGuard();
    bool isRepeat(const QKeyEvent *key);

    QList<QPointer<QWidget>> m_windows;
    QHash<int, qint64> m_held; // key, when last seen down
    QElapsedTimer m_clock;
};
