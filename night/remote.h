#pragma once

#include <QObject>
#include <QString>

#include <array>

// What each key of a presenter remote (PageDown / PageUp, some send Right / Left, the slide
// show button F5 / Shift+F5 and Escape, the black screen button B, period or slash) and of the
// keyboard means at each moment of the night. A key that has nothing to do does nothing: a
// refusal box must never appear from a remote the operator cannot answer with; when Next
// finds nothing to do, a hint on the board says why.
namespace Presenter {
Q_NAMESPACE

enum class Action
{
    None,
    Start,
    Confirm,
    Chance,
    Fate,
    StartShow,
    EndShow,
    LeaveFullScreen,
    BlackOut,
    Hint,
    Redraw, // as "重新搖獎": the winner is not in the hall
    // The show asks in its line instead of a box; the remote answers.
    AskSecondRound,
    AskCard,
    Yes,
    No
};
Q_ENUM_NS(Action)

// What the show asks while it fills the board's own screen.
enum class Question
{
    None,
    SecondRound, // Next with the first round's numbers all drawn
    Card,        // Next at a stop that is not one of the two stacks' keys
    NewBingo,    // a new bingo draw over the numbers taken
    EndBingo     // closing the bingo window, whose numbers go with it
};

// Why Next has nothing to do.
enum class Hint
{
    None,
    RoundDone, // the first round has no free number left
    NoNumber,  // the second round has none either
    NoCard     // both stacks are used up
};
Q_ENUM_NS(Hint)

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
    bool showUp = false;      // the hall's show is on: it asks what a box would
    bool showOver = false;    // and fills the board's own screen
    Question question = Question::None;
    bool bingoOpen = false;
    bool bingoDrawing = false;
    bool bingoPaused = false; // the rolling holds while a card is checked
    bool bingoTaken = false;  // some number of the draw is in a box
};

Action boardAction(int key, const NightState &state);
Hint hint(const NightState &state);
// The line that says why; empty for none.
QString hintText(Hint hint);
QString questionText(Question question);
// Whether the question still has a point: the night may have moved on by other means.
bool stillAsks(Question question, const NightState &state);

enum class BingoAction
{
    None,
    Draw,
    Take,
    Pause, // the rolling holds while a card is checked; the draw goes on after
    Resume,
    Close, // as 結  束
    BlackOut,
    // Over the board, the show asks in its line what the window would ask in a box.
    AskNewDraw,
    AskClose,
    Yes,
    No,
    StartShow // the slide show key: the show over the board, where the draw goes on
};
Q_ENUM_NS(BingoAction)
BingoAction bingoAction(int key, const NightState &state);

enum class FinaleAction
{
    None,
    Leave,
    BlackOut
};
FinaleAction finaleAction(int key);

// A question that a key of the remote opened (a new bingo draw over the numbers taken) is
// answered by the remote too: Next (and Down, which draws in the bingo window) says yes;
// Escape and the remote's back button (PageUp, Left, and Up) say no.
enum class Answer
{
    None,
    Yes,
    No
};
Answer questionAnswer(int key);

// The keys that mean Next, as the remote and the keyboard send it.
inline constexpr std::array<Qt::Key, 5> NextKeys{Qt::Key_PageDown, Qt::Key_Right, Qt::Key_Space,
                                                 Qt::Key_Return, Qt::Key_Enter};
bool isNext(int key);
// The black screen button, as presentation programs take it.
inline constexpr std::array<Qt::Key, 3> BlackOutKeys{Qt::Key_B, Qt::Key_Period, Qt::Key_Slash};
bool isBlackOut(int key);
} // namespace Presenter
