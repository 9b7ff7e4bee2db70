#include "bignumber.h"
#include "cellbutton.h"
#include "colourui.h"
#include "drive.h"
#include "fonts.h"
#include "gallery.h"
#include "lightlayer.h"
#include "picturefiles.h"
#include "prizeart.h"
#include "prizewindow.h"
#include "prompt.h"
#include "scriptedrandom.h"
#include "showwindow.h"
#include "teststage.h"

#include <QBackingStore>
#include <QFontInfo>
#include <QLabel>
#include <qpa/qplatformbackingstore.h>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>

// The hall's show against the night it draws: whatever the night does, the show says the same.
class TestShow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void followsTheNight_data();
    void followsTheNight();
    void asksOverTheBoardOnly_data();
    void asksOverTheBoardOnly();
    void nameUnderTheNumber_data();
    void nameUnderTheNumber();
    void longNamesWhole_data();
    void longNamesWhole();
    void pictures();
    void lightLayer_data();
    void lightLayer();
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

// What a label or a number of the show says, when it shows.
QString said(ShowWindow &show, const char *name)
{
    auto *w = show.findChild<QWidget *>(QLatin1String(name));
    auto *label = qobject_cast<QLabel *>(w);
    if (!w || !w->isVisibleTo(&show))
        return {};
    return label ? label->text() : static_cast<BigNumber *>(w)->number();
}

// Where the first line of a wrapped text stands in its box.
QRect firstLine(const QFont &font, const QRect &box, int align, const QString &text)
{
    const QFontMetrics m(font);
    QRect r = m.boundingRect(box, align | Qt::TextWordWrap, text);
    r.setHeight(m.height());
    return r;
}

// The height of the ink in the name's dark red, inside the box.
int inkHeight(const QImage &shot, const QRect &box)
{
    int first = -1, last = -1;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (shot.pixelColor(x, y).red() > 128 && shot.pixelColor(x, y).green() < 64) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

void take(Stage &w, Step step)
{
    const auto is = [step](std::initializer_list<Step> steps) {
        return std::find(steps.begin(), steps.end(), step) != steps.end();
    };
    // The projector plugged in again while the prize waits.
    if (step == Step::ShowAfterCard)
        w.windows().closeShow();
    if (step == Step::Running) {
        w.boardWindow().start();
        for (int i = 0; i < 5; ++i)
            w.night().tick();
    }
    if (is({Step::Stop, Step::Card, Step::ShowAfterCard, Step::Confirmed, Step::Consolation,
            Step::Black}))
        Drive::spinToStop(w);
    if (is({Step::Card, Step::ShowAfterCard}))
        w.boardWindow().drawCard(Board::Fate);
    if (is({Step::Confirmed, Step::Consolation})) {
        w.boardWindow().drawCard(Board::Chance);
        w.windows().prizeWindow()->finishOpening();
        w.windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    }
    if (step == Step::ShowAfterCard)
        w.windows().openShow(QGuiApplication::primaryScreen(), false);
    if (step == Step::SecondRound)
        w.night().startSecondRound();
    if (is({Step::Bingo, Step::BingoClosed})) {
        w.windows().openBingo();
        w.night().restoreBingo({3, 17, 9}, false);
    }
    if (step == Step::BingoClosed) {
        w.night().closeBingo();
        delete w.windows().bingoWindow();
    }
    if (step == Step::Finale)
        Drive::toFinale(w);
    if (step == Step::Black)
        w.night().blackOut();
    QCoreApplication::processEvents();
}
} // namespace

void TestShow::initTestCase()
{
    Fonts::installSubstitutions();
    Prompt::setRefuseHandler([](QWidget *, const QString &t) { QFAIL(qPrintable(t)); });
    Prompt::setConfirmHandler([](QWidget *, const QString &) { return true; });
}

void TestShow::followsTheNight_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("prize");
    // What the show says: number | prize announced | round | stacks | bingo newest, others;
    // "#" is the winning number.
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("ground"); // the top-left corner

    const QColor ground(0xFF, 0xE0, 0xC0);
    const QString cash = QStringLiteral("現金 6,000 元");
    const auto row = [](const char *name, Step step, const QString &prize, const char *shown,
                        const QColor &at) {
        QTest::newRow(name) << int(step) << prize << QString::fromUtf8(shown) << at;
    };
    row("at rest", Step::Rest, cash, "||第一輪抽獎|機會-28 命運-28|", ground);
    row("the light runs: no number", Step::Running, cash, "||第一輪抽獎|機會-28 命運-28|", ground);
    row("stopped: the number large", Step::Stop, cash, "#||第一輪抽獎|機會-28 命運-28|", ground);
    row("a card: the prize announced with the number", Step::Card, cash,
        "#|現金 6,000 元|第一輪抽獎|機會-28 命運-27|", ground);
    row("opened while a prize waits: announced again", Step::ShowAfterCard, cash,
        "#|現金 6,000 元|第一輪抽獎|機會-28 命運-27|", ground);
    row("confirmed: both gone, one card fewer", Step::Confirmed, cash,
        "||第一輪抽獎|機會-27 命運-28|", ground);
    row("a consolation prize: its number held", Step::Consolation, QStringLiteral("普獎紀念獎"),
        "||第一輪抽獎|機會-27 命運-28|", ground);
    row("the second round", Step::SecondRound, cash, "||第二輪抽獎|機會-28 命運-28|", ground);
    row("bingo: the newest large, the others in order", Step::Bingo, cash, "||第一輪抽獎||9 3 17",
        ground);
    row("bingo closed: the stacks again", Step::BingoClosed, cash, "||第一輪抽獎|機會-28 命運-28|",
        ground);
    row("the finale on its red ground", Step::Finale, cash, "||||", QColor(Qt::red));
    row("the black screen", Step::Black, cash, "||||", QColor(Qt::black));
}

void TestShow::followsTheNight()
{
    QFETCH(int, step);
    QFETCH(QString, prize);
    QFETCH(QString, shown);
    QFETCH(QColor, ground);

    TestStage w(QStringList(Board::Cells, prize), {ScriptedRandom::forPick(4, 56)});
    w.boardWindow().show();
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    take(w, Step(step));
    ShowWindow &show = *w.windows().showWindow();
    Announcement *panel = show.announcement();
    if (panel)
        panel->finishGrowing();

    const Board &board = w.night().board();
    const QStringList expected = shown.split(QLatin1Char('|'));
    const QString number = expected[0];
    // An announcement carries the number itself, with nothing of the stop's beneath it.
    QCOMPARE(panel ? panel->number() : said(show, "ShowNumber"),
             number == QStringLiteral("#") ? QString::number(board.stopCell + 1) : number);
    if (panel)
        QCOMPARE(said(show, "ShowNumber"), QString());
    else if (!number.isEmpty())
        QVERIFY(show.findChild<BigNumber *>(QStringLiteral("ShowNumber"))->inkRect().height() >=
                show.height() / 8.0);
    QCOMPARE(panel ? panel->prize() : QString(), expected[1]);
    if (panel) {
        QVERIFY(QFontInfo(panel->prizeFont()).pixelSize() >= show.height() / 15);
        QVERIFY(!panel->isWindow());
        // Across the show, wherever its screen lies on the desktop.
        QVERIFY(qAbs(panel->geometry().center().x() - show.width() / 2) <= 2);
    }
    QCOMPARE(said(show, "ShowRound"), expected[2]);
    const QString both = said(show, "ShowStack0") + QLatin1Char(' ') + said(show, "ShowStack1");
    QCOMPARE(both.trimmed(), expected[3]);
    const QString gap = QStringLiteral("\u3000 ");
    const QString bingo = said(show, "ShowBingoNewest") + QLatin1Char(' ') +
                          said(show, "ShowBingoTaken").replace(gap, QStringLiteral(" "));
    QCOMPARE(bingo.trimmed(), expected[4]);
    if (!expected[4].isEmpty()) {
        const QFont taken = show.findChild<QLabel *>(QStringLiteral("ShowBingoTaken"))->font();
        QVERIFY(QFontInfo(taken).pixelSize() >= show.height() / 15);
        // Read from the back, the numbers stay apart: a gap as wide as a character.
        QVERIFY(QFontMetrics(taken).horizontalAdvance(gap) >= QFontInfo(taken).pixelSize());
    }
    // Every cell in the board's own colour, as drawn.
    const QImage shot = show.grab().toImage();
    QCOMPARE(shot.pixelColor(2, 2), ground);
    if (ground != QColor(0xFF, 0xE0, 0xC0))
        return;
    for (int i = 0; i < Board::Cells; ++i) {
        const QColor colour = Colour::toQColor(board.cells[std::size_t(i)], show.palette());
        const QPoint at = show.cellRect(i).topLeft() + QPoint(3, 3);
        // The announcement grows over the ring's top.
        if (panel && panel->geometry().contains(at))
            continue;
        QVERIFY2(shot.pixelColor(at) == colour, qPrintable(QStringLiteral("cell %1").arg(i)));
    }
}

// Over the board the show asks in its line, clear of the number; with a desk of its own the
// operator reads the question there and the hall sees only the night.
void TestShow::asksOverTheBoardOnly_data()
{
    QTest::addColumn<bool>("over");
    QTest::addColumn<bool>("stop"); // asked for a card at a stop, else for the round
    QTest::newRow("over the board: the round") << true << false;
    QTest::newRow("over the board: a card, named") << true << true;
    QTest::newRow("beside: a card") << false << true;
}

void TestShow::asksOverTheBoardOnly()
{
    QFETCH(bool, over);
    QFETCH(bool, stop);
    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    w.night().setGuests({{5, {QStringLiteral("林美玲"), QStringLiteral("第 3 桌")}}});
    w.windows().openShow(QGuiApplication::primaryScreen(), !over);
    if (stop)
        Drive::spinToStop(w);
    else
        w.night().board().cells.fill(Cell::Excluded);
    w.night().ask(stop ? Presenter::Question::Card : Presenter::Question::SecondRound);
    QCOMPARE(w.night().line().isEmpty(), false);
    ShowWindow &show = *w.windows().showWindow();
    auto *line = show.findChild<QLabel *>(QStringLiteral("ShowLine"));
    QCOMPARE(line->isVisibleTo(&show), over);
    if (!over || !stop)
        return;
    const auto *number = show.findChild<BigNumber *>(QStringLiteral("ShowNumber"));
    QVERIFY(number->isVisibleTo(&show));
    const QRect ink = number->inkRect().toAlignedRect().translated(number->pos());
    QVERIFY(!line->geometry().intersects(ink));
    QVERIFY(!line->geometry().intersects(
        show.findChild<QLabel *>(QStringLiteral("ShowName"))->geometry()));
}

// With a guest list the winner's name stands under the number, large enough for the back
// row, until the prize is confirmed; without one the show is as it was.
void TestShow::nameUnderTheNumber_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("shown");
    QTest::newRow("no list") << false << int(Step::Stop) << false;
    QTest::newRow("stopped") << true << int(Step::Stop) << true;
    QTest::newRow("a card: in the announcement") << true << int(Step::Card) << false;
    QTest::newRow("confirmed") << true << int(Step::Confirmed) << false;
}

void TestShow::nameUnderTheNumber()
{
    QFETCH(bool, named);
    QFETCH(int, step);
    QFETCH(bool, shown);
    TestStage plain(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    plain.windows().openShow(QGuiApplication::primaryScreen(), false);
    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    QMap<int, Guest> list;
    for (int n = 1; n <= 56; ++n)
        list[n] = {QStringLiteral("林美玲%1").arg(n), QStringLiteral("第 3 桌")};
    list[7].name = QStringLiteral("<b>林</b>&amp;"); // a list is no place for markup
    if (named)
        w.night().setGuests(list);
    w.boardWindow().show();
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    take(w, Step(step));
    ShowWindow &show = *w.windows().showWindow();
    auto *name = show.findChild<QLabel *>(QStringLiteral("ShowName"));
    QCOMPARE(name->isVisibleTo(&show), shown);
    if (show.announcement())
        QCOMPARE(show.announcement()->guest(),
                 named ? list[w.night().prize().cell + 1].text() : QString());
    // On the desk, each cell says whom it stands for, as written, never as markup.
    const QString tip = w.boardWindow().cell(6)->toolTip();
    QCOMPARE(Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip,
             named ? list[7].text() : QString());
    const auto *number = show.findChild<BigNumber *>(QStringLiteral("ShowNumber"));
    if (!named)
        QCOMPARE(number->geometry(), plain.windows()
                                         .showWindow()
                                         ->findChild<BigNumber *>(QStringLiteral("ShowNumber"))
                                         ->geometry());
    if (!shown)
        return;
    // On two lines where one would leave a Chinese name's ink under a fifteenth.
    QCOMPARE(name->text().remove(u'\n'), list[w.night().shownNumber()].text());
    QVERIFY(QFontInfo(name->font()).pixelSize() >= show.height() / 15);
    QVERIFY(!name->geometry().intersects(number->geometry()));
    for (const QString &line : name->text().split(u'\n'))
        QVERIFY(QFontMetrics(name->font()).horizontalAdvance(line) <= name->width());
}

// A long name is shown whole on the show, under the number and in the announcement, on the
// smallest screen and on a large one, on one line or two in at least a fifteenth of the
// height; the list refuses only what two lines of that cannot hold, and says which part.
void TestShow::longNamesWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("department");
    QTest::addColumn<QString>("tooLong"); // empty: shown whole; else the part refused

    const auto row = [](const char *rowName, const char *name, const char *department,
                        const char *tooLong = "") {
        QTest::newRow(rowName) << QString::fromUtf8(name) << QString::fromUtf8(department)
                               << QString::fromLatin1(tooLong);
    };
    row("Latin, 22 characters", "Christopher Montgomery", "");
    row("Latin with accents", "Nguyễn Thị Minh Khai", "");
    row("accents, hyphen, department", "Maria José García-Fernández", "研發部");
    row("eight Han characters", "歐陽春花秋月夏雨", "");
    row("Han and Latin, department", "新Alice Wang", "研發部");
    row("comma", "Chen, Mei-Hua", "業務部");
    row("Latin, 39 characters", "Alexander Christopher Montgomery-Whitby", "");
    row("Latin, 39 characters: no room left for a department",
        "Alexander Christopher Montgomery-Whitby", "研發部", "department");
    row("Han, a long department", "愛新覺羅溥儀", "資訊技術服務處系統整合課");
    row("Han, 24 characters", "歐陽春花秋月夏雨歐陽春花秋月夏雨歐陽春花秋月夏雨", "");
    row("Han, 40 characters",
        "歐陽春花秋月夏雨歐陽春花秋月夏雨歐陽春花秋月夏雨歐陽春花秋月夏雨歐陽春花秋月夏雨", "",
        "name");
    row("a short name, a department too long", "林美玲",
        "研發部第一處第二課第三組第四小隊第五分隊第六班第七排第八列第九桌", "department");
}

void TestShow::longNamesWhole()
{
    QFETCH(QString, name);
    QFETCH(QString, department);
    QFETCH(QString, tooLong);
    const Guest guest{name, department};
    const auto refused = ShowWindow::tooLong(guest);
    QCOMPARE(refused.has_value(), !tooLong.isEmpty());
    if (refused) {
        QCOMPARE(*refused == GuestPart::Name ? QStringLiteral("name")
                                             : QStringLiteral("department"),
                 tooLong);
        return;
    }
    // Inside its box, nothing left out, on two lines at most.
    const auto whole = [&](const QFont &font, const QString &text, const QRect &box, int align) {
        const QRect needed = QFontMetrics(font).boundingRect(box, align | Qt::TextWordWrap, text);
        return box.contains(needed) && QString(text).remove(u'\n').endsWith(guest.text()) &&
               text.count(u'\n') <= 1;
    };

    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    QMap<int, Guest> list;
    for (int n = 1; n <= 56; ++n)
        list[n] = guest;
    w.night().setGuests(list);
    w.boardWindow().show();
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    ShowWindow &show = *w.windows().showWindow();
    Drive::spinToStop(w);
    QCoreApplication::processEvents();
    // On the desk, the board's line shrinks to its one line.
    const auto *line = w.boardWindow().findChild<QLabel *>(QStringLiteral("GuestLine"));
    QVERIFY(line->text().endsWith(guest.text()));
    QVERIFY(QFontMetricsF(line->font()).horizontalAdvance(line->text()) <= line->width());

    auto *label = show.findChild<QLabel *>(QStringLiteral("ShowName"));
    const auto *number = show.findChild<BigNumber *>(QStringLiteral("ShowNumber"));
    for (const QSize screen : {QSize(1920, 1080), QSize(1024, 768)}) {
        const QByteArray at =
            QByteArray::number(screen.width()) + "x" + QByteArray::number(screen.height());
        show.resize(screen);
        QCoreApplication::processEvents();
        QCOMPARE(show.size(), screen);
        // Under the number.
        QVERIFY2(QFontInfo(label->font()).pixelSize() >= screen.height() / 15, at);
        QVERIFY2(whole(label->font(), label->text(), label->contentsRect(), Qt::AlignCenter), at);
        QVERIFY2(!label->geometry().intersects(number->geometry()), at);
        if (screen.height() == 1080)
            QVERIFY2(inkHeight(label->grab().toImage(),
                               firstLine(label->font(), label->rect(), Qt::AlignCenter,
                                         label->text())) >= 1080 / 15,
                     at);
        // In the announcement, never in smaller type than the prize.
        QWidget over;
        over.resize(screen);
        Announcement panel(&over);
        panel.announce(QStringLiteral("56"), QStringLiteral("現金 6,000 元"), guest);
        const PrizeArt::HallLayout &l = panel.layout();
        QVERIFY2(l.guestFont.pointSizeF() >= l.prizeFont.pointSizeF(), at);
        QVERIFY2(QFontInfo(l.guestFont).pixelSize() >= screen.height() / 15, at);
        QVERIFY2(whole(l.guestFont, l.guestText, l.guest, Qt::AlignLeft | Qt::AlignVCenter), at);
        // On a projector of 1080 lines, what the back row reads: 72 rows of ink or more.
        panel.finishGrowing();
        if (screen.height() == 1080)
            QVERIFY2(inkHeight(panel.grab().toImage(),
                               firstLine(l.guestFont, l.guest, Qt::AlignLeft | Qt::AlignVCenter,
                                         l.guestText)) >= 1080 / 15,
                     at);
    }
    // The desk's prize window at its design size: shrunk, or wrapped where it has room.
    w.boardWindow().drawCard(Board::Fate);
    PrizeWindow *prize = w.windows().prizeWindow();
    prize->finishOpening();
    const auto *desk = prize->findChild<QLabel *>(QStringLiteral("Guest"));
    QVERIFY(
        whole(desk->font(), desk->text(), desk->contentsRect(), Qt::AlignLeft | Qt::AlignVCenter));
}

// The running light goes on from its layer and off from the window's own store, neither drawn:
// after every step, what the two put together is the night, whatever happened meanwhile.
void TestShow::lightLayer_data()
{
    QTest::addColumn<int>("from");          // steps taken before looking
    QTest::addColumn<QString>("meanwhile"); // done before the steps looked at
    QTest::addColumn<int>("drawn");         // at most this many paints of the show in 10 steps

    QTest::newRow("first round: each cell drawn as the light first leaves it") << 0 << "" << 10;
    QTest::newRow("after it: nothing drawn") << 60 << "" << 0;
    // Drawn whole once, and then the cell that was lit in it as the light leaves.
    QTest::newRow("black and back") << 60 << "black" << 2;
    QTest::newRow("resized: faces drawn anew") << 60 << "resize" << 2;
}

void TestShow::lightLayer()
{
    QFETCH(int, from);
    QFETCH(QString, meanwhile);
    QFETCH(int, drawn);

    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56)});
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    ShowWindow &show = *w.windows().showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&show));
    // One step and its repaint; a real screen takes a moment to ask for it.
    const int wait = QGuiApplication::platformName() == QStringLiteral("offscreen") ? 0 : 20;
    const auto step = [&] {
        w.night().tick();
        w.night().spinTimer().stop();
        QTest::qWait(wait);
    };
    QTRY_VERIFY(show.lightLayer()); // ready before the first spin
    w.boardWindow().start();
    for (int i = 0; i < from; ++i)
        step();
    if (meanwhile == QStringLiteral("black")) {
        w.night().blackOut();
        step();
        w.night().endBlackOut();
    }
    if (meanwhile == QStringLiteral("resize"))
        show.resize(show.width() / 2, show.height() / 2);
    QTest::qWait(wait);

    struct Counter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    const Board &board = w.night().board();
    // The first cell other than the light's that is not as the night has it, in an image of the
    // window placed at `at`; -1 when none.
    const auto amiss = [&](const QImage &image, QPoint at, int light) {
        for (int i = 0; i < Board::Cells; ++i)
            if (i != light && image.pixelColor(at + show.cellRect(i).topLeft() + QPoint(3, 3)) !=
                                  Colour::toQColor(board.cells[std::size_t(i)], show.palette()))
                return i;
        return -1;
    };
    const auto rgb = [](const QImage &i) { return i.convertToFormat(QImage::Format_RGB32); };
    for (int looked = 0; looked < 10; ++looked) {
        show.installEventFilter(&counter);
        step();
        show.removeEventFilter(&counter);
        const int light = board.stopCell;
        QCOMPARE(show.layeredLight(), light);
        QCOMPARE(amiss(show.backingStore()->handle()->toImage(), {}, light), -1);
        // The lit face is the show's own drawing of the lit cell.
        const QImage layer = show.lightLayer()->store().handle()->toImage();
        const QImage face = rgb(layer.copy(show.lightLayer()->face(light)));
        QCOMPARE(face, rgb(show.grab(show.cellRect(light)).toImage()));
        // On a real screen (X11 and Windows, run so by the suites too), both put together.
        if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
            continue;
        const QImage screen = show.screen()->grabWindow(0).toImage();
        const QPoint at = show.mapToGlobal(QPoint()) - show.screen()->geometry().topLeft();
        QCOMPARE(amiss(screen, at, light), -1);
        QCOMPARE(rgb(screen.copy(show.cellRect(light).translated(at))), face);
    }
    QVERIFY2(counter.paints <= drawn, qPrintable(QString::number(counter.paints)));

    Drive::spinToStop(w);
    QCOMPARE(show.layeredLight(), -1);
}

void TestShow::pointerHides()
{
    TestStage w(Drive::prizes());
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    ShowWindow &show = *w.windows().showWindow();
    QCOMPARE(show.cursor().shape(), Qt::ArrowCursor);
    QTRY_COMPARE(show.cursor().shape(), Qt::BlankCursor);
    QTest::mouseMove(&show, QPoint(100, 100));
    QCOMPARE(show.cursor().shape(), Qt::ArrowCursor);
}

// The logo while no number is up, the winner's photo from the stop; a logo checked anew while
// the light runs is not read before it stops, one read before still shows.
void TestShow::pictures()
{
    QTemporaryDir dir;
    writePicture(dir.path(), QStringLiteral("logo.png"));
    writePicture(dir.path(), QStringLiteral("photos/王美玲.png"), {450, 600});
    TestStage w(Drive::prizes(), {ScriptedRandom::forPick(4, 56), ScriptedRandom::forPick(0, 55)});
    QMap<int, Guest> list;
    for (int n = 1; n <= 56; ++n)
        list[n] = {QStringLiteral("王美玲"), {}};
    w.night().setGuests(list);
    w.night().setGallery(Gallery::scan(dir.path()));
    w.boardWindow().show();
    w.windows().openShow(QGuiApplication::primaryScreen(), false);
    ShowWindow &show = *w.windows().showWindow();
    auto *logo = show.findChild<QLabel *>(QStringLiteral("ShowLogo"));
    auto *photo = show.findChild<QLabel *>(QStringLiteral("ShowPhoto"));
    const auto shown = [&] {
        return QPair<bool, bool>(logo->isVisibleTo(&show) && !logo->pixmap().isNull(),
                                 photo->isVisibleTo(&show) && !photo->pixmap().isNull());
    };
    QCOMPARE(shown(), qMakePair(true, false));
    Drive::spinToStop(w);
    QCOMPARE(shown(), qMakePair(false, true));
    // Portrait, fitted whole.
    QVERIFY(qAbs(photo->pixmap().width() * 4 - photo->pixmap().height() * 3) <= 4);
    w.boardWindow().discardStop();
    QCOMPARE(shown(), qMakePair(true, false));
    const qint64 logoKey = logo->pixmap().cacheKey();

    w.boardWindow().start();
    writePicture(dir.path(), QStringLiteral("logo.png"), {800, 200});
    QFile::rename(QDir(dir.path()).filePath(QStringLiteral("logo.png")),
                  QDir(dir.path()).filePath(QStringLiteral("logo.jpg")));
    w.night().setGallery(Gallery::scan(dir.path()));
    w.night().tick();
    QCOMPARE(shown(), qMakePair(true, false));
    QCOMPARE(logo->pixmap().cacheKey(), logoKey);
    while (w.night().board().timer1Enabled)
        w.night().tick();
    w.boardWindow().discardStop();
    QCOMPARE(shown(), qMakePair(true, false));
    QVERIFY(qAbs(logo->pixmap().width() - logo->pixmap().height() * 4) <= 4); // the new one
}

QTEST_MAIN(TestShow)
#include "test_show.moc"
