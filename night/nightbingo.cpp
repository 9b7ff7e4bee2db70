#include "night.h"

#include "random.h"

void Night::openBingo()
{
    if (m_bingo.open)
        return;
    m_bingoDraw = BingoDraw();
    m_bingo.open = true;
    settle(refreshBingo(Bingo | BingoRoll));
}

void Night::startBingo()
{
    if (!m_bingo.open || m_bingoDraw.isDrawing())
        return;
    m_bingoDraw.begin();
    // The first pass runs here; the timer runs the rest, each after the pending events.
    m_bingoDraw.pick(m_random);
    runBingo(true);
    settle(refreshBingo(Bingo | BingoRoll));
}

void Night::takeBingo()
{
    if (m_bingo.open)
        m_bingoDraw.requestTake();
}

void Night::pauseBingo()
{
    if (!m_bingoTimer.isActive())
        return;
    runBingo(false);
    settle(refreshBingo(Bingo));
}

void Night::resumeBingo()
{
    if (!m_bingo.paused)
        return;
    runBingo(true);
    settle(refreshBingo(Bingo | BingoRoll));
}

void Night::clearBingo()
{
    if (!m_bingo.open)
        return;
    m_bingoDraw.reset();
    settle(refreshBingo(Bingo | BingoRoll));
}

void Night::closeBingo()
{
    if (!m_bingo.open)
        return;
    runBingo(false);
    m_bingoDraw = BingoDraw();
    m_bingo.open = false;
    settle(refreshBingo(Bingo | BingoRoll));
}

void Night::restoreBingo(const QList<int> &taken, bool drawing)
{
    putBackBingo(taken, drawing);
    settle(refreshBingo(Bingo | BingoRoll));
}

void Night::putBackBingo(const QList<int> &taken, bool drawing)
{
    m_bingoDraw.restore(taken, drawing);
    m_bingo.open = true;
    runBingo(m_bingoDraw.isDrawing());
}

void Night::bingoStep()
{
    // Held, or ended with a pass still queued.
    if (!m_bingoDraw.isDrawing() || !m_bingoTimer.isActive())
        return;
    const qint16 left = m_bingoDraw.numbersLeft;
    const bool more = m_bingoDraw.advance(m_random);
    const bool taken = m_bingoDraw.numbersLeft == left - 1;
    if (taken)
        m_sound->play(Sound::Cue::Ding);
    if (!more)
        runBingo(false);
    // The step path: only the number on display changes, unless one was taken.
    if (taken || !more)
        settle(refreshBingo(Bingo | BingoRoll));
    else
        tell(refreshBingo(BingoRoll));
}

void Night::runBingo(bool on)
{
    if (on == m_bingoTimer.isActive())
        return;
    if (on) {
        m_bingoTimer.start();
        m_sound->play(Sound::Cue::Roll);
    } else {
        m_bingoTimer.stop();
        m_sound->stopRoll();
    }
}

Night::Aspects Night::refreshBingo(Aspects aspects)
{
    const bool drawing = m_bingoDraw.isDrawing();
    m_bingo.rolling = drawing ? m_bingoDraw.displayText : QString();
    if (aspects & Bingo) {
        m_bingo.drawing = drawing;
        m_bingo.paused = drawing && !m_bingoTimer.isActive();
        m_bingo.taken = m_bingoDraw.taken();
        if (!m_bingo.open)
            m_bingo = {};
    }
    return aspects;
}
