#pragma once

#include "colourvalue.h"

#include <QString>
#include <QStringList>

#include <array>

class Random;

// The draw board's state and rules, without widgets. A cell's state is the exact
// colour value its button shows; the window copies this state to its controls.
class Board
{
public:
    static constexpr int Cells = 56;
    static constexpr int CardsPerStack = 28;
    static constexpr int Chance = 0;
    static constexpr int Fate = 1;
    static constexpr int FirstInterval = 50;

    enum class StartResult
    {
        Started,
        AwaitingPrize,
        NoFreeCell
    };
    enum class DrawResult
    {
        Drawn,
        NoStop
    };

    // Start-up: counters, the prize list, the cells in their design state.
    explicit Board(const QStringList &giftLines = {});

    // Drops from a map keyed by number (1..56) every number that is back in play.
    template <typename Map> void dropFree(Map &byNumber) const
    {
        for (auto it = byNumber.begin(); it != byNumber.end();)
            it =
                Cell::isFree(cells[std::size_t(it.key() - 1)]) ? byNumber.erase(it) : std::next(it);
    }

    // Start: the clock reading (seconds since midnight) reseeds the generator.
    StartResult start(Random &random, double secondsSinceMidnight);
    // One step of the running light; afterwards timer1Enabled / timer1Interval say
    // whether and when the next tick comes.
    void tick();
    DrawResult drawCard(int stack, Random &random);
    void markHeld(int cell);
    void rightClick(int cell);
    void redraw();
    void secondRound();

    // The prize drawn last ends in exactly "紀念獎": its number may play again.
    bool drawnIsConsolation() const;
    // A prize is left for a stop still to come: the one waiting for its card has its own.
    bool prizesToCome() const { return giftsLeft - (awaitingPrize ? 1 : 0) > 0; }
    static int intervalAfter(int stepCount);

    // Prize list.
    std::array<QString, Cells> gifts;
    int giftsLeft = Cells;
    int chanceLeft = CardsPerStack;
    int fateLeft = CardsPerStack;
    QString drawnGift;
    QString giftTail;
    int idx = 0;

    // Spin. drawNo is wider than the rest: it counts every stop of the night and must
    // never overflow.
    qint64 drawNo = 1;
    bool awaitingPrize = false;
    int spinLength = 0;
    int stepCount = 0;
    int lightPos = 0;
    int stopCell = 0;

    // What the controls show.
    std::array<ColourValue, Cells> cells{};
    std::array<bool, Cells> markerVisible{};
    std::array<bool, 2> cardEnabled{true, true};
    QString counterCaption = QStringLiteral("0");
    bool startEnabled = true;
    bool timer1Enabled = false;
    int timer1Interval = 0;
    QString text1;

    QString stackCaption(int stack) const;

private:
    void stopSpin();
};
