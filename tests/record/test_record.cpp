#include "boarddump.h"
#include "cellbutton.h"
#include "form1.h"
#include "form2.h"
#include "journal.h"
#include "nightrecord.h"
#include "prompt.h"
#include "random.h"
#include "recordcontroller.h"
#include "recordwindow.h"

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
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList prizeList()
{
    QStringList l;
    for (int i = 1; i <= 56; ++i)
        l << (i % 2 ? QStringLiteral("第%1號紀念獎").arg(i) : QStringLiteral("大獎%1").arg(i));
    return l;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What the operator sees of the board, beside the rules' state.
QStringList widgetDump(Form1 &w)
{
    QStringList out;
    for (int i = 0; i < Board::Cells; ++i)
        out << QStringLiteral("Number(%1) %2 %3")
                   .arg(i)
                   .arg(w.number(i)->backColour(), 8, 16)
                   .arg(w.picture1(i)->isVisibleTo(&w));
    out << w.findChild<QLabel *>(QStringLiteral("Label3"))->text();
    for (int i = 0; i < 2; ++i)
        out << w.findChild<QGroupBox *>(QStringLiteral("Frame2(%1)").arg(i))->title()
            << QString::number(w.command1(i)->isEnabled());
    out << QStringLiteral("start %1").arg(w.startButton()->isEnabled())
        << QStringLiteral("round2 %1")
               .arg(w.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
    return out;
}

struct Moment
{
    QStringList board;
    QStringList widgets;
    QList<NightRecord::Entry> record;
};

QList<QStringList> parseTsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString &l : lines)
        rows << l.split(u'\t');
    return rows;
}

// RFC 4180: quoted fields, doubled quotes, CR LF between records.
QList<QStringList> parseCsv(const QString &text)
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
        } else if (c == u',') {
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
} // namespace

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
    void menuEntryAndLiveWindow();
    void unwritableJournalWarnsOnce();
    void closeBoxSaysWhetherTheNightIsKept_data();
    void closeBoxSaysWhetherTheNightIsKept();
    void journalStaysOffTheMovingLight();
    void opensAtBoardScale_data();
    void opensAtBoardScale();
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
    std::unique_ptr<Form1> m_board;
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
    m_board = std::make_unique<Form1>(prizeList(), *m_random);
    double seconds = 1000;
    m_board->setClock([seconds]() mutable { return seconds += 7.25; });
    m_controller =
        std::make_unique<RecordController>(*m_board, prizeList(), m_giftPath, m_journalPath);
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
    m_moments.append({boardDump(m_board->board()), widgetDump(*m_board),
                      m_controller->keeper().record().entries()});
}

void TestRecord::spin()
{
    QTest::mouseClick(m_board->startButton(), Qt::LeftButton);
    while (m_board->board().timer1Enabled)
        m_board->timer1Tick();
    note();
}

void TestRecord::card(int stack)
{
    QTest::mouseClick(m_board->command1(stack), Qt::LeftButton);
    m_board->prizeWindow()->finishOpening();
    QTest::mouseClick(m_board->prizeWindow()->findChild<QPushButton *>(QStringLiteral("Command1")),
                      Qt::LeftButton);
    flushDeletes();
    note();
}

// Stops with cards of both stacks, consolation prizes, a discard by "重新搖獎", right
// clicks, and the change of round while a stop waits for its card.
void TestRecord::playNight()
{
    Form1 &w = *m_board;
    spin();
    card(Board::Chance);
    spin();
    card(Board::Fate);
    spin();
    w.findChild<QAction *>(QStringLiteral("redraw"))->trigger();
    note();
    const int idle = int(std::find(w.board().cells.begin(), w.board().cells.end(), Cell::Idle) -
                         w.board().cells.begin());
    QTest::mouseClick(w.number(idle), Qt::RightButton);
    note();
    QTest::mouseClick(w.number(idle), Qt::RightButton);
    note();
    spin();
    card(Board::Chance);
    spin();
    w.findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
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
    QObject::connect(m_board.get(), &Form1::boardChanged, [&](BoardChange c, int index) {
        if (c == BoardChange::Correction)
            corrected << index + 1;
        if (c == BoardChange::Stop)
            numbers << m_board->board().stopCell + 1;
        if (c == BoardChange::Card)
            prizes << m_board->board().drawnGift;
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
        {K::Stop, 1, numbers[0], 1, Board::Chance, prizes[0], at(1), {}},
        {K::Stop, 2, numbers[1], 1, Board::Fate, prizes[1], at(3), {}},
        {K::Discarded, 3, numbers[2], 1, -1, {}, at(5), {}},
        {K::Correction, 0, corrected.value(0), 1, -1, {}, at(7), QStringLiteral("未抽 → 中獎")},
        {K::Correction, 0, corrected.value(0), 1, -1, {}, at(8), QStringLiteral("中獎 → 保留")},
        {K::Stop, 4, numbers[3], 1, Board::Chance, prizes[2], at(9), {}},
        {K::Discarded, 5, numbers[4], 1, -1, {}, at(11), {}},
        {K::Stop, 6, numbers[5], 2, Board::Fate, prizes[3], at(13), {}},
        {K::Stop, 7, numbers[6], 2, Board::Fate, prizes[4], at(15), {}},
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
    QList<qsizetype> ends; // end of the header, then of every entry
    for (qsizetype at = journal.indexOf('\n'); at >= 0; at = journal.indexOf('\n', at + 1))
        ends << at + 1;
    QCOMPARE(ends.size(), m_moments.size() + 1);

    for (int k = 0; k < int(m_moments.size()); ++k) {
        for (bool torn : {false, true}) {
            const QString where = QStringLiteral("after entry %1%2")
                                      .arg(k + 1)
                                      .arg(torn ? QStringLiteral(", next one torn") : QString());
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("night.journal"));
            QByteArray cut = journal.left(ends[k + 1]);
            if (torn && k + 2 < ends.size())
                cut += journal.mid(ends[k + 1], (ends[k + 2] - ends[k + 1]) / 2);
            writeFile(path, cut);
            m_questions.clear();
            Random random;
            Form1 w(prizeList(), random);
            RecordController rc(w, prizeList(), m_giftPath, path);
            rc.offerResume();
            QCOMPARE(m_questions.size(), 1);
            const qint64 stops = w.board().drawNo - 1;
            QCOMPARE(m_questions[0],
                     QStringLiteral("上次的抽獎尚未結束（已搖出 %1 次）。要繼續上次的抽獎嗎?")
                         .arg(stops));
            const Moment &live = m_moments[k];
            const QStringList board = boardDump(w.board());
            for (qsizetype i = 0; i < board.size(); ++i)
                QVERIFY2(
                    board[i] == live.board[i],
                    qPrintable(where + u' ' + board[i] + QStringLiteral(" != ") + live.board[i]));
            QCOMPARE(widgetDump(w), live.widgets);
            QVERIFY2(rc.keeper().record().entries() == live.record, qPrintable(where));
            QCOMPARE(readFile(path), journal.left(ends[k + 1])); // a torn tail is cut off
        }
    }
}

void TestRecord::resumedJournalGoesOn()
{
    playNight();
    const QByteArray journal = readFile(m_journalPath);
    const qsizetype cut = journal.size() - 40; // the last entry torn
    writeFile(m_journalPath, journal.left(cut));
    const QList<NightRecord::Entry> before = m_moments[m_moments.size() - 2].record;

    Random random;
    Form1 w(prizeList(), random);
    RecordController rc(w, prizeList(), m_giftPath, m_journalPath);
    rc.offerResume();
    QCOMPARE(rc.keeper().record().entries(), before);
    QVERIFY(w.board().awaitingPrize); // the last stop waits for its card again
    QTest::mouseClick(w.command1(Board::Chance), Qt::LeftButton);
    w.prizeWindow()->finishOpening();

    const Journal::Contents back = Journal::read(readFile(m_journalPath), prizeList());
    QVERIFY(!back.damaged);
    QCOMPARE(back.entries.size(), m_moments.size());
    QCOMPARE(boardDump(back.entries.last().state), boardDump(w.board()));
    QCOMPARE(back.entries.last().change, BoardChange::Card);
}

void TestRecord::answerNoKeepsTheOldJournal()
{
    spin();
    const QByteArray journal = readFile(m_journalPath);
    m_answer = false;
    Random random;
    Form1 w(prizeList(), random);
    RecordController rc(w, prizeList(), m_giftPath, m_journalPath);
    rc.offerResume();
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(w.board().drawNo, 1);
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
    m_controller->showRecord();
    RecordWindow *win = m_controller->recordWindow();
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
    QTest::addColumn<QString>("inTsv");
    QTest::newRow("plain") << QStringLiteral("電視機") << QStringLiteral("電視機");
    QTest::newRow("comma") << QStringLiteral("筆電,滑鼠") << QStringLiteral("筆電,滑鼠");
    QTest::newRow("quotes") << QStringLiteral("\"特\"獎") << QStringLiteral("\"特\"獎");
    QTest::newRow("tab") << QStringLiteral("A\tB") << QStringLiteral("A B");
    QTest::newRow("blanks kept") << QStringLiteral("  獎 ") << QStringLiteral("  獎 ");
    QTest::newRow("empty prize") << QString() << QString();
}

void TestRecord::exportQuoting()
{
    QFETCH(QString, prize);
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
    QCOMPARE(csv[1], row);
    QStringList tsvRow = row;
    tsvRow[4] = inTsv;
    QCOMPARE(parseTsv(r.toTsv()).value(1), tsvRow);
}

void TestRecord::menuEntryAndLiveWindow()
{
    QMenu *view = m_board->viewMenu();
    QCOMPARE(m_board->menuBar()->actions().last(), view->menuAction());
    QAction *entry = m_board->findChild<QAction *>(QStringLiteral("record"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("抽獎紀錄"));
    QCOMPARE(entry->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QVERIFY(view->actions().contains(entry));
    QCOMPARE(m_board->menuBar()->actions().size(), 3); // 遊戲, 關於Zentavo, 檢視

    m_board->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_board.get()));
    QTest::keyClick(m_board.get(), Qt::Key_L, Qt::ControlModifier);
    RecordWindow *win = m_controller->recordWindow();
    QVERIFY(win && win->isVisible());
    QCOMPARE(win->table()->rowCount(), 0);
    spin();
    QCOMPARE(win->table()->rowCount(), 1);
    QCOMPARE(win->table()->item(0, 1)->text(), QString::number(m_board->board().stopCell + 1));
    card(Board::Fate);
    QCOMPARE(win->table()->item(0, 3)->text(), QStringLiteral("命運"));
    entry->trigger();
    QCOMPARE(m_controller->recordWindow(), win); // brought forward, not made again
}

void TestRecord::unwritableJournalWarnsOnce()
{
    // A folder where the journal's folder should be is a file: nothing can be written.
    writeFile(m_dir->filePath(QStringLiteral("blocked")), "x");
    m_controller.reset();
    m_controller = std::make_unique<RecordController>(
        *m_board, prizeList(), m_giftPath,
        m_dir->filePath(QStringLiteral("blocked/night.journal")));
    spin();
    QVERIFY(m_refusals.isEmpty()); // not before the stop is on screen
    QCoreApplication::processEvents();
    QCOMPARE(m_refusals.size(), 1);
    QVERIFY(m_refusals[0].startsWith(QStringLiteral("無法寫入抽獎紀錄檔")));
    card(Board::Chance);
    spin();
    QCoreApplication::processEvents();
    QCOMPARE(m_refusals.size(), 1);
    QCOMPARE(m_controller->keeper().record().entries().size(), 2); // the record goes on
    QCOMPARE(m_board->board().drawNo, 3);
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
    // The next start begins a fresh night.
    QTest::newRow("after the closing picture") << false << true << lost;
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
            *m_board, prizeList(), m_giftPath,
            m_dir->filePath(QStringLiteral("blocked/night.journal")));
    }
    m_board->show();
    spin();
    card(Board::Chance);
    if (closingPicture)
        Q_EMIT m_board->boardChanged(BoardChange::Closing, 0);
    QCoreApplication::processEvents();
    m_questions.clear();
    m_answer = false;
    QVERIFY(!m_board->close());
    QCOMPARE(m_questions, QStringList{question});
}

void TestRecord::journalStaysOffTheMovingLight()
{
    spin();
    card(Board::Chance);
    const auto journalSize = [this] { return QFileInfo(m_journalPath).size(); };
    const qint64 before = journalSize();
    QVERIFY(before > 0);
    QTest::mouseClick(m_board->startButton(), Qt::LeftButton);
    int steps = 0;
    while (m_board->board().timer1Enabled) {
        QCOMPARE(journalSize(), before);
        m_board->timer1Tick();
        ++steps;
    }
    QVERIFY(steps > 100);
    QVERIFY(journalSize() > before); // the stop itself is written
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
    m_board->show();
    m_board->resize(client.width(), client.height() + m_board->menuBar()->height());
    QTRY_COMPARE(m_board->centralWidget()->size(), client);
    QCOMPARE(m_board->scale(), s);
    spin();
    card(Board::Chance);

    m_controller->showRecord();
    RecordWindow *win = m_controller->recordWindow();
    QCOMPARE(win->size(), QSize(760, 480) * s);
    const QPoint off = win->geometry().center() - m_board->frameGeometry().center();
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
    m_board->resize(900, 700);
    QCoreApplication::processEvents();
    m_controller->showRecord();
    QCOMPARE(m_controller->recordWindow(), win);
    QCOMPARE(win->size(), opened);
}

void TestRecord::opensAtTheTopAndClosesByKey_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("Escape") << QKeySequence(Qt::Key_Escape);
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
}

void TestRecord::opensAtTheTopAndClosesByKey()
{
    QFETCH(QKeySequence, key);
    m_board->show();
    // More stops than the window shows at once.
    for (int i = 0; i < 30; ++i) {
        spin();
        card(i % 2);
    }
    m_controller->showRecord();
    QPointer<RecordWindow> win = m_controller->recordWindow();
    QVERIFY(QTest::qWaitForWindowExposed(win.data()));
    QTableWidget *table = win->table();
    // The first row in view, every column as wide as its widest text.
    QCOMPARE(table->rowAt(0), 0);
    for (int col = 0; col < table->columnCount() - 1; ++col)
        for (int row = 0; row < table->rowCount(); ++row)
            QVERIFY(table->columnWidth(col) >=
                    table->fontMetrics().horizontalAdvance(table->item(row, col)->text()));
    QTest::keySequence(win.data(), key);
    QTRY_VERIFY(!win || !win->isVisible());
}

QTEST_MAIN(TestRecord)
#include "test_record.moc"
