#include "viewmenu.h"

#include "boardwindow.h"
#include "fullscreen.h"
#include "projection.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>

namespace {
QString screenName(const QScreen *s)
{
    return QStringLiteral("%1 (%2 × %3)")
        .arg(s->name())
        .arg(s->size().width())
        .arg(s->size().height());
}
} // namespace

ViewMenu::ViewMenu(Night &night, BoardWindow &board, Projection &projection)
    : m_night(night), m_projection(projection)
{
    m_menu = board.menuBar()->addMenu(QStringLiteral("檢視"));
    m_menu->setObjectName(QStringLiteral("viewmenu"));
    m_fullScreen = FullScreen::install(night, m_menu);
    // On or off for the whole program; M works from any of its windows.
    m_sound = m_menu->addAction(QStringLiteral("音效"));
    m_sound->setObjectName(QStringLiteral("sound"));
    m_sound->setCheckable(true);
    m_sound->setChecked(true);
    m_sound->setShortcut(QKeySequence(Qt::Key_M));
    m_sound->setShortcutContext(Qt::ApplicationShortcut);
    m_sound->setAutoRepeat(false);
    connect(m_sound, &QAction::toggled, &night, [&night](bool on) { night.setMuted(!on); });

    // F5 is the remote's key (PresenterKeys): shown here, not taken twice.
    m_show = m_menu->addAction(QStringLiteral("放映畫面\tF5"));
    m_show->setObjectName(QStringLiteral("show"));
    m_show->setCheckable(true);
    connect(m_show, &QAction::toggled, &projection, &Projection::setShowOn);
    m_swap = m_menu->addAction(QStringLiteral("交換螢幕"));
    m_swap->setObjectName(QStringLiteral("swapscreens"));
    connect(m_swap, &QAction::triggered, &projection, &Projection::swapScreens);
    m_screens = m_menu->addMenu(QStringLiteral("放映螢幕"));
    m_screens->setObjectName(QStringLiteral("showscreen"));
    connect(&projection, &Projection::screensChanged, this, &ViewMenu::refreshScreens);
    m_guests = m_menu->addAction(QStringLiteral("名單…"));
    m_guests->setObjectName(QStringLiteral("guests"));
    m_pictures = m_menu->addAction(QStringLiteral("圖片…"));
    m_pictures->setObjectName(QStringLiteral("pictures"));
    connect(&night, &Night::changed, this, &ViewMenu::render);
    refreshScreens();
}

QAction *ViewMenu::addRecordEntry()
{
    QAction *record = m_menu->addAction(QStringLiteral("抽獎紀錄"));
    record->setObjectName(QStringLiteral("record"));
    record->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    return record;
}

void ViewMenu::render(Night::Aspects aspects)
{
    if (!(aspects & Night::Show))
        return;
    const QSignalBlocker blocker(m_show);
    m_show->setChecked(m_night.showMode() != Night::ShowMode::Off);
}

void ViewMenu::refreshScreens()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    m_swap->setVisible(screens.size() >= 2);
    m_screens->menuAction()->setVisible(screens.size() >= 3);
    m_screens->clear();
    if (screens.size() < 3)
        return;
    auto *group = new QActionGroup(m_screens);
    const QScreen *show = m_projection.showScreen();
    for (QScreen *s : screens) {
        QAction *a = m_screens->addAction(screenName(s));
        a->setCheckable(true);
        a->setChecked(s == show);
        a->setActionGroup(group);
        const QString name = s->name();
        connect(a, &QAction::triggered, &m_projection,
                [this, name] { m_projection.chooseScreen(name); });
    }
}
