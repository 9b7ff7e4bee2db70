#include "bignumber.h"
#include "colourui.h"
#include "cover.h"
#include "drive.h"
#include "fonts.h"
#include "prompt.h"
#include "scriptedrandom.h"
#include "showwindow.h"
#include "stage.h"

#include <QFontInfo>
#include <QLabel>
#include <QScreen>
#include <QTest>

// The hall's show against the night it draws: whatever the night does, the show says the same.
class TestShow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void followsTheNight_data();
    void followsTheNight();
    void pointerHides();
};

namespace {
enum class Step
{
    Rest,
    Running,
    Stop,
    Card,
    ShowAfterCard,
    Confirmed,
    Consolation,
    SecondRound,
    Bingo,
    BingoClosed,
    Finale,
    Black
};

QString text(ShowWindow &show, const char *name)
{
    auto *l = show.findChild<QLabel *>(QLatin1String(name));
    return l && l->isVisibleTo(&show) ? l->text() : QString();
}

QString number(ShowWindow &show, const char *name)
{
    auto *n = show.findChild<BigNumber *>(QLatin1String(name));
    return n && n->isVisibleTo(&show) ? n->number() : QString();
}

void take(Stage &w, Step step)
{
    switch (step) {
    case Step::Rest:
        break;
    case Step::Running:
        w.boardWindow().start();
        for (int i = 0; i < 5; ++i)
            w.night().tick();
        break;
    case Step::Stop:
        Drive::spinToStop(w);
        break;
    case Step::Card:
        Drive::spinToStop(w);
        w.boardWindow().drawCard(Board::Fate);
        break;
    case Step::ShowAfterCard:
        // The projector plugged in again while the prize waits.
        w.windows().closeShow();
        Drive::spinToStop(w);
        w.boardWindow().drawCard(Board::Fate);
        w.windows().openShow(QGuiApplication::primaryScreen(), false);
        break;
    case Step::Confirmed:
    case Step::Consolation:
        Drive::spinToStop(w);
        w.boardWindow().drawCard(Board::Chance);
        w.windows().prizeWindow()->finishOpening();
        w.windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCoreApplication::processEvents();
        break;
    case Step::SecondRound:
        w.night().startSecondRound();
        break;
    case Step::Bingo:
    case Step::BingoClosed:
        w.night().openBingo();
        w.night().setBingo({3, 17, 9}, false);
        if (step == Step::BingoClosed) {
            w.night().setBingo({}, false);
            delete w.windows().bingoWindow();
        }
        break;
    case Step::Finale:
        Drive::toFinale(w);
        break;
    case Step::Black:
        Drive::spinToStop(w);
        w.night().blackOut();
        break;
    }
    QCoreApplication::processEvents();
}
} // namespace

void TestShow::initTestCase()
{
    Fonts::installSubstitutions();
    Prompt::setRefuseHandler([](QWidget *, const QString &t) { QFAIL(qPrintable(t)); });
}

void TestShow::cleanup()
{
    Prompt::setConfirmHandler({});
}

void TestShow::followsTheNight_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("prize");
    // What the show must say; "#" stands for the winning number.
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("announced");
    QTest::addColumn<QString>("round");
    QTest::addColumn<QString>("stacks");
    QTest::addColumn<QString>("bingoNewest");
    QTest::addColumn<QString>("bingoTaken");
    QTest::addColumn<QColor>("ground"); // the top-left corner

    const QColor ground(0xFF, 0xE0, 0xC0);
    const QString first = QStringLiteral("第一輪抽獎");
    const QString full = QStringLiteral("機會-28 命運-28");
    QTest::newRow("at rest") << int(Step::Rest) << QStringLiteral("現金") << QString() << QString()
                             << first << full << QString() << QString() << ground;
    QTest::newRow("the light runs: no number")
        << int(Step::Running) << QStringLiteral("現金") << QString() << QString() << first << full
        << QString() << QString() << ground;
    QTest::newRow("stopped: the number large")
        << int(Step::Stop) << QStringLiteral("現金") << QStringLiteral("#") << QString() << first
        << full << QString() << QString() << ground;
    QTest::newRow("a card: the prize announced with the number")
        << int(Step::Card) << QStringLiteral("現金 6,000 元") << QStringLiteral("#")
        << QStringLiteral("現金 6,000 元") << first << QStringLiteral("機會-28 命運-27")
        << QString() << QString() << ground;
    QTest::newRow("opened while a prize waits: announced again")
        << int(Step::ShowAfterCard) << QStringLiteral("現金 6,000 元") << QStringLiteral("#")
        << QStringLiteral("現金 6,000 元") << first << QStringLiteral("機會-28 命運-27")
        << QString() << QString() << ground;
    QTest::newRow("confirmed: both gone, one card fewer")
        << int(Step::Confirmed) << QStringLiteral("現金") << QString() << QString() << first
        << QStringLiteral("機會-27 命運-28") << QString() << QString() << ground;
    QTest::newRow("a consolation prize: its number held")
        << int(Step::Consolation) << QStringLiteral("普獎紀念獎") << QString() << QString() << first
        << QStringLiteral("機會-27 命運-28") << QString() << QString() << ground;
    QTest::newRow("the second round")
        << int(Step::SecondRound) << QStringLiteral("現金") << QString() << QString()
        << QStringLiteral("第二輪抽獎") << full << QString() << QString() << ground;
    QTest::newRow("bingo: the newest large, the others in order")
        << int(Step::Bingo) << QStringLiteral("現金") << QString() << QString() << first
        << QString() << QStringLiteral("9") << QStringLiteral("3 17") << ground;
    QTest::newRow("bingo closed: the stacks again")
        << int(Step::BingoClosed) << QStringLiteral("現金") << QString() << QString() << first
        << full << QString() << QString() << ground;
    QTest::newRow("the finale on its red ground")
        << int(Step::Finale) << QStringLiteral("現金") << QString() << QString() << QString()
        << QString() << QString() << QString() << QColor(Qt::red);
    QTest::newRow("the black screen")
        << int(Step::Black) << QStringLiteral("現金") << QString() << QString() << QString()
        << QString() << QString() << QString() << QColor(Qt::black);
}

void TestShow::followsTheNight()
{
    QFETCH(int, step);
    QFETCH(QString, prize);
    QFETCH(QString, number);
    QFETCH(QString, announced);
    QFETCH(QString, round);
    QFETCH(QString, stacks);
    QFETCH(QString, bingoNewest);
    QFETCH(QString, bingoTaken);
    QFETCH(QColor, ground);

    ScriptedRandom r({ScriptedRandom::forPick(4, 56)});
    Stage w(QStringList(Board::Cells, prize), r);
    w.night().setClock([] { return 1.0; });
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
    w.boardWindow().show();
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    take(w, Step(step));
    ShowWindow &show = *w.windows().showWindow();
    if (show.announcement())
        show.announcement()->finishOpening();

    const Board &board = w.night().board();
    const QString stop = QString::number(board.stopCell + 1);
    QCOMPARE(::number(show, "ShowNumber"), number == QStringLiteral("#") ? stop : number);
    if (!number.isEmpty())
        QVERIFY(show.findChild<BigNumber *>(QStringLiteral("ShowNumber"))->inkRect().height() >=
                show.height() / 8.0);
    PrizeWindow *panel = show.announcement();
    QCOMPARE(panel ? panel->findChild<QLabel *>(QStringLiteral("Label1"))->text() : QString(),
             announced);
    if (panel) {
        QVERIFY(
            QFontInfo(panel->findChild<QLabel *>(QStringLiteral("Label1"))->font()).pixelSize() >=
            show.height() / 15);
        QVERIFY(!panel->findChild<QPushButton *>(QStringLiteral("Command1"))->isVisibleTo(&show));
        QVERIFY(!panel->isWindow());
        // Across the show, wherever its screen lies on the desktop.
        QVERIFY(qAbs(panel->geometry().center().x() - show.width() / 2) <= 2);
    }
    QCOMPARE(text(show, "ShowRound"), round);
    const QString both = text(show, "ShowStack0") + QLatin1Char(' ') + text(show, "ShowStack1");
    QCOMPARE(both.trimmed(), stacks);
    QCOMPARE(::number(show, "ShowBingoNewest"), bingoNewest);
    QCOMPARE(text(show, "ShowBingoTaken"), bingoTaken);
    if (!bingoTaken.isEmpty())
        QVERIFY(QFontInfo(show.findChild<QLabel *>(QStringLiteral("ShowBingoTaken"))->font())
                    .pixelSize() >= show.height() / 15);
    if (!round.isEmpty())
        QCOMPARE(text(show, "ShowCounter"),
                 QStringLiteral("已經搖出 %1 次獎項").arg(board.counterCaption));

    // Every cell in the board's own colour, as drawn.
    const QImage shot = show.grab().toImage();
    QCOMPARE(shot.pixelColor(2, 2), ground);
    if (ground != QColor(0xFF, 0xE0, 0xC0))
        return;
    for (int i = 0; i < Board::Cells; ++i) {
        const QColor expected = Colour::toQColor(board.cells[std::size_t(i)], show.palette());
        const QPoint at = show.cellRect(i).topLeft() + QPoint(3, 3);
        // The announcement grows over the ring's top.
        if (panel && panel->geometry().contains(at))
            continue;
        QVERIFY2(shot.pixelColor(at) == expected, qPrintable(QStringLiteral("cell %1").arg(i)));
    }
    if (Step(step) == Step::Consolation)
        QCOMPARE(board.cells[std::size_t(board.stopCell)], Cell::Held);
}

void TestShow::pointerHides()
{
    ScriptedRandom r;
    Stage w(Drive::prizes(), r);
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    ShowWindow &show = *w.windows().showWindow();
    QCOMPARE(show.cursor().shape(), Qt::ArrowCursor);
    QTRY_COMPARE(show.cursor().shape(), Qt::BlankCursor);
    QTest::mouseMove(&show, QPoint(100, 100));
    QCOMPARE(show.cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestShow)
#include "test_show.moc"
