#include "night.h"

#include "eventtitle.h"
#include "random.h"

#include <QTime>

#include <algorithm>
#include <utility>

Night::Night(const QStringList &giftLines, Random &random, QObject *parent)
    : QObject(parent), m_board(giftLines), m_giftLines(giftLines), m_random(random),
      m_title(EventTitle::designTitle())
{
    m_clock = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; };
    m_spinTimer.setObjectName(QStringLiteral("SpinTimer"));
    m_spinTimer.setTimerType(Qt::PreciseTimer);
    m_spinTimer.setSingleShot(true);
    connect(&m_spinTimer, &QTimer::timeout, this, &Night::tick);
    m_bingoTimer.setObjectName(QStringLiteral("BingoTimer"));
    m_bingoTimer.setInterval(0);
    connect(&m_bingoTimer, &QTimer::timeout, this, &Night::bingoStep);
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
    settle(Cells | Counts | Spin);
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
        if (!m_board.timer1Enabled) {
            const int number = m_board.stopCell + 1;
            m_stopGuest = m_board.awaitingPrize ? withPhoto(number, guest(number)) : Guest();
            if (m_board.awaitingPrize)
                m_announced.insert(m_board.stopCell + 1, m_stopGuest);
            Q_EMIT boardChanged(m_board.awaitingPrize ? BoardChange::Stop : BoardChange::EmptyStop,
                                m_board.stopCell);
        }
    }
    if (!m_board.timer1Enabled) {
        m_spinTimer.stop();
        settle(Cells | Counts | Spin);
        return;
    }
    // The step path: only the cells change.
    tell(Cells);
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
    m_prize = {PrizeStage::Drawn, m_board.stopCell, m_board.text1,
               m_stopGuest,       prizePicture(),   m_prize.serial + 1};
    settle(Cells | Counts | Prize);
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
    settle(Cells | Counts);
}

void Night::discardStop()
{
    const bool pending = m_board.awaitingPrize;
    m_board.redraw();
    if (pending)
        Q_EMIT boardChanged(BoardChange::Discard, m_board.stopCell);
    settle(Cells | Counts);
}

void Night::startSecondRound()
{
    // The new round frees every held number; a marking still waiting would undo that.
    m_pendingHeld.clear();
    m_secondRound = true;
    m_board.secondRound();
    Q_EMIT boardChanged(BoardChange::SecondRound, m_board.stopCell);
    settle(Cells | Counts | Round);
}

void Night::reportPrize(PrizeStage stage)
{
    if (m_prize.stage == PrizeStage::None || stage == m_prize.stage)
        return;
    if (stage == PrizeStage::Growing) {
        m_prize.stage = stage;
        settle(Prize);
        return;
    }
    if (stage == PrizeStage::Shown) {
        m_prize.stage = stage;
        markPendingHeld();
        m_sound->play(m_prizeCue);
        settle(Cells | Prize);
        return;
    }
    // Confirmed, or closed by its close box or Alt+F4: announced all the same. A window
    // closed before it finished opening still leaves its number held.
    Q_EMIT boardChanged(BoardChange::PrizeClosed, 0);
    markPendingHeld();
    m_prize.stage = PrizeStage::None;
    settle(Cells | Prize);
    if (m_board.cardEnabled[0] || m_board.cardEnabled[1])
        return;
    Q_EMIT boardChanged(BoardChange::Closing, 0);
    m_finale = true;
    settle(Finale);
}

void Night::endFinale()
{
    if (!m_finale)
        return;
    m_finale = false;
    settle(Finale);
}

void Night::markPendingHeld()
{
    for (int cell : std::as_const(m_pendingHeld))
        m_board.markHeld(cell);
    m_pendingHeld.clear();
}

Board Night::settledBoard() const
{
    Board settled = m_board;
    for (int cell : m_pendingHeld)
        settled.markHeld(cell);
    return settled;
}

int Night::shownNumber() const
{
    if (isSpinning())
        return 0;
    if (m_board.awaitingPrize)
        return m_board.stopCell + 1;
    return m_prize.stage != PrizeStage::None ? m_prize.cell + 1 : 0;
}

void Night::restore(const Board &board, bool secondRound, bool fullScreen,
                    const QMap<int, Guest> &announced)
{
    m_spinTimer.stop();
    m_pendingHeld.clear();
    m_board = board;
    m_announced.clear();
    for (auto it = announced.begin(); it != announced.end(); ++it)
        m_announced.insert(it.key(), withPhoto(it.key(), it.value()));
    m_stopGuest = m_announced.value(board.stopCell + 1);
    // The round is put back as it was, without running the change of round again.
    m_secondRound = secondRound;
    m_fullScreen = fullScreen;
    settle(Cells | Counts | Spin | Round | View | Guests);
}

void Night::resume(bool prizeOpen, int prizeCell, const QList<int> &bingoTaken, bool bingoDrawing)
{
    BingoState bingo;
    if (!bingoTaken.isEmpty())
        bingo = {true, bingoDrawing, false, bingoTaken, {}};
    m_resumed = {prizeOpen || bingo.open, prizeOpen, prizeCell, bingo};
    // Next waits for the prize coming back; whoever opens the windows brings them back
    // once the board is shown.
    if (m_resumed.pending)
        settle(Prize);
}

void Night::bringBack()
{
    if (!m_resumed.pending)
        return;
    m_resumed.pending = false;
    Aspects aspects = {};
    if (m_resumed.bingo.open) {
        putBackBingo(m_resumed.bingo.taken, m_resumed.bingo.drawing);
        aspects |= refreshBingo(Bingo | BingoRoll);
    }
    if (m_resumed.prizeOpen) {
        // The same prize grows onto the screen again; its 確 定 goes on as it would have.
        m_prizeCue = m_board.drawnIsConsolation() ? Sound::Cue::Consolation : Sound::Cue::Fanfare;
        m_prize = {PrizeStage::Drawn, m_resumed.prizeCell, m_board.text1,
                   m_stopGuest,       prizePicture(),      m_prize.serial + 1};
        aspects |= Prize;
    }
    // The prize last, so that it stands in front and the remote's next key confirms it:
    // whoever opens the windows opens the bingo's first.
    settle(aspects);
}

QString Night::line() const
{
    return m_question != Presenter::Question::None ? Presenter::questionText(m_question)
                                                   : Presenter::hintText(m_hint);
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
    s.prizeShown = m_prize.stage != PrizeStage::None || m_resumed.pending;
    s.prizeOpened = m_prize.stage == PrizeStage::Shown;
    s.showUp = m_showMode != ShowMode::Off;
    s.showOver = m_showMode == ShowMode::Over;
    s.question = m_question;
    s.bingoOpen = m_bingo.open;
    s.bingoDrawing = m_bingo.drawing;
    s.bingoPaused = m_bingo.paused;
    s.bingoTaken = !m_bingo.taken.isEmpty();
    return s;
}

void Night::explain()
{
    const Presenter::Hint hint = Presenter::hint(presenterState());
    if (hint == m_hint)
        return;
    m_hint = hint;
    tell(Line);
}

void Night::ask(Presenter::Question question)
{
    if (question == m_question)
        return;
    m_question = question;
    tell(Line);
}

Presenter::Question Night::answer(bool yes)
{
    const Presenter::Question question = m_question;
    ask(Presenter::Question::None);
    if (!yes)
        return question;
    if (question == Presenter::Question::SecondRound)
        startSecondRound();
    else if (question == Presenter::Question::Card)
        drawCard(m_board.cardEnabled[Board::Fate] ? Board::Fate : Board::Chance);
    return question;
}

void Night::tell(Aspects aspects)
{
    // A view that changes the night while it is told of a change (the prize window's growth
    // reported as it opens) is told of that after every view has seen the first, once.
    if (m_telling) {
        m_untold |= aspects;
        return;
    }
    m_telling = true;
    Q_EMIT changed(aspects);
    while (m_untold)
        Q_EMIT changed(std::exchange(m_untold, {}));
    m_telling = false;
}

void Night::settle(Aspects aspects)
{
    // A question or a hint the night has moved past by other means goes.
    const Presenter::NightState state = presenterState();
    if (m_question != Presenter::Question::None && !Presenter::stillAsks(m_question, state)) {
        m_question = Presenter::Question::None;
        aspects |= Line;
    }
    if (m_hint != Presenter::Hint::None && Presenter::hint(state) != m_hint) {
        m_hint = Presenter::Hint::None;
        aspects |= Line;
    }
    // A number back in play names whoever the list names now.
    if (aspects & Cells)
        m_board.dropFree(m_announced);
    if (aspects)
        tell(aspects);
}

void Night::blackOut()
{
    if (m_blackedOut)
        return;
    m_blackedOut = true;
    tell(BlackOut);
}

void Night::endBlackOut()
{
    if (!m_blackedOut)
        return;
    m_blackedOut = false;
    tell(BlackOut);
}

void Night::setShowMode(ShowMode mode)
{
    if (mode == m_showMode)
        return;
    m_showMode = mode;
    settle(Show);
}

void Night::setFullScreen(bool on)
{
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    tell(View);
}

void Night::setGuests(const QMap<int, Guest> &guests)
{
    m_guests = guests;
    tell(Guests);
}

void Night::setGallery(const Gallery &gallery)
{
    m_gallery = gallery;
    tell(Guests | Title);
}

Guest Night::withPhoto(int number, Guest guest) const
{
    guest.photo = m_gallery.photo(number, guest.name);
    return guest;
}

QString Night::prizePicture() const
{
    return m_gallery.prizePicture(m_giftLines, m_board.text1);
}

Guest Night::shownGuest() const
{
    if (isSpinning())
        return {};
    if (m_board.awaitingPrize)
        return m_stopGuest;
    return m_prize.stage != PrizeStage::None ? m_prize.guest : Guest();
}

Guest Night::cellGuest(int number) const
{
    const auto announced = m_announced.constFind(number);
    return announced != m_announced.cend() ? *announced : guest(number);
}

void Night::setTitle(const QString &title)
{
    const QString shown = title.isEmpty() ? EventTitle::designTitle() : title;
    if (shown == m_title)
        return;
    m_title = shown;
    tell(Title);
}
