#include "remote.h"

#include <Qt>

#include <algorithm>

bool Presenter::isNext(int key)
{
    return std::find(NextKeys.begin(), NextKeys.end(), key) != NextKeys.end();
}

bool Presenter::isBlackOut(int key)
{
    return std::find(BlackOutKeys.begin(), BlackOutKeys.end(), key) != BlackOutKeys.end();
}

Presenter::Hint Presenter::hint(const NightState &state)
{
    if (state.spinning || state.prizeShown)
        return Hint::None;
    if (!state.cardEnabled[0] && !state.cardEnabled[1])
        return Hint::NoCard;
    if (state.awaitingPrize)
        return Hint::None;
    if (!state.anyFree || !state.startEnabled)
        return state.secondRound ? Hint::NoNumber : Hint::RoundDone;
    return Hint::None;
}

QString Presenter::hintText(Hint hint)
{
    switch (hint) {
    case Hint::RoundDone:
        return QStringLiteral("第一輪的號碼已經抽完\n請選「第二輪抽獎」");
    case Hint::NoNumber:
        return QStringLiteral("沒有號碼可以抽了");
    case Hint::NoCard:
        return QStringLiteral("機會和命運的卡片都已抽完");
    case Hint::None:
        break;
    }
    return {};
}

QString Presenter::questionText(Question question)
{
    switch (question) {
    case Question::SecondRound:
        return QStringLiteral("確定要開始第二輪抽獎嗎?\n是：下一頁　否：Esc");
    case Question::Card:
        return QStringLiteral("請抽獎!\n機會：上一頁　命運：下一頁");
    case Question::NewBingo:
        return QStringLiteral("確定要開始新的賓果遊戲嗎?\n是：下一頁　否：Esc");
    case Question::EndBingo:
        return QStringLiteral("確定要結束賓果遊戲嗎?\n是：下一頁　否：Esc");
    case Question::None:
        break;
    }
    return {};
}

bool Presenter::stillAsks(Question question, const NightState &state)
{
    switch (question) {
    case Question::SecondRound:
        // Asked on the board too: the remote has no other way to the second round.
        return !state.secondRound && hint(state) == Hint::RoundDone;
    case Question::NewBingo:
    case Question::EndBingo:
        return state.showOver && state.bingoOpen;
    case Question::Card:
        return state.showUp && state.awaitingPrize && !state.spinning && !state.prizeShown &&
               (state.cardEnabled[0] || state.cardEnabled[1]);
    case Question::None:
        break;
    }
    return false;
}

Presenter::Action Presenter::boardAction(int key, const NightState &state)
{
    if (isBlackOut(key))
        return Action::BlackOut;
    if (state.question == Question::SecondRound) {
        switch (questionAnswer(key)) {
        case Answer::Yes:
            return Action::Yes;
        case Answer::No:
            return Action::No;
        case Answer::None:
            return Action::None;
        }
    }
    if (state.question == Question::Card && !isNext(key) && key != Qt::Key_PageUp &&
        key != Qt::Key_Left && key != Qt::Key_1 && key != Qt::Key_2)
        return key == Qt::Key_Escape ? Action::No : Action::None;
    // A new window or a board laid out anew could hold up a tick: not while the light runs.
    if (key == Qt::Key_F5)
        return state.spinning ? Action::None : Action::StartShow;
    // As a presentation program's: Escape ends the show, wherever it stands; F5 brings it
    // back.
    if (key == Qt::Key_Escape)
        return state.spinning ? Action::None
               : state.showUp ? Action::EndShow
                              : Action::LeaveFullScreen;
    // While a stop waits for its prize, the remote's two buttons are the two stacks.
    if (state.awaitingPrize && !state.spinning) {
        // Ctrl+R, never a remote's key: the winner called out is not in the hall.
        if (key == Qt::Key_R)
            return state.prizeShown ? Action::None : Action::Redraw;
        if (key == Qt::Key_PageUp || key == Qt::Key_Left || key == Qt::Key_1)
            return state.cardEnabled[0] ? Action::Chance : Action::None;
        if ((key == Qt::Key_PageDown || key == Qt::Key_Right || key == Qt::Key_2) &&
            state.cardEnabled[1])
            return Action::Fate;
        // With 命運 used up, Next still draws: from the other stack.
        if ((key == Qt::Key_PageDown || key == Qt::Key_Right) && state.cardEnabled[0])
            return Action::Chance;
        if (key == Qt::Key_2)
            return Action::None;
    }
    if (!isNext(key))
        return Action::None;
    // The prize on screen is confirmed before the next spin; a second press while it
    // still grows is not a start.
    if (state.prizeShown)
        return state.prizeOpened ? Action::Confirm : Action::None;
    const bool anyCard = state.cardEnabled[0] || state.cardEnabled[1];
    if (state.startEnabled && !state.spinning && !state.awaitingPrize && state.anyFree && anyCard)
        return Action::Start;
    // Over the board, the show asks what the board would ask in a box.
    if (state.question == Question::Card)
        return Action::Yes;
    if (stillAsks(Question::Card, state))
        return Action::AskCard;
    if (stillAsks(Question::SecondRound, state))
        return Action::AskSecondRound;
    return hint(state) == Hint::None ? Action::None : Action::Hint;
}

Presenter::BingoAction Presenter::bingoAction(int key, const NightState &state)
{
    if (state.question == Question::NewBingo || state.question == Question::EndBingo) {
        switch (questionAnswer(key)) {
        case Answer::Yes:
            return BingoAction::Yes;
        case Answer::No:
            return BingoAction::No;
        case Answer::None:
            return BingoAction::None;
        }
    }
    if (isBlackOut(key))
        return BingoAction::BlackOut;
    if (key == Qt::Key_F5)
        return state.showUp ? BingoAction::None : BingoAction::StartShow;
    // With the show over the board, a question over numbers taken goes to the show's line.
    const bool inShow = state.showOver && state.bingoTaken;
    if (key == Qt::Key_Escape) {
        if (state.bingoDrawing && !state.bingoPaused)
            return BingoAction::Pause;
        return inShow ? BingoAction::AskClose : BingoAction::Close;
    }
    if (!isNext(key) && key != Qt::Key_Down)
        return BingoAction::None;
    if (state.bingoPaused)
        return BingoAction::Resume;
    if (state.bingoDrawing)
        return BingoAction::Take;
    return inShow ? BingoAction::AskNewDraw : BingoAction::Draw;
}

Presenter::FinaleAction Presenter::finaleAction(int key)
{
    if (isBlackOut(key))
        return FinaleAction::BlackOut;
    return isNext(key) ? FinaleAction::Leave : FinaleAction::None;
}

Presenter::Answer Presenter::questionAnswer(int key)
{
    if (isNext(key) || key == Qt::Key_Down)
        return Answer::Yes;
    if (key == Qt::Key_Escape || key == Qt::Key_PageUp || key == Qt::Key_Left || key == Qt::Key_Up)
        return Answer::No;
    return Answer::None;
}
