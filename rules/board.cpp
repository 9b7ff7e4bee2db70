#include "board.h"

#include "random.h"

#include <algorithm>

namespace {
int previous(int c)
{
    return c == 0 ? Board::Cells - 1 : c - 1;
}
int following(int c)
{
    return c == Board::Cells - 1 ? 0 : c + 1;
}
int nthFree(const std::array<ColourValue, Board::Cells> &cells, int k)
{
    for (int c = 0; c < Board::Cells; ++c)
        if (Cell::isFree(cells[std::size_t(c)]) && k-- == 0)
            return c;
    return 0;
}
} // namespace

Board::Board(const QStringList &giftLines)
{
    cells.fill(Cell::Initial);
    cells[16] = Cell::Idle;
    markerVisible.fill(false);
    idx = 0;
    for (const QString &line : giftLines) {
        if (idx >= Cells)
            break;
        gifts[std::size_t(idx++)] = line;
    }
}

int Board::intervalAfter(int step)
{
    if (step <= 139)
        return 20;
    if (step <= 164)
        return 50;
    if (step <= 184)
        return 100;
    if (step <= 194)
        return 300;
    return 500;
}

Board::StartResult Board::start(Random &random, double secondsSinceMidnight)
{
    if (awaitingPrize)
        return StartResult::AwaitingPrize;
    const int freeCells = int(
        std::count_if(cells.begin(), cells.end(), [](ColourValue c) { return Cell::isFree(c); }));
    if (freeCells == 0)
        return StartResult::NoFreeCell;

    spinLength = random.pick(5) + 198; // drawn before the reseed
    markerVisible[std::size_t(stopCell)] = false;
    random.reseed(secondsSinceMidnight);
    // The winner is picked among the free cells alone, so every number still in play has
    // the same chance; the light then starts where its last step lands on it.
    const int winner = nthFree(cells, random.pick(freeCells));
    lightPos = ((winner - spinLength + 3) % Cells + Cells) % Cells;
    timer1Enabled = true;
    stepCount = 1;
    startEnabled = false;
    timer1Interval = FirstInterval;
    return StartResult::Started;
}

void Board::tick()
{
    if (!timer1Enabled)
        return;
    timer1Interval = intervalAfter(stepCount);
    ++stepCount;
    if (stepCount == spinLength) {
        stopSpin();
        return;
    }
    const int c = lightPos;
    const int p = previous(c);
    if (Cell::isFree(cells[std::size_t(c)]))
        cells[std::size_t(c)] = Cell::Lit;
    if (Cell::isFree(cells[std::size_t(p)]))
        cells[std::size_t(p)] = Cell::Idle;
    stopCell = c;
    lightPos = following(c);
}

void Board::stopSpin()
{
    timer1Enabled = false;
    // The light was planned to end on a free cell; the search is a bounded safety net.
    int cell = stopCell;
    int looked = 0;
    while (!Cell::isFree(cells[std::size_t(cell)]) && looked < Cells) {
        cell = following(cell);
        ++looked;
    }
    if (looked == Cells) {
        startEnabled = prizesToCome();
        return;
    }
    stopCell = cell;
    cells[std::size_t(stopCell)] = Cell::Won;
    markerVisible[std::size_t(stopCell)] = true;
    counterCaption = QString::number(drawNo);
    awaitingPrize = true;
    // Start follows the prizes, not the count of stops: a discarded stop does not use one.
    startEnabled = prizesToCome();
    ++drawNo;
}

QString Board::stackCaption(int stack) const
{
    return stack == Chance ? QStringLiteral("機會-%1").arg(chanceLeft)
                           : QStringLiteral("命運-%1").arg(fateLeft);
}

bool Board::drawnIsConsolation() const
{
    return giftTail == QStringLiteral("紀念獎");
}

Board::DrawResult Board::drawCard(int stack, Random &random)
{
    if (!awaitingPrize)
        return DrawResult::NoStop;
    idx = random.pick(giftsLeft);
    drawnGift = gifts[std::size_t(idx)];
    giftTail = drawnGift.right(3);
    for (int i = idx; i <= giftsLeft - 2; ++i)
        gifts[std::size_t(i)] = gifts[std::size_t(i + 1)];
    --giftsLeft;
    int &left = stack == Chance ? chanceLeft : fateLeft;
    --left;
    if (left == 0)
        cardEnabled[std::size_t(stack)] = false;
    awaitingPrize = false;
    startEnabled = prizesToCome();
    text1 = drawnGift;
    return DrawResult::Drawn;
}

void Board::markHeld(int cell)
{
    cells[std::size_t(cell)] = Cell::Held;
}

void Board::rightClick(int cell)
{
    if (timer1Enabled)
        return;
    ColourValue &c = cells[std::size_t(cell)];
    if (c == Cell::Won)
        c = Cell::Held;
    else if (c == Cell::Held)
        c = Cell::Excluded;
    else if (c == Cell::Excluded)
        c = Cell::Idle;
    else if (c == Cell::Idle)
        c = Cell::Won;
}

void Board::redraw()
{
    if (!awaitingPrize)
        return;
    awaitingPrize = false;
    // The prize that stop would have taken is free again.
    startEnabled = prizesToCome();
}

void Board::secondRound()
{
    for (ColourValue &c : cells) {
        if (c != Cell::Won && c != Cell::Excluded) {
            c = Cell::Idle;
            markerVisible[std::size_t(stopCell)] = false;
        }
    }
    awaitingPrize = false;
    startEnabled = prizesToCome();
}
