#include "bingodraw.h"

#include "random.h"

#include <algorithm>

void BingoDraw::reset()
{
    for (pickIndex = 1; pickIndex <= Numbers; ++pickIndex) {
        numberPool[pickIndex - 1] = pickIndex;
        boxCaptions[pickIndex - 1].clear();
    }
    numbersLeft = Numbers;
}

void BingoDraw::begin()
{
    reset();
    takeRequested = 0;
    drawing = true;
}

void BingoDraw::pick(Random &random)
{
    pickIndex = qint16(random.pick(numbersLeft));
    displayText = QString::number(numberPool[pickIndex]);
}

bool BingoDraw::serveTake()
{
    if (takeRequested != -1)
        return false;
    takeRequested = 0;
    // A clear in the same round of events has used pickIndex as its counter; the
    // take then has nothing on display to take, so it is dropped.
    if (pickIndex < 0 || pickIndex >= numbersLeft)
        return false;

    boxCaptions[Numbers - numbersLeft] = QString::number(numberPool[pickIndex]);
    const qint16 lastMove = numbersLeft - 2;
    for (qint16 k = pickIndex; k <= lastMove; ++k)
        numberPool[k] = numberPool[k + 1];
    --numbersLeft;
    if (numbersLeft < 1)
        drawing = false;
    return true;
}

bool BingoDraw::advance(Random &random)
{
    if (!drawing)
        return false;
    serveTake();
    if (numbersLeft < 1) {
        drawing = false;
        return false;
    }
    pick(random);
    return true;
}

void BingoDraw::end()
{
    numbersLeft = 0;
    drawing = false;
}

QList<int> BingoDraw::taken() const
{
    QList<int> numbers;
    for (const QString &c : boxCaptions)
        if (!c.isEmpty())
            numbers << c.toInt();
    return numbers;
}

void BingoDraw::restore(const QList<int> &numbers, bool running)
{
    reset();
    takeRequested = 0;
    for (int n : numbers) {
        const auto at = std::find(numberPool.begin(), numberPool.begin() + numbersLeft, n);
        if (n < 1 || n > Numbers || at == numberPool.begin() + numbersLeft)
            continue;
        boxCaptions[Numbers - numbersLeft] = QString::number(n);
        std::copy(at + 1, numberPool.begin() + numbersLeft, at);
        --numbersLeft;
        displayText = QString::number(n);
    }
    drawing = running && numbersLeft > 0;
}
