#pragma once

#include <QList>
#include <QString>

#include <array>

class Random;

// One bingo draw of the numbers 1..25: the numbers still in play, the one on display
// and the boxes the taken ones land in. The window runs the loop; each pass here is
// pick, display, (the window's pending events), serve a take.
class BingoDraw
{
public:
    static constexpr qint16 Numbers = 25;

    // Refills the pool in ascending order and empties the boxes; the display stays.
    void reset();
    // A fresh draw: reset, and forget a take pressed while idle.
    void begin();
    // Picks a live slot and shows its number.
    void pick(Random &random);
    // Moves the number on display into the next box, if a take is waiting. False when
    // nothing was taken.
    bool serveTake();
    // One later pass of the loop: serve a waiting take, then pick again while numbers
    // are left. False once the draw is over.
    bool advance(Random &random);
    void requestTake() { takeRequested = -1; }
    // The window is closing: the loop stops at its next test.
    void end();
    // The numbers taken, in the order they were taken.
    QList<int> taken() const;
    // A draw brought back with these numbers taken (each 1..25, none twice), still running
    // if `running` and numbers are left.
    void restore(const QList<int> &numbers, bool running);
    bool isDrawing() const { return drawing; }

    // Slots 0..numbersLeft-1 hold the numbers in play, ascending; the rest are stale.
    // 0 marks a slot never filled.
    std::array<qint16, Numbers> numberPool{};
    qint16 numbersLeft = 0;
    qint16 pickIndex = 0;     // also the reset's loop counter, so 26 after a reset
    qint16 takeRequested = 0; // -1 while a take waits for the next pass

    std::array<QString, Numbers> boxCaptions;
    QString displayText = QStringLiteral("0");

private:
    bool drawing = false;
};
