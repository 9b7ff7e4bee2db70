#pragma once

#include <QObject>

#include <array>
#include <functional>

class BingoWindow;
class Form1;
class QWidget;

// The night's steps on a presenter remote (PageDown / PageUp, some send Right / Left, the
// slide show button F5 / Shift+F5 and Escape, the black screen button B, period or slash)
// and on the keyboard. A key that has nothing to do does nothing: a refusal box must never
// appear from a remote the operator cannot answer with; when Next finds nothing to do, a
// hint on the board says why.
namespace Presenter {
enum class Action
{
    None,
    Start,
    Confirm,
    Chance,
    Fate,
    EnterFullScreen,
    LeaveFullScreen,
    BlackOut,
    Hint
};

// Why Next has nothing to do.
enum class Hint
{
    None,
    RoundDone, // the first round has no free number left
    NoNumber,  // the second round has none either
    NoCard     // both stacks are used up
};

struct NightState
{
    bool spinning = false;
    bool startEnabled = true;
    bool anyFree = true; // a free cell left
    bool secondRound = false;
    bool awaitingPrize = false;
    std::array<bool, 2> cardEnabled{true, true};
    bool prizeShown = false;  // the prize window is up
    bool prizeOpened = false; // and has finished opening
};

Action boardAction(int key, const NightState &state);
Hint hint(const NightState &state);

enum class BingoAction
{
    None,
    Draw,
    Take,
    BlackOut
};
BingoAction bingoAction(int key, bool drawing);

enum class FinaleAction
{
    None,
    Leave,
    BlackOut
};
FinaleAction finaleAction(int key);
} // namespace Presenter

// Gives the board's keys to the board and to each window it opens.
class PresenterKeys : public QObject
{
    Q_OBJECT
public:
    explicit PresenterKeys(Form1 *board);

    // The board's keys act while the given window has the focus.
    void attach(QWidget *window);
    void attachBingo(BingoWindow *window);
    // The closing picture and the ground it stands on; leave ends the finale.
    void attachFinale(QWidget *window, const std::function<void()> &leave);

    Presenter::NightState state() const;
    void press(int key);

private:
    Form1 *m_board;
};
