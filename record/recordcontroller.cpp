#include "recordcontroller.h"

#include "form1.h"
#include "prompt.h"
#include "recordwindow.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTimer>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

RecordController::RecordController(Form1 &board, const QStringList &giftLines,
                                   const QString &giftPath, const QString &journalPath)
    : m_board(board), m_keeper(journalPath, readAll(giftPath), giftLines),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    QAction *show = m_board.viewMenu()->addAction(QStringLiteral("抽獎紀錄"));
    show->setObjectName(QStringLiteral("record"));
    show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(show, &QAction::triggered, this, &RecordController::showRecord);
    // Direct: the journal must be on disk before the board shows the change.
    connect(&m_board, &Form1::boardChanged, this, &RecordController::onBoardChanged,
            Qt::DirectConnection);
    updateCloseQuestion();
}

RecordController::~RecordController()
{
    delete m_window.data();
}

void RecordController::offerResume()
{
    switch (m_keeper.inspect()) {
    case NightKeeper::Earlier::Nothing:
        return;
    case NightKeeper::Earlier::Finished:
    case NightKeeper::Earlier::OtherPrizes:
        m_keeper.setAside();
        return;
    case NightKeeper::Earlier::Damaged: {
        const QString name = m_keeper.setAside();
        Prompt::refuse(nullptr, QStringLiteral("上次的抽獎紀錄檔已損壞，無法繼續上次的抽獎。\n"
                                               "舊的紀錄檔已改名保存：\n%1")
                                    .arg(name));
        return;
    }
    case NightKeeper::Earlier::Unfinished:
        break;
    }
    const QString question =
        QStringLiteral("上次的抽獎尚未結束（已搖出 %1 次）。要繼續上次的抽獎嗎?")
            .arg(m_keeper.earlier().stops());
    if (!Prompt::confirm(nullptr, question, Prompt::Default::Yes)) {
        m_keeper.setAside();
        return;
    }
    const bool continued = m_keeper.resume();
    m_board.restore(m_keeper.board(), m_keeper.round() == 2);
    if (!continued)
        warnJournal();
    updateCloseQuestion();
}

void RecordController::showRecord()
{
    if (!m_window) {
        m_window = new RecordWindow;
        m_window->setScale(m_board.scale());
        // Over the board, on the screen the audience sees.
        QRect place(QPoint(), m_window->size());
        place.moveCenter(m_board.frameGeometry().center());
        m_window->move(place.topLeft());
        m_window->setRecord(m_keeper.record());
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void RecordController::onBoardChanged(BoardChange change, int index)
{
    Board settled = m_board.board();
    for (int cell : m_board.pendingHeld())
        settled.markHeld(cell);
    if (!m_keeper.note(change, index, settled, m_clock()))
        // After the change is on screen: the operator should see what the warning is about.
        QTimer::singleShot(0, this, &RecordController::warnJournal);
    if (change == BoardChange::Closing)
        m_closing = true;
    updateCloseQuestion();
    if (m_window)
        m_window->setRecord(m_keeper.record());
}

void RecordController::updateCloseQuestion()
{
    // Only a journal that is being written lets the next start go on with the night.
    m_board.setCloseQuestion(m_keeper.journalBroken() || m_closing
                                 ? QString()
                                 : QStringLiteral("今晚的抽獎已保存，下次開啟時可以繼續。\n"
                                                  "確定要結束嗎?"));
}

void RecordController::warnJournal()
{
    Prompt::refuse(&m_board, QStringLiteral("無法寫入抽獎紀錄檔：\n%1\n%2\n\n"
                                            "抽獎照常進行，但程式若意外結束，"
                                            "今晚的抽獎將無法接續。")
                                 .arg(m_keeper.journalPath(), m_keeper.journalError()));
}
