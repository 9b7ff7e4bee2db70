#pragma once

#include <QObject>

#include <array>

class BingoWindow;
class Form1;
class QWidget;

// The night's steps on a presenter remote (PageDown / PageUp, some send Right / Left) and
// on the keyboard. A key that has nothing to do does nothing: a refusal box must never
// appear from a remote the operator cannot answer with.
namespace Presenter {
enum class Action
{
    None,
    Start,
    Confirm,
    Chance,
    Fate
};

struct NightState
{
    bool canStart = false; // Start enabled, no stop waiting, a free cell left
    bool awaitingPrize = false;
    std::array<bool, 2> cardEnabled{true, true};
    bool prizeShown = false;  // the prize window is up
    bool prizeOpened = false; // and has finished opening
};

Action boardAction(int key, const NightState &state);

enum class BingoAction
{
    None,
    Draw,
    Take
};
BingoAction bingoAction(int key, bool drawing);
} // namespace Presenter

// Gives the board's keys to the board and to each prize window it opens.
class PresenterKeys : public QObject
{
    Q_OBJECT
public:
    explicit PresenterKeys(Form1 *board);

    // The keys act while the given window has the focus.
    void attach(QWidget *window);
    static void attachBingo(BingoWindow *window);

    Presenter::NightState state() const;
    void press(int key);

private:
    Form1 *m_board;
};
