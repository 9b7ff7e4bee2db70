#include "audiosound.h"
#include "cellbutton.h"
#include "prompt.h"
#include "random.h"
#include "recordingsound.h"
#include "stage.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <random>

// Drives the real windows with a seeded stream of everything an operator can do, and
// checks after every step what must always hold. ZENTAVO_MONKEY_SEED replays a run;
// ZENTAVO_MONKEY_OPS sets its length (a soak runs a million).
namespace {
QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    // The offscreen platform cannot raise windows or pass size hints; that is not ours.
    if (type == QtDebugMsg || type == QtInfoMsg ||
        msg.contains(QStringLiteral("This plugin does not support")))
        return;
    g_warnings << msg;
}

QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << (i % 5 == 0 ? QStringLiteral("%1號精美紀念獎").arg(i)
                         : QStringLiteral("獎品%1").arg(i));
    return l;
}

template <typename T> int countWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<T *>(w) != nullptr;
    return n;
}

qint64 envNumber(const char *name, qint64 fallback)
{
    bool ok = false;
    const qint64 v = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? v : fallback;
}
} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomOperator();

private:
    enum Op
    {
        Start,
        Chance,
        Fate,
        CellClick,
        Redraw,
        Option1,
        Option3,
        OpenBingo,
        BingoStart,
        BingoTake,
        BingoClear,
        BingoEnd,
        BingoCloseBox,
        BingoEnding,
        BingoStep,
        OpenAbout,
        AboutDrag,
        AboutOk,
        AboutLink,
        PrizeOk,
        PrizeCloseBox,
        PrizeFinish,
        PictureClick,
        PictureFinish,
        Timer2Tick,
        MainCloseBox,
        MainExit,
        OpCount
    };
    void operate(Op op);
    QString check();
    void newBoard();

    std::mt19937 m_rng;
    Random m_random;
    AudioSound m_audio;     // heard, where the machine has an audio output
    RecordingSound m_sound; // outlives every board
    std::unique_ptr<Stage> m_board;
    QStringList m_given;
    int m_lastGiftsLeft = 56;
    qint64 m_lastDrawNo = 1;
    double m_clock = 0;
    bool m_exited = false;
    int m_nights = 0;
    qint64 m_cards = 0;

    int below(int n) { return int(m_rng() % std::uint32_t(n)); }
};

void TestMonkey::operate(Op op)
{
    Stage &w = *m_board;
    const bool boardShown = w.boardWindow().isVisible();
    BingoWindow *bingo = w.windows().bingoWindow();
    AboutBox *about = w.windows().aboutBox();
    PrizeWindow *prize = w.windows().prizeWindow();
    ClosingPicture *picture = w.windows().closingPicture();
    auto click = [](QWidget *target, Qt::MouseButton b = Qt::LeftButton) {
        if (target && target->isVisible())
            QTest::mouseClick(target, b);
    };
    auto trigger = [](QObject *root, const char *name) {
        if (auto *a = root->findChild<QAction *>(QLatin1String(name)))
            a->trigger();
    };
    switch (op) {
    case Start:
        if (boardShown)
            click(w.boardWindow().startButton());
        break;
    case Chance:
    case Fate:
        if (boardShown)
            click(w.boardWindow().cardButton(op == Chance ? 0 : 1));
        break;
    case CellClick: {
        const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton,
                                           Qt::RightButton};
        if (boardShown)
            click(w.boardWindow().cell(below(Board::Cells)), buttons[below(4)]);
        break;
    }
    case Redraw:
        if (boardShown)
            trigger(&w.boardWindow(), "redraw");
        break;
    case Option1:
    case Option3:
        if (boardShown)
            click(w.boardWindow().findChild<QRadioButton *>(
                op == Option1 ? QStringLiteral("Option1") : QStringLiteral("Option3")));
        break;
    case OpenBingo:
        if (boardShown)
            trigger(&w.boardWindow(), "Lotto");
        break;
    case BingoStart:
    case BingoEnd:
        if (bingo)
            click(bingo->findChild<QPushButton *>(
                op == BingoStart ? QStringLiteral("Command1(0)") : QStringLiteral("Command1(1)")));
        break;
    case BingoTake:
        if (bingo)
            click(bingo->findChild<QPushButton *>(QStringLiteral("Command2")));
        break;
    case BingoClear:
    case BingoEnding:
        if (bingo)
            trigger(bingo, op == BingoClear ? "clear" : "ending");
        break;
    case BingoCloseBox:
        if (bingo)
            bingo->close();
        break;
    case BingoStep:
        if (bingo)
            for (int i = below(30); i >= 0 && w.windows().bingoWindow(); --i)
                w.night().bingoStep();
        break;
    case OpenAbout:
        if (boardShown)
            trigger(&w.boardWindow(), "aboutus");
        break;
    case AboutDrag:
        if (about) {
            const QPoint from(5 + below(20), 5 + below(5));
            const Qt::MouseButton b = below(2) ? Qt::LeftButton : Qt::RightButton;
            QTest::mousePress(about, b, {}, from);
            QMouseEvent move(QEvent::MouseMove,
                             QPointF(from + QPoint(below(40) - 20, below(40) - 20)),
                             about->mapToGlobal(QPointF(from)), Qt::NoButton, b, {});
            QApplication::sendEvent(about, &move);
            QTest::mouseRelease(about, b, {}, from);
        }
        break;
    case AboutOk:
        if (about)
            click(about->findChild<QPushButton *>(QStringLiteral("cmdOK")));
        break;
    case AboutLink:
        if (about)
            click(about->findChild<QLabel *>(below(2) ? QStringLiteral("lbl(2)")
                                                      : QStringLiteral("lbl(5)")));
        break;
    case PrizeOk:
        if (prize)
            click(prize->findChild<QPushButton *>(QStringLiteral("Command1")));
        break;
    case PrizeCloseBox:
        if (prize)
            prize->close();
        break;
    case PrizeFinish:
        if (prize)
            prize->finishOpening();
        break;
    case PictureClick:
        if (picture)
            click(picture->findChild<QWidget *>(QStringLiteral("Picture1")),
                  below(4) ? Qt::LeftButton : Qt::RightButton);
        break;
    case PictureFinish:
        if (picture)
            picture->finishOpening();
        break;
    case Timer2Tick:
        w.boardWindow().numberCells();
        break;
    case MainCloseBox:
        if (boardShown && below(20) == 0)
            w.boardWindow().close(); // the question is answered "no" once the board has drawn
        break;
    case MainExit:
        if (boardShown && below(200) == 0)
            trigger(&w.boardWindow(), "close");
        break;
    case OpCount:
        break;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString TestMonkey::check()
{
    const Board &b = m_board->night().board();
    int markers = 0;
    for (int i = 0; i < Board::Cells; ++i) {
        const ColourValue c = b.cells[std::size_t(i)];
        if (c != Cell::Initial && c != Cell::Idle && c != Cell::Lit && c != Cell::Won &&
            c != Cell::Held && c != Cell::Excluded)
            return QStringLiteral("cell %1 has colour %2").arg(i).arg(c, 0, 16);
        if (m_board->boardWindow().cell(i)->backColour() != c)
            return QStringLiteral("cell %1 shows another colour than it holds").arg(i);
        markers += m_board->boardWindow().marker(i)->isVisibleTo(&m_board->boardWindow());
    }
    if (markers > 1)
        return QStringLiteral("%1 markers shown").arg(markers);
    if (b.chanceLeft + b.fateLeft != b.giftsLeft)
        return QStringLiteral("stacks %1 + %2 against %3 prizes")
            .arg(b.chanceLeft)
            .arg(b.fateLeft)
            .arg(b.giftsLeft);
    if (b.giftsLeft != m_lastGiftsLeft) {
        if (b.giftsLeft != m_lastGiftsLeft - 1)
            return QStringLiteral("more than one prize given at once");
        if (m_given.contains(b.drawnGift))
            return QStringLiteral("prize given twice: %1").arg(b.drawnGift);
        m_given << b.drawnGift;
        ++m_cards;
        m_lastGiftsLeft = b.giftsLeft;
        if (b.giftsLeft == 0) {
            QStringList given = m_given, all = prizeList();
            given.sort();
            all.sort();
            if (given != all)
                return QStringLiteral("not every prize was given out");
        }
    }
    if (b.timer1Enabled && b.awaitingPrize)
        return QStringLiteral("the light runs while a prize is awaited");
    if (b.drawNo < m_lastDrawNo)
        return QStringLiteral("stop counter went back");
    m_lastDrawNo = b.drawNo;
    if (countWindows<PrizeWindow>() > 1 || countWindows<ClosingPicture>() > 1 ||
        countWindows<BingoWindow>() > 1 || countWindows<AboutBox>() > 1)
        return QStringLiteral("a window is open twice");
    const BingoWindow *bingo = m_board->windows().bingoWindow();
    if (m_sound.rolling != (bingo && bingo->isVisible() && bingo->isDrawing()))
        return QStringLiteral("the bingo roll is %1 while %2")
            .arg(m_sound.rolling ? QStringLiteral("heard") : QStringLiteral("silent"))
            .arg(bingo && bingo->isDrawing() ? QStringLiteral("a draw runs")
                                             : QStringLiteral("no draw runs"));
    // The sound is on: every stop of this board has chimed, once.
    if (m_sound.count(Sound::Cue::Chime) != b.drawNo - 1)
        return QStringLiteral("%1 chimes for %2 stops")
            .arg(m_sound.count(Sound::Cue::Chime))
            .arg(b.drawNo - 1);
    if (m_sound.count(Sound::Cue::Fanfare) + m_sound.count(Sound::Cue::Consolation) >
        Board::Cells - b.giftsLeft)
        return QStringLiteral("more prize sounds than prizes");
    if (!g_warnings.isEmpty())
        return QStringLiteral("Qt warned: %1").arg(g_warnings.join(u'|'));
    return {};
}

void TestMonkey::newBoard()
{
    m_board.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_sound.clear();
    m_board = std::make_unique<Stage>(prizeList(), m_random);
    m_board->night().setSound(&m_sound);
    m_board->night().setClock([this] { return m_clock += 0.731; });
    connect(&m_board->boardWindow(), &BoardWindow::exitRequested, this,
            [this] { m_exited = true; });
    m_board->boardWindow().show();
    m_given.clear();
    m_lastGiftsLeft = 56;
    m_lastDrawNo = 1;
    m_exited = false;
    ++m_nights;
}

void TestMonkey::randomOperator()
{
    const quint32 seed = quint32(envNumber("ZENTAVO_MONKEY_SEED", qint64(std::random_device{}())));
    const qint64 ops = envNumber("ZENTAVO_MONKEY_OPS", 20000);
    qInfo("monkey seed %u, %lld operations", seed, ops);
    m_rng.seed(seed);
    Prompt::setRefuseHandler([](QWidget *, const QString &) {});
    // Yes to the second round, so that it keeps being played; no to every close.
    Prompt::setConfirmHandler([](QWidget *, const QString &text) {
        return text == QStringLiteral("確定要開始第二輪抽獎嗎?");
    });
    AboutBox::setLinkOpener([](const QUrl &) {});
    newBoard();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    // The sound on, through the program's own output: loaded under the watch for warnings.
    m_sound.alsoTo = &m_audio;
    m_audio.load();
    for (qint64 n = 0; n < ops; ++n) {
        Op op;
        // A running light mostly just ticks, so that spins end and cards get drawn.
        if (m_board->night().board().timer1Enabled && below(20) != 0) {
            m_board->night().tick();
            op = OpCount;
        } else {
            // Lean towards what moves a night on, so that whole nights get played.
            const Board &b = m_board->night().board();
            if (b.awaitingPrize && below(3) == 0)
                op = below(2) ? Chance : Fate;
            else if (!b.awaitingPrize && !b.timer1Enabled && below(3) == 0)
                op = Start;
            else if (m_board->windows().prizeWindow() && below(4) == 0)
                op = PrizeOk;
            else if (m_board->windows().closingPicture() && below(4) == 0)
                op = PictureClick;
            else
                op = Op(below(OpCount));
            operate(op);
        }
        const QString fault = check();
        if (!fault.isEmpty()) {
            qInstallMessageHandler(previous);
            QFAIL(qPrintable(QStringLiteral("seed %1, operation %2 (kind %3): %4")
                                 .arg(seed)
                                 .arg(n)
                                 .arg(int(op))
                                 .arg(fault)));
        }
        // The program ended, or a night is over: go on with a fresh board.
        const bool nightOver = m_board->night().board().giftsLeft == 0 &&
                               !m_board->windows().prizeWindow() &&
                               !m_board->windows().closingPicture();
        if (m_exited || nightOver)
            newBoard();
    }
    qInstallMessageHandler(previous);
    qInfo("boards: %d, cards drawn: %lld; sound %s", m_nights, m_cards,
          m_audio.isOpen() ? "heard" : "through no output");
    QVERIFY(ops < 5000 || m_cards > 56);
    m_board.reset();
    Prompt::setRefuseHandler({});
    Prompt::setConfirmHandler({});
    AboutBox::setLinkOpener({});
}

QTEST_MAIN(TestMonkey)
#include "test_monkey.moc"
