#include "presenterkeys.h"

#include "bingowindow.h"
#include "form1.h"

#include <QPushButton>
#include <QShortcut>

namespace {
constexpr std::array BoardKeys = {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Right,
                                  Qt::Key_Left,     Qt::Key_Space,  Qt::Key_Return,
                                  Qt::Key_Enter,    Qt::Key_1,      Qt::Key_2};
constexpr std::array BingoKeys = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_PageDown};

bool isNext(int key)
{
    return key == Qt::Key_PageDown || key == Qt::Key_Right || key == Qt::Key_Space ||
           key == Qt::Key_Return || key == Qt::Key_Enter;
}

// While the board's controls or a prize window have the focus, these keys are the remote's
// and never reach a focused button.
template <typename Keys, typename Handler>
void addShortcuts(QWidget *window, const Keys &keys, Handler handler)
{
    for (Qt::Key key : keys) {
        auto *shortcut = new QShortcut(QKeySequence(key), window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        QObject::connect(shortcut, &QShortcut::activated, window, [handler, key] { handler(key); });
    }
}

QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}
} // namespace

Presenter::Action Presenter::boardAction(int key, const NightState &state)
{
    // While a stop waits for its prize, the remote's two buttons are the two stacks.
    if (state.awaitingPrize) {
        if (key == Qt::Key_PageUp || key == Qt::Key_Left || key == Qt::Key_1)
            return state.cardEnabled[0] ? Action::Chance : Action::None;
        if (key == Qt::Key_PageDown || key == Qt::Key_Right || key == Qt::Key_2)
            return state.cardEnabled[1] ? Action::Fate : Action::None;
    }
    if (!isNext(key))
        return Action::None;
    // The prize on screen is confirmed before the next spin; a second press while it
    // still grows is not a start.
    if (state.prizeShown)
        return state.prizeOpened ? Action::Confirm : Action::None;
    if (state.canStart)
        return Action::Start;
    return Action::None;
}

Presenter::BingoAction Presenter::bingoAction(int key, bool drawing)
{
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter &&
        key != Qt::Key_PageDown)
        return BingoAction::None;
    return drawing ? BingoAction::Take : BingoAction::Draw;
}

PresenterKeys::PresenterKeys(Form1 *board) : QObject(board), m_board(board)
{
    attach(board);
}

void PresenterKeys::attach(QWidget *window)
{
    addShortcuts(window, BoardKeys, [this](int key) { press(key); });
}

void PresenterKeys::attachBingo(BingoWindow *window)
{
    addShortcuts(window, BingoKeys, [window](int key) {
        switch (Presenter::bingoAction(key, window->isDrawing())) {
        case Presenter::BingoAction::Draw:
            // Through the buttons, so that a disabled one stays without effect.
            button(window, "Command1(0)")->click();
            break;
        case Presenter::BingoAction::Take:
            button(window, "Command2")->click();
            break;
        case Presenter::BingoAction::None:
            break;
        }
    });
}

Presenter::NightState PresenterKeys::state() const
{
    const Board &b = m_board->board();
    Presenter::NightState s;
    bool anyFree = false;
    for (ColourValue c : b.cells)
        anyFree = anyFree || Cell::isFree(c);
    s.awaitingPrize = b.awaitingPrize;
    s.canStart = b.startEnabled && !b.timer1Enabled && !b.awaitingPrize && anyFree;
    s.cardEnabled = b.cardEnabled;
    const Form2 *prize = m_board->prizeWindow();
    s.prizeShown = prize && prize->isVisible();
    s.prizeOpened = s.prizeShown && !prize->isOpening();
    return s;
}

void PresenterKeys::press(int key)
{
    switch (Presenter::boardAction(key, state())) {
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
    case Presenter::Action::None:
        break;
    }
}
