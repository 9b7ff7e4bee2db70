#include "night.h"

#include "random.h"

#include <QTime>

#include <algorithm>

Night::Night(const QStringList &giftLines, Random &random, QObject *parent)
    : QObject(parent), m_board(giftLines), m_random(random)
{
    m_clock = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; };
    m_spinTimer.setObjectName(QStringLiteral("SpinTimer"));
    m_spinTimer.setTimerType(Qt::PreciseTimer);
    m_spinTimer.setSingleShot(true);
    connect(&m_spinTimer, &QTimer::timeout, this, &Night::tick);
}

void Night::setSound(Sound *sound)
{
    m_sound = sound ? sound : &m_silent;
    m_sound->setMuted(m_muted);
}

void Night::setMuted(bool muted)
{
    m_muted = muted;
    m_sound->setMuted(muted);
}

Board::StartResult Night::start()
{
    const Board::StartResult result = m_board.start(m_random, m_clock());
    if (result != Board::StartResult::Started)
        return result;
    settle();
    // Ticks are scheduled against the spin's own clock so that late ticks do not add up.
    m_spinClock.start();
    m_nextTickAt = m_board.timer1Interval;
    m_spinTimer.start(m_board.timer1Interval);
    return result;
}

void Night::tick()
{
    const bool spinning = m_board.timer1Enabled;
    m_board.tick();
    if (spinning) {
        // Stamped here and handed over, so the click follows the step and not the render.
        m_sound->play(m_board.timer1Enabled ? Sound::Cue::Click : Sound::Cue::Chime);
        if (!m_board.timer1Enabled)
            Q_EMIT boardChanged(m_board.awaitingPrize ? BoardChange::Stop : BoardChange::EmptyStop,
                                m_board.stopCell);
    }
    settle();
    if (!m_board.timer1Enabled) {
        m_spinTimer.stop();
        Q_EMIT spinEnded();
        return;
    }
    m_nextTickAt += m_board.timer1Interval;
    // Round the wait to the nearest millisecond: truncating the elapsed time would make
    // every tick up to a millisecond late.
    const qint64 waitNs = m_nextTickAt * 1000000 - m_spinClock.nsecsElapsed();
    m_spinTimer.start(int(std::max<qint64>(0, (waitNs + 500000) / 1000000)));
}

bool Night::drawCard(int stack)
{
    if (m_board.drawCard(stack, m_random) == Board::DrawResult::NoStop)
        return false;
    if (m_board.drawnIsConsolation())
        m_pendingHeld.append(m_board.stopCell);
    m_prizeCue = m_board.drawnIsConsolation() ? Sound::Cue::Consolation : Sound::Cue::Fanfare;
    Q_EMIT boardChanged(BoardChange::Card, stack);
    settle();
    m_prizeCell = m_board.stopCell;
    Q_EMIT prizeDrawn(m_prizeCell, m_board.text1);
    return true;
}

void Night::rightClick(int cell)
{
    const ColourValue before = m_board.cells[std::size_t(cell)];
    m_board.rightClick(cell);
    // The operator's hand wins over a held marking still waiting for the prize window.
    if (m_board.cells[std::size_t(cell)] != before) {
        m_pendingHeld.removeAll(cell);
        Q_EMIT boardChanged(BoardChange::Correction, cell);
    }
    settle();
}

void Night::discardStop()
{
    const bool pending = m_board.awaitingPrize;
    m_board.redraw();
    if (pending)
        Q_EMIT boardChanged(BoardChange::Discard, m_board.stopCell);
    settle();
}

void Night::startSecondRound()
{
    // The new round frees every held number; a marking still waiting would undo that.
    m_pendingHeld.clear();
    m_secondRound = true;
    m_board.secondRound();
    Q_EMIT boardChanged(BoardChange::SecondRound, m_board.stopCell);
    // Asked in the show, the round changes without the board's option.
    Q_EMIT roundChanged(true);
    settle();
}

void Night::prizeShown(bool opened)
{
    m_prizeUp = true;
    if (opened)
        prizeOpened();
    else
        settle();
}

void Night::prizeOpened()
{
    m_prizeOpened = true;
    markPendingHeld();
    m_sound->play(m_prizeCue);
    settle();
}

void Night::prizeClosing()
{
    Q_EMIT boardChanged(BoardChange::PrizeClosed, 0);
    m_prizeUp = false;
    m_prizeOpened = false;
    m_confirmPending = true;
}

void Night::prizeGone()
{
    // A window closed before it finished opening still leaves its number held.
    markPendingHeld();
    settle();
    // Closed by its close box or Alt+F4: the prize was announced all the same, and the last
    // one must still end the night.
    if (m_confirmPending)
        prizeConfirmed();
}

void Night::prizeConfirmed()
{
    m_confirmPending = false;
    settle();
    if (m_board.cardEnabled[0] || m_board.cardEnabled[1])
        return;
    Q_EMIT boardChanged(BoardChange::Closing, 0);
    Q_EMIT finaleRequested();
}

void Night::markPendingHeld()
{
    if (m_pendingHeld.isEmpty())
        return;
    for (int cell : std::as_const(m_pendingHeld))
        m_board.markHeld(cell);
    m_pendingHeld.clear();
    settle();
}

void Night::restore(const Board &board, bool secondRound)
{
    m_spinTimer.stop();
    m_pendingHeld.clear();
    m_board = board;
    // The round is put back as it was, without running the change of round again.
    m_secondRound = secondRound;
    Q_EMIT roundChanged(secondRound);
    settle();
    Q_EMIT spinEnded();
}

void Night::resume(bool prizeOpen, int prizeCell, const QList<int> &bingoTaken, bool bingoDrawing)
{
    m_resumed = {prizeOpen || !bingoTaken.isEmpty(), prizeOpen, prizeCell, bingoTaken,
                 bingoDrawing};
    if (m_resumed.pending)
        Q_EMIT resumed();
}

void Night::bringBack()
{
    if (!m_resumed.pending)
        return;
    m_resumed.pending = false;
    // The prize last, so that it stands in front and the remote's next key confirms it.
    if (!m_resumed.bingoTaken.isEmpty()) {
        Q_EMIT bingoRequested();
        Q_EMIT bingoRestored(m_resumed.bingoTaken, m_resumed.bingoDrawing);
    }
    if (m_resumed.prizeOpen) {
        // The same prize grows onto the screen again; its 確 定 goes on as it would have.
        m_prizeCue = m_board.drawnIsConsolation() ? Sound::Cue::Consolation : Sound::Cue::Fanfare;
        m_prizeCell = m_resumed.prizeCell;
        Q_EMIT prizeDrawn(m_prizeCell, m_board.text1);
    }
}

void Night::setBingo(const QList<int> &taken, bool drawing)
{
    m_bingoTaken = taken;
    m_bingoDrawing = drawing;
    Q_EMIT bingoChanged();
}

Presenter::NightState Night::presenterState() const
{
    Presenter::NightState s;
    s.spinning = m_board.timer1Enabled;
    s.startEnabled = m_board.startEnabled;
    s.anyFree = std::any_of(m_board.cells.begin(), m_board.cells.end(), Cell::isFree);
    s.secondRound = m_secondRound;
    s.awaitingPrize = m_board.awaitingPrize;
    s.cardEnabled = m_board.cardEnabled;
    // A prize coming back with a resumed night counts as shown before it is.
    s.prizeShown = m_prizeUp || m_resumed.pending;
    s.prizeOpened = m_prizeUp && m_prizeOpened;
    s.showUp = m_showUp;
    s.showOver = m_showOver;
    s.question = m_question;
    return s;
}

void Night::showHint(Presenter::Hint hint)
{
    m_hint = hint;
    Q_EMIT hintChanged(hint);
}

void Night::setShowUp(bool up)
{
    m_showUp = up;
    settle();
}

void Night::setShowOver(bool over)
{
    m_showOver = over;
    settle();
}

void Night::ask(Presenter::Question question)
{
    if (question == m_question)
        return;
    m_question = question;
    Q_EMIT questionChanged(question);
}

void Night::settle()
{
    if (m_question != Presenter::Question::None &&
        !Presenter::stillAsks(m_question, presenterState()))
        ask(Presenter::Question::None);
    if (m_hint != Presenter::Hint::None && Presenter::hint(presenterState()) != m_hint)
        showHint(Presenter::Hint::None);
    Q_EMIT changed();
}

void Night::blackOut()
{
    if (m_blackedOut)
        return;
    m_blackedOut = true;
    Q_EMIT blackOutChanged(true);
}

void Night::endBlackOut()
{
    if (!m_blackedOut)
        return;
    m_blackedOut = false;
    Q_EMIT blackOutChanged(false);
}

QString Night::closeQuestion() const
{
    return m_closeQuestion.isEmpty() ? QStringLiteral("今晚的抽獎結果將不會保留。\n確定要結束嗎?")
                                     : m_closeQuestion;
}
