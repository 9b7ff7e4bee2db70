#pragma once

#include "board.h"

#include <array>

class BigNumber;
class CellButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSize;
class QString;
class QWidget;
class ScaledLayout;

// The board's controls as the design lays them out on the window's client area.
struct BoardControls
{
    std::array<CellButton *, Board::Cells> cells{};
    std::array<QLabel *, Board::Cells> markers{};
    std::array<QGroupBox *, 2> stacks{};
    std::array<QPushButton *, 2> cardButtons{};
    QPushButton *startButton = nullptr;
    QLineEdit *prizeText = nullptr;
    QRadioButton *firstRound = nullptr;
    QRadioButton *compare = nullptr;
    QRadioButton *secondRound = nullptr;
    QLabel *title = nullptr;
    QLabel *stopCount = nullptr;
    QLabel *stopsWord = nullptr; // "次獎項" after the count
    // For the hall: the winning number and the line that says why Next does nothing.
    BigNumber *hallNumber = nullptr;
    QLabel *hint = nullptr;
    // With a guest list: the number and who it stands for, from the stop on.
    QLabel *guest = nullptr;
    ScaledLayout *layout = nullptr;
};

namespace BoardLayout {
// The client area at the design, and the smallest that still holds it unshrunk (the bottom
// markers reach below the design height).
QSize designPixels();
QSize smallestPixels();
// Builds every control on client at its design place, font and colour; the layout then
// scales them all together with the client.
BoardControls build(QWidget *client, const Board &board);
// Whether the title line can show a title read from a file: a face for every character, and
// room for the whole title on its line at the smallest type it shrinks to.
bool titleCanDraw(char32_t u);
bool titleFits(const QString &title);
} // namespace BoardLayout
