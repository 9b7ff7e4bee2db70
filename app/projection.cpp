#include "projection.h"

#include "boardwindow.h"
#include "night.h"
#include "nightwindows.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>

namespace {
QList<ShowScreen::Screen> described()
{
    QList<ShowScreen::Screen> out;
    const QScreen *primary = QGuiApplication::primaryScreen();
    for (QScreen *s : QGuiApplication::screens())
        out.append({s->name(), s->size(), s == primary});
    return out;
}

QSettings settings()
{
    return QSettings(QStringLiteral("Zentavo"), QStringLiteral("Zentavo"));
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
    m_showAction = view->addAction(QStringLiteral("放映畫面"));
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
    connect(qApp, &QGuiApplication::screenAdded, this, &Projection::refreshMenu);
    connect(qApp, &QGuiApplication::screenRemoved, this, &Projection::refreshMenu);
}

QString Projection::chosenShow()
{
    return settings().value(QStringLiteral("show/screen")).toString();
}

QString Projection::chosenDesk()
{
    return settings().value(QStringLiteral("show/desk")).toString();
}

void Projection::remember(const QString &show, const QString &desk)
{
    QSettings s = settings();
    s.setValue(QStringLiteral("show/screen"), show);
    s.setValue(QStringLiteral("show/desk"), desk);
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
    if (!showScreen())
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
