#include "nightwindows.h"

#include "boardwindow.h"
#include "closingart.h"
#include "recordcontroller.h"
#include "repeatguard.h"
#include "scale.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {
const char *const StateBeforeMinimised = "zentavoStateBeforeMinimised";

// A window that has been closed but not yet deleted counts as gone.
template <typename T> void forgetIfClosed(QPointer<T> &w)
{
    if (w && !w->isVisible())
        w.clear();
}

// Cleared first: a window being deleted still sends its Hide, and comparing it then with a
// pointer of its own type would read a half-destroyed object.
template <typename T> void destroy(QPointer<T> &w)
{
    T *const doomed = w.data();
    w.clear();
    delete doomed;
}

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

// Which window was used last, and how each stood before it was minimised, for every window
// of the program: the record window too. Apart from NightWindows, whose own filter would
// otherwise see the prize window's close twice.
class NightWindows::WindowUse : public QObject
{
public:
    explicit WindowUse(QObject *parent) : QObject(parent) { qApp->installEventFilter(this); }
    qsizetype rank(QWidget *window) const { return m_used.indexOf(window); }
    // Windows shown so far.
    quint64 shown() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::WindowActivate && type != QEvent::WindowStateChange &&
             type != QEvent::Hide && type != QEvent::Show) ||
            !watched->isWidgetType() || !static_cast<QWidget *>(watched)->isWindow())
            return QObject::eventFilter(watched, event);
        auto *window = static_cast<QWidget *>(watched);
        if (type == QEvent::Show) {
            ++m_shown;
            return QObject::eventFilter(watched, event);
        }
        if (type == QEvent::Hide) {
            const Qt::WindowType kind = window->windowType();
            if (kind != Qt::Popup && kind != Qt::ToolTip && !event->spontaneous())
                static_cast<NightWindows *>(parent())->windowGone(window);
            return QObject::eventFilter(watched, event);
        }
        if (type == QEvent::WindowActivate) {
            m_used.removeAll(window);
            m_used.removeAll(nullptr);
            m_used.append(window);
            static_cast<NightWindows *>(parent())->deskWindowActivated(window);
        } else if (window->isMinimized()) {
            const auto old = static_cast<QWindowStateChangeEvent *>(event)->oldState();
            if (!(old & Qt::WindowMinimized))
                window->setProperty(StateBeforeMinimised,
                                    int(old & (Qt::WindowFullScreen | Qt::WindowMaximized)));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The latest last.
    QList<QPointer<QWidget>> m_used;
    quint64 m_shown = 0;
};

NightWindows::NightWindows(Night &night, BoardWindow &board, PresenterKeys &keys)
    : m_night(night), m_board(board), m_keys(keys)
{
    connect(&night, &Night::changed, this, &NightWindows::render);
    m_use = new WindowUse(this);
    // An earlier run's windows open once the board is shown at its size.
    m_board.installEventFilter(this);
}

NightWindows::~NightWindows()
{
    // Ending the program is not the operator closing a prize window: none of them, the one
    // up or one hidden and forgotten, tells the night it went, which would redraw a board
    // that is itself going away.
    for (PrizeWindow *w : m_board.findChildren<PrizeWindow *>(Qt::FindDirectChildrenOnly)) {
        disconnect(w, nullptr, this, nullptr);
        delete w;
    }
    // Nor does the black screen, a child of the board, say so as the board goes.
    if (m_blackScreen)
        disconnect(m_blackScreen, nullptr, &m_night, nullptr);
    destroy(m_blackScreen);
    // The other windows have no parent; they end with the board.
    destroy(m_closingPicture);
    destroy(m_bingoWindow);
    // The numbers taken go with the program, as with the window.
    m_night.closeBingo();
    destroy(m_aboutBox);
    destroy(m_finaleGround);
    destroy(m_show);
    destroy(m_recordWindow);
}

void NightWindows::render(Night::Aspects aspects)
{
    if (aspects & Night::BlackOut)
        blackOut(m_night.isBlackedOut());
    if ((aspects & Night::Prize) && m_night.resumePending() && m_board.isVisible())
        QTimer::singleShot(0, this, &NightWindows::bringBackOnceSized);
    // The bingo window before the prize's, so that the prize stands in front.
    if ((aspects & Night::Bingo) && m_night.bingo().open && !m_openingBingo) {
        forgetIfClosed(m_bingoWindow);
        if (!m_bingoWindow)
            openBingo();
    }
    if ((aspects & Night::Prize) && m_night.prize().stage == Night::PrizeStage::Drawn)
        showPrize();
    if ((aspects & Night::Finale) && m_night.isFinale())
        showFinale();
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
    destroy(m_show);
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
         {static_cast<QWidget *>(m_prizeWindow.data()),
          static_cast<QWidget *>(m_blackScreen.data()), QApplication::activeModalWidget()}) {
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
            const QVariant before = w->property(StateBeforeMinimised);
            Qt::WindowStates state = w->windowState() & ~Qt::WindowMinimized;
            if (before.isValid())
                state |= Qt::WindowStates(before.toInt());
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
    forgetIfClosed(m_prizeWindow);
    if (!m_prizeWindow) {
        // The board as parent keeps the prize in front of it.
        m_prizeWindow = new PrizeWindow(&m_board);
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

void NightWindows::showFinale()
{
    forgetIfClosed(m_closingPicture);
    if (m_closingPicture) {
        m_closingPicture->open();
        return;
    }
    const bool hall = m_board.isHall();
    m_stateBeforeFinale = m_board.windowState();
    m_geometryBeforeFinale = m_board.geometry();
    m_framePosBeforeFinale = m_board.pos();
    QScreen *where = m_board.screen();
    m_board.hide();
    if (hall) {
        // The closing picture stands enlarged on a ground of its own red over the whole screen.
        m_finaleGround = new Cover(ClosingArt::Ground, Cover::Keys::Shared);
        m_finaleGround->setObjectName(QStringLiteral("FinaleGround"));
        m_finaleGround->unsetCursor();
        m_finaleGround->showOn(where);
        m_closingPicture = new ClosingPicture(m_finaleGround);
        m_closingPicture->setScreen(where);
        m_closingPicture->setScale(ClosingArt::hallScale(where->size()));
        const auto leave = [this] {
            if (m_closingPicture)
                m_closingPicture->close();
        };
        connect(m_finaleGround, &Cover::clicked, this, leave);
        // Closed by the window manager, the ground takes the picture with it; the board still
        // comes back.
        connect(
            m_finaleGround, &QObject::destroyed, this,
            [this] {
                if (m_board.isHidden())
                    showBoardAgain();
            },
            Qt::QueuedConnection);
        m_keys.attachFinale(m_finaleGround, leave);
        m_keys.attachFinale(m_closingPicture, leave);
    } else {
        m_closingPicture = new ClosingPicture;
        m_closingPicture->setScreen(where);
        m_closingPicture->setScale(m_board.scale());
        // The remote leads back to the board from a window too.
        const QPointer<ClosingPicture> picture = m_closingPicture;
        m_keys.attachFinale(m_closingPicture, [picture] {
            if (picture)
                picture->close();
        });
    }
    // However the picture closes, the board comes back.
    connect(m_closingPicture, &ClosingPicture::closed, this, &NightWindows::showBoardAgain);
    m_night.sound().play(Sound::Cue::Closing);
    m_closingPicture->open();
}

void NightWindows::showBoardAgain()
{
    m_night.endFinale();
    if (m_finaleGround)
        m_finaleGround->close();
    // Where it was: a window manager places a window shown again wherever it likes.
    if (m_stateBeforeFinale & Qt::WindowFullScreen) {
        m_board.showFullScreen();
    } else if (m_stateBeforeFinale & Qt::WindowMaximized) {
        m_board.showMaximized();
    } else {
        m_board.setGeometry(m_geometryBeforeFinale);
        m_board.show();
        // Once mapped, put back again: a window manager may place a window shown anew by its
        // own rules (openbox moved it by a sixth of the screen).
        const QPoint frame = m_framePosBeforeFinale;
        QTimer::singleShot(PlaceAgainMs, &m_board, [this, frame] {
            if (m_board.pos() != frame && !m_board.isFullScreen() && !m_board.isMaximized())
                m_board.move(frame);
        });
    }
    m_board.raise();
    m_board.activateWindow();
    if (m_show && m_night.showMode() == Night::ShowMode::Over) {
        m_show->raise();
        m_show->activateWindow();
    }
}

void NightWindows::deskWindowActivated(QWidget *window)
{
    if (!m_show || m_night.showMode() != Night::ShowMode::Over)
        return;
    const QList<QWidget *> night = {m_show,         m_prizeWindow, m_bingoWindow, m_closingPicture,
                                    m_finaleGround, m_blackScreen, &m_board};
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
    if (QApplication::activeModalWidget() || m_blackScreen)
        return;
    // Whatever holds the remote's keys: the closing picture, the show over the board, or
    // the board.
    QWidget *keys = m_closingPicture && m_closingPicture->isVisible() ? m_closingPicture.data()
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
    forgetIfClosed(m_bingoWindow);
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
    forgetIfClosed(m_aboutBox);
    if (!m_aboutBox) {
        m_aboutBox = new AboutBox;
        m_aboutBox->setScreen(m_board.screen());
        m_aboutBox->setScale(m_board.scale());
        ontoScreenOf(m_aboutBox, &m_board);
        RepeatGuard::instance().watch(m_aboutBox);
    }
    showInFront(m_aboutBox);
}

void NightWindows::blackOut(bool on)
{
    if (!on) {
        if (m_blackScreen)
            m_blackScreen->close();
        return;
    }
    if (m_blackScreen)
        return;
    const QPointer<QWidget> back = QApplication::activeWindow();
    m_blackScreen = new Cover(Colour::fromHex(0x000000), Cover::Keys::Own, &m_board);
    m_blackScreen->setObjectName(QStringLiteral("BlackScreen"));
    RepeatGuard::instance().watch(m_blackScreen);
    // Whatever key or click ends it does nothing else; a held key stays without effect.
    const auto end = [this, back] {
        m_night.endBlackOut();
        if (back) {
            back->raise();
            back->activateWindow();
        }
    };
    connect(m_blackScreen, &Cover::keyPressed, this, [end](int key) {
        RepeatGuard::instance().acted(key);
        end();
    });
    connect(m_blackScreen, &Cover::clicked, this, end);
    // However it goes, the night is no longer blacked out.
    connect(m_blackScreen, &QObject::destroyed, &m_night, &Night::endBlackOut);
    // With a screen for the hall, only the hall goes black: the operator keeps the desk.
    const bool beside = m_show && m_night.showMode() == Night::ShowMode::Beside;
    m_blackScreen->showOn(beside ? m_show->screen() : m_board.screen());
}
