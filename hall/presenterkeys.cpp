#include "presenterkeys.h"

#include "night.h"
#include "repeatguard.h"

#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>

#include <algorithm>

namespace {
struct Key
{
    QKeySequence sequence;
    int code; // what the rules see: Shift+F5 is F5
};

const QList<Key> &boardKeys()
{
    static const QList<Key> keys = {
        {Qt::Key_PageDown, Qt::Key_PageDown},
        {Qt::Key_PageUp, Qt::Key_PageUp},
        {Qt::Key_Right, Qt::Key_Right},
        {Qt::Key_Left, Qt::Key_Left},
        // Taken so that they never move the focus onto the round options.
        {Qt::Key_Up, Qt::Key_Up},
        {Qt::Key_Down, Qt::Key_Down},
        {Qt::Key_Space, Qt::Key_Space},
        {Qt::Key_Return, Qt::Key_Return},
        {Qt::Key_Enter, Qt::Key_Enter},
        {Qt::Key_1, Qt::Key_1},
        {Qt::Key_2, Qt::Key_2},
        {Qt::Key_F5, Qt::Key_F5},
        {QKeySequence(Qt::SHIFT | Qt::Key_F5), Qt::Key_F5},
        {Qt::Key_Escape, Qt::Key_Escape},
        {Qt::Key_B, Qt::Key_B},
        {Qt::Key_Period, Qt::Key_Period},
        {Qt::Key_Slash, Qt::Key_Slash},
        {QKeySequence(Qt::CTRL | Qt::Key_R), Qt::Key_R},
    };
    return keys;
}

const QList<Key> &stepKeys()
{
    static const QList<Key> keys = {
        {Qt::Key_Space, Qt::Key_Space}, {Qt::Key_Return, Qt::Key_Return},
        {Qt::Key_Enter, Qt::Key_Enter}, {Qt::Key_PageDown, Qt::Key_PageDown},
        {Qt::Key_Right, Qt::Key_Right}, {Qt::Key_Down, Qt::Key_Down},
        {Qt::Key_B, Qt::Key_B},         {Qt::Key_Period, Qt::Key_Period},
        {Qt::Key_Slash, Qt::Key_Slash},
    };
    return keys;
}

// In the bingo window Escape holds the draw, then closes the window.
const QList<Key> &bingoKeys()
{
    static const QList<Key> keys =
        stepKeys() + QList<Key>{{Qt::Key_Escape, Qt::Key_Escape},
                                {Qt::Key_F5, Qt::Key_F5},
                                {QKeySequence(Qt::SHIFT | Qt::Key_F5), Qt::Key_F5}};
    return keys;
}

// While the window has the focus, these keys are the remote's and never reach a focused
// button. Each acts once per press.
template <typename Handler>
void addShortcuts(QWidget *window, const QList<Key> &keys, Handler handler)
{
    for (const Key &key : keys) {
        const int code = key.code;
        RepeatGuard::instance().addShortcut(window, key.sequence,
                                            [handler, code] { handler(code); });
    }
}

// A focused text box claims the arrow keys for its cursor; the remote's go to the remote.
class RemoteFirst : public QObject
{
public:
    RemoteFirst(QObject *parent, const QList<Key> &keys) : QObject(parent), m_keys(keys) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            for (const Key &k : m_keys)
                if (k.sequence == QKeySequence(key->keyCombination()))
                    return true; // left unaccepted: the shortcut is tried
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<Key> m_keys;
};

} // namespace

// What answers a question the remote opened: of the keys a remote sends, those that mean
// yes or no (Presenter::questionAnswer).
Prompt::AnswerKeys PresenterKeys::answerKeys()
{
    Prompt::AnswerKeys keys;
    for (const Key &key : boardKeys()) {
        switch (Presenter::questionAnswer(key.code)) {
        case Presenter::Answer::Yes:
            keys.yes << key.sequence;
            break;
        case Presenter::Answer::No:
            keys.no << key.sequence;
            break;
        case Presenter::Answer::None:
            break;
        }
    }
    return keys;
}

PresenterKeys::PresenterKeys(Night &night, QObject *parent) : QObject(parent), m_night(night)
{
}

void PresenterKeys::attach(QWidget *window)
{
    addShortcuts(window, boardKeys(), [this](int key) { press(key); });
}

void PresenterKeys::attachBingo(QWidget *window, QWidget *textField)
{
    m_bingo = window;
    m_bingoText = textField;
    textField->installEventFilter(new RemoteFirst(textField, bingoKeys()));
    addShortcuts(window, bingoKeys(), [this](int key) { pressInBingo(key); });
}

void PresenterKeys::pressInBingo(int key)
{
    switch (Presenter::bingoAction(key, m_night.presenterState())) {
    case Presenter::BingoAction::Draw:
        Q_EMIT bingoCommand(BingoCommand::Draw);
        break;
    case Presenter::BingoAction::Take:
        m_night.takeBingo();
        break;
    case Presenter::BingoAction::Pause:
        m_night.pauseBingo();
        break;
    case Presenter::BingoAction::Resume:
        m_night.resumeBingo();
        break;
    case Presenter::BingoAction::Close:
        Q_EMIT bingoCommand(BingoCommand::Close);
        break;
    case Presenter::BingoAction::AskNewDraw:
        askInShow(Presenter::Question::NewBingo);
        break;
    case Presenter::BingoAction::AskClose:
        askInShow(Presenter::Question::EndBingo);
        break;
    case Presenter::BingoAction::Yes:
        switch (m_night.answer(true)) {
        case Presenter::Question::NewBingo:
            m_night.startBingo();
            break;
        case Presenter::Question::EndBingo:
            m_night.closeBingo();
            break;
        default:
            break;
        }
        break;
    case Presenter::BingoAction::No:
        m_night.answer(false);
        break;
    case Presenter::BingoAction::BlackOut:
        m_night.blackOut();
        break;
    case Presenter::BingoAction::StartShow:
        Q_EMIT showRequested(true);
        break;
    case Presenter::BingoAction::None:
        break;
    }
}

void PresenterKeys::askInShow(Presenter::Question question)
{
    m_night.ask(question);
    if (!m_bingo)
        return;
    QWidget *window = m_bingo;
    // The keys that say no would reach the bingo window's own controls: taken only while
    // the question stands, those the window does not take anyway.
    QList<QShortcut *> noKeys;
    QList<Key> taken;
    for (const QKeySequence &key : answerKeys().no) {
        if (std::any_of(bingoKeys().begin(), bingoKeys().end(),
                        [&key](const Key &k) { return k.sequence == key; }))
            continue;
        auto *shortcut = new QShortcut(key, window);
        // Repeats stop at RepeatGuard, which watches the window; Qt's mark is wrong after a
        // lost release.
        shortcut->setAutoRepeat(true);
        connect(shortcut, &QShortcut::activated, window, [this] { m_night.answer(false); });
        noKeys << shortcut;
        taken.append({key, key[0].key()});
    }
    auto *watch = new QObject(window);
    if (m_bingoText)
        m_bingoText->installEventFilter(new RemoteFirst(watch, taken));
    connect(&m_night, &Night::changed, watch, [this, watch, noKeys, question] {
        if (m_night.question() == question)
            return;
        for (QShortcut *shortcut : noKeys)
            shortcut->deleteLater();
        watch->deleteLater();
    });
}

void PresenterKeys::attachFinale(QWidget *window, const std::function<void()> &leave)
{
    addShortcuts(window, stepKeys(), [this, leave](int key) {
        switch (Presenter::finaleAction(key)) {
        case Presenter::FinaleAction::Leave:
            leave();
            break;
        case Presenter::FinaleAction::BlackOut:
            m_night.blackOut();
            break;
        case Presenter::FinaleAction::None:
            break;
        }
    });
}

void PresenterKeys::press(int key)
{
    const Presenter::NightState night = m_night.presenterState();
    // Over the board the show has the keys, and while the bingo window is open they run
    // its draw, as they would in the window.
    if (night.showOver && night.bingoOpen) {
        pressInBingo(key);
        return;
    }
    switch (Presenter::boardAction(key, night)) {
    case Presenter::Action::Start:
        m_night.start();
        break;
    case Presenter::Action::Confirm:
        Q_EMIT confirmRequested();
        break;
    case Presenter::Action::Chance:
        m_night.drawCard(Board::Chance);
        break;
    case Presenter::Action::Fate:
        m_night.drawCard(Board::Fate);
        break;
    case Presenter::Action::StartShow:
        Q_EMIT showRequested(true);
        break;
    case Presenter::Action::EndShow:
        Q_EMIT showRequested(false);
        break;
    case Presenter::Action::LeaveFullScreen:
        Q_EMIT leaveFullScreenRequested();
        break;
    case Presenter::Action::BlackOut:
        m_night.blackOut();
        break;
    case Presenter::Action::Hint:
        m_night.explain();
        break;
    case Presenter::Action::Redraw:
        m_night.discardStop();
        break;
    case Presenter::Action::AskSecondRound:
        m_night.ask(Presenter::Question::SecondRound);
        break;
    case Presenter::Action::AskCard:
        m_night.ask(Presenter::Question::Card);
        break;
    case Presenter::Action::Yes:
        m_night.answer(true);
        break;
    case Presenter::Action::No:
        m_night.answer(false);
        break;
    case Presenter::Action::None:
        break;
    }
}
