#include "projection.h"

#include "boardwindow.h"
#include "displaywatch.h"
#include "night.h"
#include "nightwindows.h"
#include "settingsfile.h"

#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
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

QString screenName(const QScreen *s)
{
    return QStringLiteral("%1 (%2 × %3)")
        .arg(s->name())
        .arg(s->size().width())
        .arg(s->size().height());
}
} // namespace

Projection::Projection(Night &night, BoardWindow &board, NightWindows &windows)
    : m_night(night), m_board(board), m_windows(windows)
{
    QMenu *view = board.viewMenu();
    // F5 is the remote's key (PresenterKeys): shown here, not taken twice.
    m_showAction = view->addAction(QStringLiteral("放映畫面\tF5"));
    m_showAction->setObjectName(QStringLiteral("show"));
    m_showAction->setCheckable(true);
    connect(m_showAction, &QAction::toggled, this, &Projection::setShowOn);
    m_swapAction = view->addAction(QStringLiteral("交換螢幕"));
    m_swapAction->setObjectName(QStringLiteral("swapscreens"));
    connect(m_swapAction, &QAction::triggered, this, &Projection::swapScreens);
    m_screenMenu = view->addMenu(QStringLiteral("放映螢幕"));
    m_screenMenu->setObjectName(QStringLiteral("showscreen"));
    refreshMenu();
    // F5 puts the show on; Escape ends it only where it covers the board.
    connect(&night, &Night::showRequested, this, [this](bool on) {
        if (on || !showScreen())
            setShowOn(on);
    });
    connect(qApp, &QGuiApplication::screenAdded, this, &Projection::screensChanged);
    connect(qApp, &QGuiApplication::screenRemoved, this, &Projection::screenGoing);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &Projection::screensChanged);
    DisplayWatch::start(this, [this] { return !m_night.board().timer1Enabled; });
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

ShowScreen::Choice Projection::choice() const
{
    return ShowScreen::choose(described(), chosenShow(), chosenDesk());
}

QScreen *Projection::deskScreen() const
{
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
    return m_windows.showWindow() != nullptr;
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
    m_night.setShowOver(on && !beside);
    const QSignalBlocker blocker(m_showAction);
    m_showAction->setChecked(on);
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
    refreshMenu();
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
    refreshMenu();
}

void Projection::screenGoing(QScreen *screen)
{
    // At once: left to Qt, the show would cover the board on the screen that remains.
    ShowWindow *show = m_windows.showWindow();
    if (show && show->isBeside() && show->screen() == screen) {
        m_windows.closeShow();
        m_night.setShowOver(false);
    }
    // The screen is still listed until this returns.
    QTimer::singleShot(0, this, &Projection::screensChanged);
}

void Projection::screensChanged()
{
    refreshMenu();
    QScreen *where = showScreen();
    ShowWindow *show = m_windows.showWindow();
    if (m_wanted && where && (!show || !show->isBeside() || show->screen() != where)) {
        placeBoard(deskScreen());
        m_windows.openShow(where, true);
        m_night.setShowOver(false);
    } else if (!where && show && show->isBeside()) {
        m_windows.closeShow();
        m_night.setShowOver(false);
    }
    {
        const QSignalBlocker blocker(m_showAction);
        m_showAction->setChecked(m_windows.showWindow() != nullptr);
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

void Projection::refreshMenu()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    m_swapAction->setVisible(screens.size() >= 2);
    m_screenMenu->menuAction()->setVisible(screens.size() >= 3);
    m_screenMenu->clear();
    if (screens.size() < 3)
        return;
    auto *group = new QActionGroup(m_screenMenu);
    const QScreen *show = showScreen();
    for (QScreen *s : screens) {
        QAction *a = m_screenMenu->addAction(screenName(s));
        a->setCheckable(true);
        a->setChecked(s == show);
        a->setActionGroup(group);
        const QString name = s->name();
        connect(a, &QAction::triggered, this, [this, name] { chooseScreen(name); });
    }
}
