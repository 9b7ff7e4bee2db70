#include "nightwindows.h"

#include "boardwindow.h"
#include "recordcontroller.h"
#include "repeatguard.h"
#include "scale.h"
#include "windowlife.h"
#include "windowuse.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {
void showInFront(QWidget *w)
{
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
}

// A window that would open off the operator's screen (the show's, on a second screen) comes
// over the board instead.
void ontoScreenOf(QWidget *w, const QWidget *board)
{
    const QRect desk = board->screen()->geometry();
    if (desk.contains(w->geometry().center()))
        return;
    QRect place = w->geometry();
    place.moveCenter(board->frameGeometry().center());
    w->move(place.topLeft());
}
} // namespace

NightWindows::NightWindows(Night &night, BoardWindow &board, PresenterKeys &keys)
    : m_night(night), m_board(board), m_keys(keys)
{
    connect(&night, &Night::changed, this, &NightWindows::render);
    m_use = new WindowUse(this);
    connect(m_use, &WindowUse::activated, this, &NightWindows::deskWindowActivated);
    connect(m_use, &WindowUse::gone, this, &NightWindows::windowGone);
    m_finale = new Finale(night, board, keys, this);
    m_blackScreen = new BlackScreen(night, board, this);
    connect(m_finale, &Finale::boardBack, this, [this] {
        if (m_show && m_night.showMode() == Night::ShowMode::Over) {
            m_show->raise();
            m_show->activateWindow();
        }
    });
    // An earlier run's windows open once the board is shown at its size.
    m_board.installEventFilter(this);
}

NightWindows::~NightWindows()
{
    // Ending the program is not the operator closing a prize window: none of them, the one
    // up or one hidden and forgotten, tells the night it went, which would redraw a board
    // that is itself going away.
    for (const QPointer<PrizeWindow> &w : std::as_const(m_prizeWindows)) {
        if (!w)
            continue;
        disconnect(w, nullptr, this, nullptr);
        delete w.data();
    }
    // Nor does the black screen, a child of the board, say so as the board goes.
    delete m_blackScreen;
    // The other windows have no parent; they end with the board.
    WindowLife::destroy(m_bingoWindow);
    // The numbers taken go with the program, as with the window.
    m_night.closeBingo();
    WindowLife::destroy(m_aboutBox);
    WindowLife::destroy(m_show);
    WindowLife::destroy(m_recordWindow);
}

void NightWindows::render(Night::Aspects aspects)
{
    if (aspects & Night::BlackOut) {
        // With a screen for the hall, only the hall goes black: the operator keeps the desk.
        const bool beside = m_show && m_night.showMode() == Night::ShowMode::Beside;
        m_blackScreen->render(beside ? m_show->screen() : m_board.screen());
    }
    if ((aspects & Night::Prize) && m_night.resumePending() && m_board.isVisible())
        QTimer::singleShot(0, this, &NightWindows::bringBackOnceSized);
    // The bingo window before the prize's, so that the prize stands in front.
    if ((aspects & Night::Bingo) && m_night.bingo().open && !m_openingBingo) {
        WindowLife::forgetIfClosed(m_bingoWindow);
        if (!m_bingoWindow)
            openBingo();
    }
    if ((aspects & Night::Prize) && m_night.prize().stage == Night::PrizeStage::Drawn)
        showPrize();
    if ((aspects & Night::Finale) && m_night.isFinale())
        m_finale->show();
}

void NightWindows::openShow(QScreen *where, bool beside)
{
    m_night.setShowMode(beside ? Night::ShowMode::Beside : Night::ShowMode::Over);
    if (!m_show) {
        m_show = new ShowWindow(m_night);
        // Queued: the show goes once its own close event is over.
        connect(m_show, &ShowWindow::endRequested, this, &NightWindows::showEndRequested,
                Qt::QueuedConnection);
        // Over the board, the show takes the remote and the keys of the menu "檢視".
        m_keys.attach(m_show);
        if (m_viewMenu)
            for (QAction *action : m_viewMenu->actions())
                if (!action->shortcut().isEmpty())
                    m_show->addAction(action);
    }
    m_show->showOn(where);
}

void NightWindows::closeShow()
{
    WindowLife::destroy(m_show);
    m_night.setShowMode(Night::ShowMode::Off);
}

QList<QWidget *> NightWindows::stack() const
{
    QList<QWidget *> shown;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        // A hidden window stays hidden: the board behind the closing picture, closed ones.
        if (w->isVisible() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop)
            shown.append(w);
    }
    const auto used = [this](QWidget *w) { return m_use->rank(w); };
    std::stable_sort(shown.begin(), shown.end(),
                     [&used](QWidget *a, QWidget *b) { return used(a) < used(b); });
    // What the hall must see on top: the prize about to be confirmed, or nothing at all;
    // over it only a box that waits for an answer, as nothing else takes a key meanwhile.
    for (QWidget *top :
         {static_cast<QWidget *>(m_prizeWindow.data()), static_cast<QWidget *>(blackScreen()),
          QApplication::activeModalWidget()}) {
        if (top && shown.removeAll(top))
            shown.append(top);
    }
    return shown;
}

void NightWindows::bringForward()
{
    for (QWidget *w : stack()) {
        if (w->isMinimized()) {
            // Full screen comes back full screen, though the system may forget it while
            // minimised.
            const Qt::WindowStates state =
                (w->windowState() & ~Qt::WindowMinimized) | WindowUse::stateBeforeMinimised(w);
            w->setWindowState(state);
        }
        w->show();
        w->raise();
        // Each in turn, so that the window manager stacks them as asked.
        w->activateWindow();
    }
}

void NightWindows::showPrize()
{
    WindowLife::forgetIfClosed(m_prizeWindow);
    if (!m_prizeWindow) {
        // The board as parent keeps the prize in front of it.
        m_prizeWindow = new PrizeWindow(&m_board);
        m_prizeWindows.removeAll(nullptr);
        m_prizeWindows.append(m_prizeWindow);
        m_prizeWindow->setScreen(m_board.screen());
        m_prizeWindow->setScale(m_board.scale());
        connect(m_prizeWindow, &PrizeWindow::opened, this,
                [this] { m_night.reportPrize(Night::PrizeStage::Shown); });
        // By 確 定 or by its close box: either way the prize has been announced.
        connect(m_prizeWindow, &PrizeWindow::closed, this,
                [this] { m_night.reportPrize(Night::PrizeStage::None); });
        m_keys.attach(m_prizeWindow);
        if (m_board.isHall())
            m_prizeWindow->setHall(Scale::hall(m_board.screen()->size()));
    }
    const Night::PrizeOnScreen &prize = m_night.prize();
    m_prizeWindow->setNumber(QString::number(prize.cell + 1));
    m_prizeWindow->setPrize(prize.text);
    m_prizeWindow->setPicture(prize.picture);
    // Large in the hall, the number stands on its own; on the desk, with the hall watching a
    // show of its own or a guest list naming people, the line says whose prize it is.
    const bool named = !prize.guest.isEmpty();
    const bool beside = m_night.showMode() == Night::ShowMode::Beside;
    if (m_prizeWindow->hallScale() > 0)
        m_prizeWindow->setGuest(prize.guest.name, prize.guest.after());
    else if (named || beside)
        m_prizeWindow->setGuest(Guest::numbered(prize.cell + 1, prize.guest.name),
                                prize.guest.after());
    else
        m_prizeWindow->setGuest({});
    m_prizeWindow->open();
    keepShowInFront();
    m_night.reportPrize(m_prizeWindow->isOpening() ? Night::PrizeStage::Growing
                                                   : Night::PrizeStage::Shown);
}

void NightWindows::confirmPrize()
{
    // A prize the hall has not seen is not confirmed.
    if (m_prizeWindow && m_prizeWindow->windowHandle() &&
        m_prizeWindow->windowHandle()->isExposed())
        m_prizeWindow->confirm();
}

bool NightWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_board && m_night.resumePending() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Resize) && m_board.isVisible()) {
        bringBackOnceSized();
        // Should the window manager never make it full screen, they open all the same.
        if (event->type() == QEvent::Show)
            QTimer::singleShot(1000, &m_night, &Night::bringBack);
    }
    return QObject::eventFilter(watched, event);
}

void NightWindows::bringBackOnceSized()
{
    // A board coming back full screen is first shown at its old size: the windows open
    // at its scale once it fills the screen.
    const bool sized = !(m_board.windowState() & Qt::WindowFullScreen) ||
                       (m_board.screen() && m_board.size() == m_board.screen()->geometry().size());
    if (sized)
        QTimer::singleShot(0, &m_night, &Night::bringBack);
}

void NightWindows::deskWindowActivated(QWidget *window)
{
    if (!m_show || m_night.showMode() != Night::ShowMode::Over)
        return;
    const QList<QWidget *> night = {m_show,         m_prizeWindow, m_bingoWindow, closingPicture(),
                                    finaleGround(), blackScreen(), &m_board};
    if (night.contains(window))
        return;
    // The operator has turned to the desk (the record, the About box, a message): the show
    // over the board ends rather than hide it, and the window stays in front.
    const QPointer<QWidget> desk = window;
    QTimer::singleShot(0, this, [this, desk] {
        if (m_night.showMode() == Night::ShowMode::Over)
            closeShow();
        if (desk) {
            desk->raise();
            desk->activateWindow();
        }
    });
}

void NightWindows::windowGone(QWidget *window)
{
    // The board hides only for the finale, which takes the keys itself, and the board or the
    // show to change screens.
    if (window == &m_board || window == m_show)
        return;
    // Left alone, a window manager may give the keyboard to no window at all, and the
    // remote would go dead until the operator clicks.
    const QPointer<QWidget> gone = window;
    // A dialog's keys go back to the window that opened it (名單 after its file dialog, the
    // record after a save), never past it to the board or the show.
    const QPointer<QWidget> owner =
        window->parentWidget() && window->parentWidget()->window() != &m_board
            ? window->parentWidget()->window()
            : nullptr;
    const quint64 shown = m_use->shown();
    QTimer::singleShot(0, this, [this, gone, owner, shown] {
        // A window shown since has the operator's attention.
        if (m_use->shown() != shown)
            return;
        const QWidget *active = QApplication::activeWindow();
        if (active && active->isVisible() && active != gone)
            return;
        if (owner && owner->isVisible() && !QApplication::activeModalWidget()) {
            owner->raise();
            owner->activateWindow();
            return;
        }
        takeKeys();
    });
}

void NightWindows::takeKeys()
{
    if (QApplication::activeModalWidget() || blackScreen())
        return;
    // Whatever holds the remote's keys: the closing picture, the show over the board, or
    // the board.
    ClosingPicture *const picture = closingPicture();
    QWidget *keys = picture && picture->isVisible() ? picture
                    : m_show && m_night.showMode() == Night::ShowMode::Over
                        ? static_cast<QWidget *>(m_show.data())
                        : &m_board;
    if (!keys->isVisible())
        return;
    keys->activateWindow();
}

void NightWindows::keepShowInFront()
{
    // On the one screen, the hall keeps seeing the show; the desk's window keeps the keys.
    if (m_show && m_night.showMode() == Night::ShowMode::Over)
        m_show->raise();
}

void NightWindows::openBingo()
{
    WindowLife::forgetIfClosed(m_bingoWindow);
    if (!m_bingoWindow) {
        m_openingBingo = true;
        m_bingoWindow = new BingoWindow(m_night);
        m_openingBingo = false;
        m_bingoWindow->setScreen(m_board.screen());
        m_bingoWindow->setScale(m_board.scale());
        m_keys.attachBingo(m_bingoWindow, m_bingoWindow->display());
        // Next over numbers already taken asks before a new draw: the remote answers it too.
        m_bingoWindow->setAnswerKeys(PresenterKeys::answerKeys());
    }
    showInFront(m_bingoWindow);
    keepShowInFront();
}

void NightWindows::bingoCommand(PresenterKeys::BingoCommand command)
{
    if (!m_bingoWindow)
        return;
    // Both may ask first, in the window's own box.
    if (command == PresenterKeys::BingoCommand::Draw)
        m_bingoWindow->draw();
    else
        m_bingoWindow->endAndClose();
}

void NightWindows::setRecord(RecordController *record)
{
    m_record = record;
    connect(record, &RecordController::recordChanged, this, [this] {
        if (m_recordWindow && m_record)
            m_recordWindow->setRecord(m_record->keeper().record());
    });
}

void NightWindows::showRecord()
{
    if (!m_record)
        return;
    if (!m_recordWindow) {
        m_recordWindow = new RecordWindow;
        m_recordWindow->setScale(m_board.scale());
        // Over the board, on the screen the audience sees.
        QRect place(QPoint(), m_recordWindow->size());
        place.moveCenter(m_board.frameGeometry().center());
        m_recordWindow->move(place.topLeft());
        m_recordWindow->setRecord(m_record->keeper().record());
        // The remote's black screen works over the record too.
        for (Qt::Key key : Presenter::BlackOutKeys)
            RepeatGuard::instance().addShortcut(m_recordWindow, QKeySequence(key),
                                                [this] { m_night.blackOut(); });
    }
    showInFront(m_recordWindow);
}

void NightWindows::showAbout()
{
    WindowLife::forgetIfClosed(m_aboutBox);
    if (!m_aboutBox) {
        m_aboutBox = new AboutBox;
        m_aboutBox->setScreen(m_board.screen());
        m_aboutBox->setScale(m_board.scale());
        ontoScreenOf(m_aboutBox, &m_board);
        RepeatGuard::instance().watch(m_aboutBox);
    }
    showInFront(m_aboutBox);
}
