#include "remote.h"

#include <QTest>

// What each key of the remote means at each moment of the night, with no window: the night's
// state as a few words, and what every key then does.
class TestRemote : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void boardKeys_data();
    void boardKeys();
    void bingoKeys_data();
    void bingoKeys();
    void questionsLapse_data();
    void questionsLapse();
};

namespace {
const QList<QPair<const char *, Qt::Key>> Keys = {
    {"PageDown", Qt::Key_PageDown},
    {"PageUp", Qt::Key_PageUp},
    {"Right", Qt::Key_Right},
    {"Left", Qt::Key_Left},
    {"Space", Qt::Key_Space},
    {"Return", Qt::Key_Return},
    {"Enter", Qt::Key_Enter},
    {"1", Qt::Key_1},
    {"2", Qt::Key_2},
    {"3", Qt::Key_3},
    {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},
    {"F5", Qt::Key_F5},
    {"Escape", Qt::Key_Escape},
    {"B", Qt::Key_B},
    {"Period", Qt::Key_Period},
    {"Slash", Qt::Key_Slash},
};

// "awaiting fate-empty show-over q=card": the night as the remote sees it.
Presenter::NightState state(const QString &words)
{
    Presenter::NightState s;
    for (const QString &w : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (w == QLatin1String("spinning"))
            s.spinning = true;
        else if (w == QLatin1String("awaiting"))
            s.awaitingPrize = true;
        else if (w == QLatin1String("chance-empty"))
            s.cardEnabled[0] = false;
        else if (w == QLatin1String("fate-empty"))
            s.cardEnabled[1] = false;
        else if (w == QLatin1String("no-free"))
            s.anyFree = false;
        else if (w == QLatin1String("second"))
            s.secondRound = true;
        else if (w == QLatin1String("prize-growing"))
            s.prizeShown = true;
        else if (w == QLatin1String("prize-shown"))
            s.prizeShown = s.prizeOpened = true;
        else if (w == QLatin1String("beside"))
            s.showUp = true;
        else if (w == QLatin1String("over"))
            s.showUp = s.showOver = true;
        else if (w == QLatin1String("bingo"))
            s.bingoOpen = true;
        else if (w == QLatin1String("drawing"))
            s.bingoDrawing = true;
        else if (w == QLatin1String("paused"))
            s.bingoDrawing = s.bingoPaused = true;
        else if (w == QLatin1String("taken"))
            s.bingoTaken = true;
        else if (w == QLatin1String("q=round"))
            s.question = Presenter::Question::SecondRound;
        else if (w == QLatin1String("q=card"))
            s.question = Presenter::Question::Card;
        else if (w == QLatin1String("q=newbingo"))
            s.question = Presenter::Question::NewBingo;
        else if (w == QLatin1String("q=endbingo"))
            s.question = Presenter::Question::EndBingo;
        else
            qFatal("unknown word %s", qPrintable(w));
    }
    return s;
}

// "PageDown=Start F5=StartShow": every key not named does nothing.
QString effectOf(const QString &effects, const char *key)
{
    for (const QString &e : effects.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (e.section(QLatin1Char('='), 0, 0) == QLatin1String(key))
            return e.section(QLatin1Char('='), 1);
    return QStringLiteral("None");
}

template <typename E> QString name(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(int(value)));
}
} // namespace

void TestRemote::boardKeys_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("effects");
    QTest::addColumn<QString>("hint"); // why Next has nothing to do
    const char *next = "PageDown=%1 Right=%1 Space=%1 Return=%1 Enter=%1";
    const auto nextIs = [next](const char *action) {
        return QString::fromLatin1(next).arg(QLatin1String(action));
    };
    const QString cards = QStringLiteral("PageUp=Chance Left=Chance 1=Chance PageDown=Fate "
                                         "Right=Fate 2=Fate");
    const auto row = [](const char *name, const char *state, const QString &effects,
                        const char *hint) {
        QTest::newRow(name) << QString::fromLatin1(state) << effects << QString::fromLatin1(hint);
    };
    row("idle", "", nextIs("Start") + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"),
        "None");
    row("spinning", "spinning", QString(), "None");
    row("awaiting", "awaiting", cards + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"),
        "None");
    row("awaiting, 命運 used up", "awaiting fate-empty",
        QStringLiteral("PageUp=Chance Left=Chance 1=Chance PageDown=Chance Right=Chance "
                       "F5=StartShow Escape=LeaveFullScreen"),
        "None");
    row("awaiting, stacks empty", "awaiting chance-empty fate-empty",
        nextIs("Hint") + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"), "NoCard");
    row("no free cell", "no-free",
        nextIs("AskSecondRound") + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"),
        "RoundDone");
    row("no free cell, second round", "no-free second",
        nextIs("Hint") + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"), "NoNumber");
    row("no card left", "chance-empty fate-empty",
        nextIs("Hint") + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"), "NoCard");
    row("prize growing", "prize-growing", QStringLiteral("F5=StartShow Escape=LeaveFullScreen"),
        "None");
    row("prize shown", "prize-shown",
        nextIs("Confirm") + QStringLiteral(" F5=StartShow Escape=LeaveFullScreen"), "None");
    row("prize shown and a stop waiting", "prize-shown awaiting",
        cards + QStringLiteral(" Space=Confirm Return=Confirm Enter=Confirm F5=StartShow "
                               "Escape=LeaveFullScreen"),
        "None");
    row("show", "over", nextIs("Start") + QStringLiteral(" F5=StartShow Escape=EndShow"), "None");
    row("show, awaiting", "over awaiting",
        cards + QStringLiteral(" Space=AskCard Return=AskCard Enter=AskCard F5=StartShow "
                               "Escape=EndShow"),
        "None");
    row("show, no free cell", "over no-free",
        nextIs("AskSecondRound") + QStringLiteral(" F5=StartShow Escape=EndShow"), "RoundDone");
    row("show beside, no free cell", "beside no-free",
        nextIs("AskSecondRound") + QStringLiteral(" F5=StartShow Escape=EndShow"), "RoundDone");
    row("show beside, awaiting: the card asked on the desk", "beside awaiting",
        cards + QStringLiteral(" Space=AskCard Return=AskCard Enter=AskCard F5=StartShow "
                               "Escape=EndShow"),
        "None");
    // A question standing takes the keys that answer it; the black screen still works.
    row("asked for the round", "over no-free q=round",
        QStringLiteral("PageDown=Yes Right=Yes Space=Yes Return=Yes Enter=Yes Down=Yes "
                       "Escape=No PageUp=No Left=No Up=No"),
        "RoundDone");
    row("asked for a card", "over awaiting q=card",
        cards + QStringLiteral(" Space=Yes Return=Yes Enter=Yes Escape=No"), "None");
}

void TestRemote::boardKeys()
{
    QFETCH(QString, state);
    QFETCH(QString, effects);
    QFETCH(QString, hint);
    const Presenter::NightState s = ::state(state);
    const QString all = effects + QStringLiteral(" B=BlackOut Period=BlackOut Slash=BlackOut");
    for (const auto &[keyName, key] : Keys)
        QVERIFY2(name(Presenter::boardAction(key, s)) == effectOf(all, keyName),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(keyName),
                                                         name(Presenter::boardAction(key, s)))));
    QCOMPARE(name(Presenter::hint(s)), hint);
    // Next's hint is the line the board shows.
    QCOMPARE(Presenter::hintText(Presenter::hint(s)).isEmpty(), hint == QLatin1String("None"));
}

void TestRemote::bingoKeys_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("effects");
    const QString black = QStringLiteral(" B=BlackOut Period=BlackOut Slash=BlackOut");
    const auto next = [](const char *action) {
        return QStringLiteral("PageDown=%1 Right=%1 Space=%1 Return=%1 Enter=%1 Down=%1")
            .arg(QLatin1String(action));
    };
    // Escape holds a draw, then closes the window: no mouse needed to end bingo.
    QTest::newRow("idle") << "bingo"
                          << next("Draw") + QStringLiteral(" Escape=Close F5=StartShow") + black;
    QTest::newRow("drawing") << "bingo drawing"
                             << next("Take") + QStringLiteral(" Escape=Pause F5=StartShow") + black;
    QTest::newRow("paused") << "bingo paused"
                            << next("Resume") + QStringLiteral(" Escape=Close F5=StartShow") +
                                   black;
    QTest::newRow("numbers taken")
        << "bingo taken" << next("Draw") + QStringLiteral(" Escape=Close F5=StartShow") + black;
    // Over the board, the show asks in its line over the numbers taken.
    QTest::newRow("show, numbers taken")
        << "over bingo taken" << next("AskNewDraw") + QStringLiteral(" Escape=AskClose") + black;
    QTest::newRow("show, none taken")
        << "over bingo" << next("Draw") + QStringLiteral(" Escape=Close") + black;
    QTest::newRow("show, drawing over numbers taken")
        << "over bingo drawing taken" << next("Take") + QStringLiteral(" Escape=Pause") + black;
    // Answered by the remote; the black screen waits for the answer.
    QTest::newRow("asked for a new draw")
        << "over bingo taken q=newbingo"
        << next("Yes") + QStringLiteral(" Escape=No PageUp=No Left=No Up=No");
    QTest::newRow("asked to end") << "over bingo taken q=endbingo"
                                  << next("Yes") +
                                         QStringLiteral(" Escape=No PageUp=No Left=No Up=No");
}

void TestRemote::bingoKeys()
{
    QFETCH(QString, state);
    QFETCH(QString, effects);
    const Presenter::NightState s = ::state(state);
    for (const auto &[keyName, key] : Keys)
        QVERIFY2(name(Presenter::bingoAction(key, s)) == effectOf(effects, keyName),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(keyName),
                                                         name(Presenter::bingoAction(key, s)))));
}

// A question the night has moved past by other means goes from the line.
void TestRemote::questionsLapse_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("round");
    QTest::addColumn<bool>("card");
    QTest::addColumn<bool>("bingo");
    QTest::newRow("round drawn out") << "no-free" << true << false << false;
    QTest::newRow("second round begun") << "no-free second" << false << false << false;
    QTest::newRow("stop over the board") << "over awaiting" << false << true << false;
    QTest::newRow("stop beside") << "beside awaiting" << false << true << false;
    QTest::newRow("stop, show gone") << "awaiting" << false << false << false;
    QTest::newRow("stop, a card drawn") << "over prize-growing" << false << false << false;
    QTest::newRow("stop, stacks empty")
        << "over awaiting chance-empty fate-empty" << false << false << false;
    QTest::newRow("bingo over the board") << "over bingo taken" << false << false << true;
    QTest::newRow("bingo closed") << "over taken" << false << false << false;
    QTest::newRow("bingo, show beside") << "beside bingo taken" << false << false << false;
}

void TestRemote::questionsLapse()
{
    QFETCH(QString, state);
    QFETCH(bool, round);
    QFETCH(bool, card);
    QFETCH(bool, bingo);
    const Presenter::NightState s = ::state(state);
    QCOMPARE(Presenter::stillAsks(Presenter::Question::SecondRound, s), round);
    QCOMPARE(Presenter::stillAsks(Presenter::Question::Card, s), card);
    QCOMPARE(Presenter::stillAsks(Presenter::Question::NewBingo, s), bingo);
    QCOMPARE(Presenter::stillAsks(Presenter::Question::EndBingo, s), bingo);
}

QTEST_GUILESS_MAIN(TestRemote)
#include "test_remote.moc"
