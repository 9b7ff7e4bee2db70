#include "projection.h"

#include "boardwindow.h"
#include "displaywatch.h"
#include "night.h"
#include "nightwindows.h"
#include "settingsfile.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {
QList<ShowScreen::Screen> described()
{
    QList<ShowScreen::Screen> out;
    const QScreen *primary = QGuiApplication::primaryScreen();
    for (QScreen *s : QGuiApplication::screens())
        out.append({s->name(), s->size(), s == primary});
    return out;
}

std::unique_ptr<QSettings> settings()
{
    // A file on both platforms, which a test can place on its own; none when it is unusable.
    return SettingsFile::open(QStringLiteral("Zentavo"), QStringLiteral("Zentavo"));
}
} // namespace

Projection::Projection(Night &night, BoardWindow &board, NightWindows &windows)
    : m_night(night), m_board(board), m_windows(windows)
{
    connect(qApp, &QGuiApplication::screenAdded, this, &Projection::followScreens);
    connect(qApp, &QGuiApplication::screenRemoved, this, &Projection::screenGoing);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &Projection::followScreens);
    DisplayWatch::start(this, [this] { return !m_night.isSpinning(); });
}

void Projection::requestShow(bool on)
{
    setShowOn(on);
}

QString Projection::chosenShow()
{
    const auto s = settings();
    return s ? s->value(QStringLiteral("show/screen")).toString() : QString();
}

QString Projection::chosenDesk()
{
    const auto s = settings();
    return s ? s->value(QStringLiteral("show/desk")).toString() : QString();
}

void Projection::remember(const QString &show, const QString &desk)
{
    const auto s = settings();
    if (!s)
        return;
    s->setValue(QStringLiteral("show/screen"), show);
    s->setValue(QStringLiteral("show/desk"), desk);
}

ShowScreen::Choice Projection::choice()
{
    return ShowScreen::choose(described(), chosenShow(), chosenDesk());
}

QScreen *Projection::deskScreen()
{
    // One screen is the desk: nothing remembered is read.
    if (QGuiApplication::screens().size() < 2)
        return QGuiApplication::primaryScreen();
    return QGuiApplication::screens().value(choice().desk, QGuiApplication::primaryScreen());
}

QScreen *Projection::showScreen() const
{
    const int show = choice().show;
    return show < 0 ? nullptr : QGuiApplication::screens().value(show);
}

void Projection::start()
{
    // On from the start: a projector plugged in later brings it.
    m_wanted = true;
    // One screen has no other for the show: the remembered choice is not even read, so that
    // the start-up never waits on the settings file.
    if (QGuiApplication::screens().size() < 2 || !showScreen())
        return;
    placeBoard(deskScreen());
    setShowOn(true);
}

bool Projection::isShowOn() const
{
    return m_night.showMode() != Night::ShowMode::Off;
}

void Projection::setShowOn(bool on)
{
    QScreen *where = showScreen();
    const bool beside = where != nullptr;
    // The show over the board on one screen says nothing of the projector's.
    if (beside)
        m_wanted = on;
    if (on) {
        m_windows.openShow(beside ? where : m_board.screen(), beside);
    } else if (isShowOn()) {
        m_windows.closeShow();
        if (!beside) {
            m_board.raise();
            m_board.activateWindow();
        }
    }
}

void Projection::swapScreens()
{
    QScreen *desk = deskScreen();
    QScreen *show = showScreen();
    if (!show)
        return;
    remember(desk->name(), show->name());
    placeBoard(show);
    if (isShowOn())
        m_windows.openShow(desk, true);
    Q_EMIT screensChanged();
}

void Projection::chooseScreen(const QString &name)
{
    QScreen *desk = deskScreen();
    if (name == desk->name()) {
        swapScreens();
        return;
    }
    remember(name, desk->name());
    if (isShowOn())
        setShowOn(true);
    Q_EMIT screensChanged();
}

void Projection::screenGoing(QScreen *screen)
{
    // At once: left to Qt, the show would cover the board on the screen that remains.
    const bool beside = m_night.showMode() == Night::ShowMode::Beside;
    if (beside && m_windows.showWindow()->screen() == screen)
        m_windows.closeShow();
    // The screen is still listed until this returns.
    QTimer::singleShot(0, this, &Projection::followScreens);
}

void Projection::followScreens()
{
    Q_EMIT screensChanged();
    // Once the windows have moved, the keys are the remote's again, wherever they were.
    QTimer::singleShot(0, &m_windows, &NightWindows::takeKeys);
    QScreen *where = showScreen();
    const bool beside = m_night.showMode() == Night::ShowMode::Beside;
    if (m_wanted && where && (!beside || m_windows.showWindow()->screen() != where)) {
        placeBoard(deskScreen());
        m_windows.openShow(where, true);
    } else if (!where && beside) {
        m_windows.closeShow();
    }
    // Whatever was on a screen that has gone comes onto the desk, within it.
    QScreen *desk = deskScreen();
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w == m_windows.showWindow() || w->windowType() == Qt::Popup ||
            w->windowType() == Qt::ToolTip || w->windowType() == Qt::Desktop)
            continue;
        const QPoint centre = w->frameGeometry().center();
        if (std::any_of(screens.begin(), screens.end(),
                        [centre](QScreen *s) { return s->geometry().contains(centre); }))
            continue;
        w->setScreen(desk);
        if (w->isFullScreen()) {
            w->setGeometry(desk->geometry());
            continue;
        }
        // The frame fits too: its title bar is where the window is moved by.
        const QRect frame = w->frameGeometry();
        const QMargins margins(
            w->geometry().left() - frame.left(), w->geometry().top() - frame.top(),
            frame.right() - w->geometry().right(), frame.bottom() - w->geometry().bottom());
        const QRect place =
            ShowScreen::fit(frame, desk->availableGeometry()).marginsRemoved(margins);
        if (place.size() != w->size() && w->minimumSize() == w->maximumSize())
            w->setFixedSize(place.size());
        w->setGeometry(place);
    }
}

void Projection::placeBoard(QScreen *screen)
{
    if (!screen || m_board.screen() == screen)
        return;
    const Qt::WindowStates state = m_board.windowState();
    const bool shown = m_board.isVisible();
    // Moved as a normal window, then given back its state on the other screen.
    if (state & (Qt::WindowFullScreen | Qt::WindowMaximized))
        m_board.setWindowState(Qt::WindowNoState);
    m_board.setScreen(screen);
    QRect place =
        m_board.normalGeometry().isValid() ? m_board.normalGeometry() : m_board.geometry();
    place.moveCenter(screen->availableGeometry().center());
    m_board.setGeometry(place);
    m_board.setWindowState(state);
    if (shown)
        m_board.show();
}
