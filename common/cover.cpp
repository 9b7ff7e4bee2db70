#include "cover.h"

#include "colourui.h"
#include "repeatguard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

Cover::Cover(ColourValue colour, Keys keys, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_keys(keys)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(Colour::noIcon());
    Colour::setRole(this, QPalette::Window, colour);
    setAutoFillBackground(true);
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void Cover::showOn(QScreen *screen)
{
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    showFullScreen();
    raise();
    activateWindow();
    setFocus();
}

bool Cover::event(QEvent *event)
{
    // Taken before any shortcut, the application's own (M) included.
    if (m_keys == Keys::Own && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void Cover::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT clicked();
}

void Cover::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (!RepeatGuard::instance().isRepeat(event))
        Q_EMIT keyPressed(event->key());
}
