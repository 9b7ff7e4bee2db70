#include "presenterkeys.h"

#include "bingowindow.h"
#include "night.h"
#include "prompt.h"
#include "repeatguard.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
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
    static const QList<Key> keys = stepKeys() + QList<Key>{{Qt::Key_Escape, Qt::Key_Escape}};
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

// What answers a question the remote opened: of the keys a remote sends, those that mean
// yes or no (Presenter::questionAnswer).
Prompt::AnswerKeys answerKeys()
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

QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}
} // namespace

PresenterKeys::PresenterKeys(Night &night, QObject *parent) : QObject(parent), m_night(night)
{
}

void PresenterKeys::attach(QWidget *window)
{
    addShortcuts(window, boardKeys(), [this](int key) { press(key); });
}

void PresenterKeys::attachBingo(BingoWindow *window)
{
    for (QLineEdit *text : window->findChildren<QLineEdit *>())
        text->installEventFilter(new RemoteFirst(text, bingoKeys()));
    // Next over numbers already taken asks before a new draw: the remote answers it too.
    window->setAnswerKeys(answerKeys());
    addShortcuts(window, bingoKeys(), [this, window](int key) {
        const Presenter::Question question = m_night.question();
        if (question == Presenter::Question::NewBingo ||
            question == Presenter::Question::EndBingo) {
            answerInShow(window, question, Presenter::questionAnswer(key));
            return;
        }
        // With the show over the board, asked in the show's line rather than in a box.
        const bool inShow = m_night.isShowOver() && window->hasTaken();
        switch (Presenter::bingoAction(key, window->isDrawing(), window->isPaused())) {
        case Presenter::BingoAction::Draw:
            if (inShow && button(window, "Command1(0)")->isEnabled()) {
                askInShow(window, Presenter::Question::NewBingo);
                break;
            }
            // Through the buttons, so that a disabled one stays without effect.
            button(window, "Command1(0)")->click();
            break;
        case Presenter::BingoAction::Take:
            button(window, "Command2")->click();
            break;
        case Presenter::BingoAction::Pause:
            window->pauseDraw();
            break;
        case Presenter::BingoAction::Resume:
            window->resumeDraw();
            break;
        case Presenter::BingoAction::Close:
            if (inShow)
                askInShow(window, Presenter::Question::EndBingo);
            else
                window->endAndClose();
            break;
        case Presenter::BingoAction::BlackOut:
            m_night.blackOut();
            break;
        case Presenter::BingoAction::None:
            break;
        }
    });
}

void PresenterKeys::askInShow(BingoWindow *window, Presenter::Question question)
{
    m_night.ask(question);
    // The keys that say no would reach the bingo window's own controls: taken only while
    // the question stands, those the window does not take anyway.
    QList<QShortcut *> noKeys;
    QList<Key> taken;
    for (const QKeySequence &key : answerKeys().no) {
        if (std::any_of(bingoKeys().begin(), bingoKeys().end(),
                        [&key](const Key &k) { return k.sequence == key; }))
            continue;
        auto *shortcut = new QShortcut(key, window);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, window, [this, window, question] {
            answerInShow(window, question, Presenter::Answer::No);
        });
        noKeys << shortcut;
        taken.append({key, key[0].key()});
    }
    auto *watch = new QObject(window);
    for (QLineEdit *text : window->findChildren<QLineEdit *>())
        text->installEventFilter(new RemoteFirst(watch, taken));
    connect(&m_night, &Night::questionChanged, watch,
            [watch, noKeys, question](Presenter::Question q) {
                if (q == question)
                    return;
                for (QShortcut *shortcut : noKeys)
                    shortcut->deleteLater();
                watch->deleteLater();
            });
}

void PresenterKeys::answerInShow(BingoWindow *window, Presenter::Question question,
                                 Presenter::Answer answer)
{
    if (answer == Presenter::Answer::None)
        return;
    m_night.ask(Presenter::Question::None);
    if (answer != Presenter::Answer::Yes)
        return;
    if (question == Presenter::Question::NewBingo)
        window->startAnsweredDraw();
    else
        window->endAndClose(true);
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
    switch (Presenter::boardAction(key, night)) {
    case Presenter::Action::Start:
        m_night.start();
        break;
    case Presenter::Action::Confirm:
        m_night.confirmPrize();
        break;
    case Presenter::Action::Chance:
        m_night.drawCard(Board::Chance);
        break;
    case Presenter::Action::Fate:
        m_night.drawCard(Board::Fate);
        break;
    case Presenter::Action::StartShow:
        m_night.requestShow(true);
        break;
    case Presenter::Action::EndShow:
        m_night.requestShow(false);
        break;
    case Presenter::Action::LeaveFullScreen:
        m_night.requestFullScreen(false);
        break;
    case Presenter::Action::BlackOut:
        m_night.blackOut();
        break;
    case Presenter::Action::Hint:
        m_night.showHint(Presenter::hint(night));
        break;
    case Presenter::Action::AskSecondRound:
        m_night.ask(Presenter::Question::SecondRound);
        break;
    case Presenter::Action::AskCard:
        m_night.ask(Presenter::Question::Card);
        break;
    case Presenter::Action::Yes: {
        const Presenter::Question question = m_night.question();
        m_night.ask(Presenter::Question::None);
        if (question == Presenter::Question::SecondRound)
            m_night.startSecondRound();
        else if (question == Presenter::Question::Card)
            m_night.drawCard(night.cardEnabled[Board::Fate] ? Board::Fate : Board::Chance);
        break;
    }
    case Presenter::Action::No:
        m_night.ask(Presenter::Question::None);
        break;
    case Presenter::Action::None:
        break;
    }
}
