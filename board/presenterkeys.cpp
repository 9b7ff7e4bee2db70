#include "presenterkeys.h"

#include "bingowindow.h"
#include "form1.h"
#include "fullscreen.h"
#include "repeatguard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace {
struct Key
{
    QKeySequence sequence;
    int code; // what the rules see: Shift+F5 is F5
};

const QList<Key> &boardKeys()
{
    static const QList<Key> keys = {
        {Qt::Key_PageDown, Qt::Key_PageDown},
        {Qt::Key_PageUp, Qt::Key_PageUp},
        {Qt::Key_Right, Qt::Key_Right},
        {Qt::Key_Left, Qt::Key_Left},
        // Taken so that they never move the focus onto the round options.
        {Qt::Key_Up, Qt::Key_Up},
        {Qt::Key_Down, Qt::Key_Down},
        {Qt::Key_Space, Qt::Key_Space},
        {Qt::Key_Return, Qt::Key_Return},
        {Qt::Key_Enter, Qt::Key_Enter},
        {Qt::Key_1, Qt::Key_1},
        {Qt::Key_2, Qt::Key_2},
        {Qt::Key_F5, Qt::Key_F5},
        {QKeySequence(Qt::SHIFT | Qt::Key_F5), Qt::Key_F5},
        {Qt::Key_Escape, Qt::Key_Escape},
        {Qt::Key_B, Qt::Key_B},
        {Qt::Key_Period, Qt::Key_Period},
        {Qt::Key_Slash, Qt::Key_Slash},
    };
    return keys;
}

const QList<Key> &stepKeys()
{
    static const QList<Key> keys = {
        {Qt::Key_Space, Qt::Key_Space}, {Qt::Key_Return, Qt::Key_Return},
        {Qt::Key_Enter, Qt::Key_Enter}, {Qt::Key_PageDown, Qt::Key_PageDown},
        {Qt::Key_Right, Qt::Key_Right}, {Qt::Key_Down, Qt::Key_Down},
        {Qt::Key_B, Qt::Key_B},         {Qt::Key_Period, Qt::Key_Period},
        {Qt::Key_Slash, Qt::Key_Slash},
    };
    return keys;
}

bool isNext(int key)
{
    return key == Qt::Key_PageDown || key == Qt::Key_Right || key == Qt::Key_Space ||
           key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isBlackOut(int key)
{
    return key == Qt::Key_B || key == Qt::Key_Period || key == Qt::Key_Slash;
}

// While the window has the focus, these keys are the remote's and never reach a focused
// button. Each acts once per press.
template <typename Handler>
void addShortcuts(QWidget *window, const QList<Key> &keys, Handler handler)
{
    RepeatGuard::instance().watch(window);
    for (const Key &key : keys) {
        auto *shortcut = new QShortcut(key.sequence, window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        const int code = key.code;
        const int pressed = key.sequence[0].key();
        const QPointer<QWidget> alive = window;
        QObject::connect(shortcut, &QShortcut::activated, window, [alive, handler, code, pressed] {
            RepeatGuard::instance().whenSettled(pressed, [alive, handler, code, pressed] {
                if (!alive)
                    return;
                RepeatGuard::instance().acted(pressed);
                handler(code);
            });
        });
    }
}

// A focused text box claims the arrow keys for its cursor; the remote's go to the remote.
class RemoteFirst : public QObject
{
public:
    RemoteFirst(QObject *parent, const QList<Key> &keys) : QObject(parent), m_keys(keys) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            for (const Key &k : m_keys)
                if (k.sequence == QKeySequence(key->keyCombination()))
                    return true; // left unaccepted: the shortcut is tried
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<Key> m_keys;
};

QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}
} // namespace

Presenter::Hint Presenter::hint(const NightState &state)
{
    if (state.spinning || state.prizeShown)
        return Hint::None;
    if (!state.cardEnabled[0] && !state.cardEnabled[1])
        return Hint::NoCard;
    if (state.awaitingPrize)
        return Hint::None;
    if (!state.anyFree || !state.startEnabled)
        return state.secondRound ? Hint::NoNumber : Hint::RoundDone;
    return Hint::None;
}

Presenter::Action Presenter::boardAction(int key, const NightState &state)
{
    if (isBlackOut(key))
        return Action::BlackOut;
    // The whole board is laid out anew when the window changes size: not while the light runs.
    if (key == Qt::Key_F5)
        return state.spinning ? Action::None : Action::EnterFullScreen;
    if (key == Qt::Key_Escape)
        return state.spinning ? Action::None : Action::LeaveFullScreen;
    // While a stop waits for its prize, the remote's two buttons are the two stacks.
    if (state.awaitingPrize && !state.spinning) {
        if (key == Qt::Key_PageUp || key == Qt::Key_Left || key == Qt::Key_1)
            return state.cardEnabled[0] ? Action::Chance : Action::None;
        if ((key == Qt::Key_PageDown || key == Qt::Key_Right || key == Qt::Key_2) &&
            state.cardEnabled[1])
            return Action::Fate;
        if (key == Qt::Key_2)
            return Action::None;
    }
    if (!isNext(key))
        return Action::None;
    // The prize on screen is confirmed before the next spin; a second press while it
    // still grows is not a start.
    if (state.prizeShown)
        return state.prizeOpened ? Action::Confirm : Action::None;
    const bool anyCard = state.cardEnabled[0] || state.cardEnabled[1];
    if (state.startEnabled && !state.spinning && !state.awaitingPrize && state.anyFree && anyCard)
        return Action::Start;
    return hint(state) == Hint::None ? Action::None : Action::Hint;
}

Presenter::BingoAction Presenter::bingoAction(int key, bool drawing)
{
    if (isBlackOut(key))
        return BingoAction::BlackOut;
    if (!isNext(key) && key != Qt::Key_Down)
        return BingoAction::None;
    return drawing ? BingoAction::Take : BingoAction::Draw;
}

Presenter::FinaleAction Presenter::finaleAction(int key)
{
    if (isBlackOut(key))
        return FinaleAction::BlackOut;
    return isNext(key) ? FinaleAction::Leave : FinaleAction::None;
}

PresenterKeys::PresenterKeys(Form1 *board) : QObject(board), m_board(board)
{
    attach(board);
}

void PresenterKeys::attach(QWidget *window)
{
    addShortcuts(window, boardKeys(), [this](int key) { press(key); });
}

void PresenterKeys::attachBingo(BingoWindow *window)
{
    for (QLineEdit *text : window->findChildren<QLineEdit *>())
        text->installEventFilter(new RemoteFirst(text, stepKeys()));
    addShortcuts(window, stepKeys(), [this, window](int key) {
        switch (Presenter::bingoAction(key, window->isDrawing())) {
        case Presenter::BingoAction::Draw:
            // Through the buttons, so that a disabled one stays without effect.
            button(window, "Command1(0)")->click();
            break;
        case Presenter::BingoAction::Take:
            button(window, "Command2")->click();
            break;
        case Presenter::BingoAction::BlackOut:
            m_board->blackOut();
            break;
        case Presenter::BingoAction::None:
            break;
        }
    });
}

void PresenterKeys::attachFinale(QWidget *window, const std::function<void()> &leave)
{
    addShortcuts(window, stepKeys(), [this, leave](int key) {
        switch (Presenter::finaleAction(key)) {
        case Presenter::FinaleAction::Leave:
            leave();
            break;
        case Presenter::FinaleAction::BlackOut:
            m_board->blackOut();
            break;
        case Presenter::FinaleAction::None:
            break;
        }
    });
}

Presenter::NightState PresenterKeys::state() const
{
    const Board &b = m_board->board();
    Presenter::NightState s;
    s.spinning = b.timer1Enabled;
    s.startEnabled = b.startEnabled;
    s.anyFree = std::any_of(b.cells.begin(), b.cells.end(), Cell::isFree);
    s.secondRound = m_board->isSecondRound();
    s.awaitingPrize = b.awaitingPrize;
    s.cardEnabled = b.cardEnabled;
    const Form2 *prize = m_board->prizeWindow();
    // A prize coming back with a resumed night counts as shown before it is.
    s.prizeShown = (prize && prize->isVisible()) || m_board->resumePending();
    s.prizeOpened = prize && prize->isVisible() && !prize->isOpening();
    return s;
}

void PresenterKeys::press(int key)
{
    const Presenter::NightState night = state();
    switch (Presenter::boardAction(key, night)) {
    case Presenter::Action::Start:
        m_board->startClick();
        break;
    case Presenter::Action::Confirm:
        button(m_board->prizeWindow(), "Command1")->click();
        break;
    case Presenter::Action::Chance:
        m_board->command1Click(Board::Chance);
        break;
    case Presenter::Action::Fate:
        m_board->command1Click(Board::Fate);
        break;
    case Presenter::Action::EnterFullScreen:
        FullScreen::enter(m_board);
        break;
    case Presenter::Action::LeaveFullScreen:
        FullScreen::leave(m_board);
        break;
    case Presenter::Action::BlackOut:
        m_board->blackOut();
        break;
    case Presenter::Action::Hint:
        m_board->showHint(Presenter::hint(night));
        break;
    case Presenter::Action::None:
        break;
    }
}
