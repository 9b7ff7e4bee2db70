#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Which window of the program was used last, and how each stood before it was minimised:
// every window, the record's and the dialogs' too.
class WindowUse : public QObject
{
    Q_OBJECT
public:
    explicit WindowUse(QObject *parent = nullptr);
    // Higher for a window used later; -1 for one never used.
    qsizetype rank(QWidget *window) const { return m_used.indexOf(window); }
    // Windows shown so far.
    quint64 shown() const { return m_shown; }
    // Full screen or maximised, as the window stood before it was last minimised.
    static Qt::WindowStates stateBeforeMinimised(const QWidget *window);

Q_SIGNALS:
    void activated(QWidget *window);
    // Hidden by the program (closed, or gone to another screen), not by the system.
    void gone(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The latest last.
    QList<QPointer<QWidget>> m_used;
    quint64 m_shown = 0;
};
