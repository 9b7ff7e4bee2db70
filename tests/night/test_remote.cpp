#include "remote.h"

#include <QRegularExpression>
#include <QTest>

// What each key of the remote means at each moment of the night, with no window: the night's
// state as a few words, and what every key then does.
class TestRemote : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keys_data();
    void keys();
    void questionsLapse_data();
    void questionsLapse();
};

namespace {
// Every key a remote or the keyboard may send, by its name in Qt::Key.
const QByteArrayList Keys =
    QByteArray("PageDown PageUp Right Left Space Return Enter 1 2 3 Up Down F5 Escape B Period "
               "Slash R")
        .split(' ');

// "awaiting fate-empty over q=card": the night as the remote sees it.
Presenter::NightState state(const QString &words)
{
    const QStringList w = words.split(u' ', Qt::SkipEmptyParts);
    int known = 0; // words recognised, to catch a row's typing error
    const auto has = [&](const char *word) {
        const bool in = w.contains(QLatin1String(word));
        known += in;
        return in;
    };
    Presenter::NightState s;
    s.spinning = has("spinning");
    s.awaitingPrize = has("awaiting");
    s.cardEnabled = {!has("chance-empty"), !has("fate-empty")};
    s.anyFree = !has("no-free");
    s.secondRound = has("second");
    s.prizeOpened = has("prize-shown");
    s.prizeShown = has("prize-growing") || s.prizeOpened;
    s.showOver = has("over");
    s.showUp = has("beside") || s.showOver;
    s.bingoOpen = has("bingo");
    s.bingoPaused = has("paused");
    s.bingoDrawing = has("drawing") || s.bingoPaused;
    s.bingoTaken = has("taken");
    const char *questions[] = {"q=round", "q=card", "q=newbingo", "q=endbingo"}; // in their order
    for (int q = 0; q < 4; ++q)
        if (has(questions[q]))
            s.question = Presenter::Question(q + 1);
    if (known != w.size())
        qFatal("an unknown word in \"%s\"", qPrintable(words));
    return s;
}

// Shorthands: Next=X for every key that means Next, Back=X for the remote's back keys, Cards
// for the stacks' keys, Black for the black screen's, Desk and Hall for F5 and Escape beside
// the board and with the show up. The first word naming a key counts; a key not named does
// nothing, and "hint=" names why Next has nothing to do.
QString effectOf(QString effects, const char *key)
{
    effects
        .replace(QStringLiteral("Desk"),
                 QStringLiteral("F5=StartShow Escape=LeaveFullScreen Black"))
        .replace(QStringLiteral("Hall"), QStringLiteral("F5=StartShow Escape=EndShow Black"))
        .replace(QStringLiteral("Black"),
                 QStringLiteral("B=BlackOut Period=BlackOut Slash=BlackOut"))
        .replace(
            QStringLiteral("Cards"),
            QStringLiteral("PageUp=Chance Left=Chance 1=Chance PageDown=Fate Right=Fate 2=Fate"))
        .replace(QRegularExpression(QStringLiteral("Next=(\\w+)")),
                 QStringLiteral("PageDown=\\1 Right=\\1 Space=\\1 Return=\\1 Enter=\\1"))
        .replace(QRegularExpression(QStringLiteral("Back=(\\w+)")),
                 QStringLiteral("PageUp=\\1 Left=\\1 Up=\\1"));
    for (const QString &e : effects.split(u' ', Qt::SkipEmptyParts))
        if (e.section(u'=', 0, 0) == QLatin1String(key))
            return e.section(u'=', 1);
    return QStringLiteral("None");
}

template <typename E> QString name(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(int(value)));
}
} // namespace

// The board's keys, and the bingo window's while it is open.
void TestRemote::keys_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("effects");
    // Each row is named by its state.
    const QList<std::array<const char *, 2>> rows = {
        {"", "Next=Start Desk"},
        {"spinning", "Black"},
        // R is Ctrl+R: the winner called out is absent, the stop is thrown away.
        {"awaiting", "Cards R=Redraw Desk"},
        {"awaiting fate-empty",
         "PageUp=Chance Left=Chance 1=Chance PageDown=Chance Right=Chance R=Redraw Desk"},
        {"awaiting chance-empty fate-empty", "Next=Hint R=Redraw Desk hint=NoCard"},
        {"no-free", "Next=AskSecondRound Desk hint=RoundDone"},
        {"no-free second", "Next=Hint Desk hint=NoNumber"},
        {"chance-empty fate-empty", "Next=Hint Desk hint=NoCard"},
        {"prize-growing", "Desk"},
        {"prize-shown", "Next=Confirm Desk"},
        {"prize-shown awaiting", "Cards Space=Confirm Return=Confirm Enter=Confirm Desk"},
        {"over", "Next=Start Hall"},
        {"over awaiting", "Cards Space=AskCard Return=AskCard Enter=AskCard R=Redraw Hall"},
        {"over no-free", "Next=AskSecondRound Hall hint=RoundDone"},
        // Beside the board the card is asked on the desk: the keys are the same.
        {"beside awaiting", "Cards Space=AskCard Return=AskCard Enter=AskCard R=Redraw Hall"},
        // A question standing takes the keys that answer it; the black screen still works.
        {"over no-free q=round", "Next=Yes Down=Yes Escape=No Back=No Black hint=RoundDone"},
        {"over awaiting q=card", "Cards Space=Yes Return=Yes Enter=Yes Escape=No Black"},
        // Escape holds a draw, then closes the window: no mouse needed to end bingo.
        {"bingo", "Next=Draw Down=Draw Escape=Close F5=StartShow Black"},
        {"bingo drawing", "Next=Take Down=Take Escape=Pause F5=StartShow Black"},
        {"bingo paused", "Next=Resume Down=Resume Escape=Close F5=StartShow Black"},
        // Over the board, the show asks in its line over the numbers taken.
        {"over bingo taken", "Next=AskNewDraw Down=AskNewDraw Escape=AskClose Black"},
        {"over bingo", "Next=Draw Down=Draw Escape=Close Black"},
        {"over bingo drawing taken", "Next=Take Down=Take Escape=Pause Black"},
        // Answered by the remote; the black screen waits for the answer.
        {"over bingo taken q=newbingo", "Next=Yes Down=Yes Escape=No Back=No"},
        {"over bingo taken q=endbingo", "Next=Yes Down=Yes Escape=No Back=No"},
    };
    for (const auto &[state, effects] : rows)
        QTest::newRow(*state ? state : "idle")
            << QString::fromLatin1(state) << QString::fromLatin1(effects);
}

void TestRemote::keys()
{
    QFETCH(QString, state);
    QFETCH(QString, effects);
    const Presenter::NightState s = ::state(state);
    for (const QByteArray &keyName : Keys) {
        const int key = QMetaEnum::fromType<Qt::Key>().keyToValue("Key_" + keyName);
        QVERIFY(key != -1);
        const QString did = s.bingoOpen ? name(Presenter::bingoAction(key, s))
                                        : name(Presenter::boardAction(key, s));
        QVERIFY2(did == effectOf(effects, keyName.constData()),
                 qPrintable(QString::fromLatin1(keyName) + QStringLiteral(": ") + did));
    }
    if (s.bingoOpen)
        return;
    const QString hint = effectOf(effects, "hint");
    QCOMPARE(name(Presenter::hint(s)), hint);
    // Next's hint is the line the board shows.
    QCOMPARE(Presenter::hintText(Presenter::hint(s)).isEmpty(), hint == QLatin1String("None"));
}

// A question the night has moved past by other means goes from the line.
void TestRemote::questionsLapse_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("asks"); // the questions still asked: round, card, bingo
    const QList<std::array<const char *, 3>> rows = {
        {"round drawn out", "no-free", "round"},
        {"second round begun", "no-free second", ""},
        {"stop over the board", "over awaiting", "card"},
        {"stop beside", "beside awaiting", "card"},
        {"stop, show gone", "awaiting", ""},
        {"stop, a card drawn", "over prize-growing", ""},
        {"stop, stacks empty", "over awaiting chance-empty fate-empty", ""},
        {"bingo over the board", "over bingo taken", "bingo"},
        {"bingo closed", "over taken", ""},
        {"bingo, show beside", "beside bingo taken", ""},
    };
    for (const auto &[name, state, asks] : rows)
        QTest::newRow(name) << QString::fromLatin1(state) << QString::fromLatin1(asks);
}

void TestRemote::questionsLapse()
{
    QFETCH(QString, state);
    QFETCH(QString, asks);
    using Q = Presenter::Question;
    const Presenter::NightState s = ::state(state);
    QCOMPARE(Presenter::stillAsks(Q::SecondRound, s), asks == QLatin1String("round"));
    QCOMPARE(Presenter::stillAsks(Q::Card, s), asks == QLatin1String("card"));
    QCOMPARE(Presenter::stillAsks(Q::NewBingo, s), asks == QLatin1String("bingo"));
    QCOMPARE(Presenter::stillAsks(Q::EndBingo, s), asks == QLatin1String("bingo"));
}

QTEST_GUILESS_MAIN(TestRemote)
#include "test_remote.moc"
