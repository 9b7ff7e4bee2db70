#include "recordcontroller.h"

#include "prizelist.h"
#include "prompt.h"
#include "safefile.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {
// Only for telling an older journal's list by its bytes; read with the list's own care.
QByteArray readAll(const QString &path)
{
    return SafeFile::read(path, PrizeList::MaxBytes).bytes;
}

// What the operator needs to do when an earlier journal stays where it is.
QString notKept(const QString &path, const QString &error)
{
    return QStringLiteral("上次的抽獎紀錄檔無法改名保存：\n%1\n（%2）\n\n"
                          "為了不蓋掉它，今晚的抽獎不會寫入紀錄檔：程式若意外結束，"
                          "今晚的抽獎將無法接續。\n"
                          "若要保存今晚的抽獎，請先結束程式，把這個檔案移到別處，"
                          "或讓它所在的資料夾可以寫入，再重新開啟。")
        .arg(path, error);
}
} // namespace

RecordController::RecordController(Night &night, QWidget &desk, const QStringList &giftLines,
                                   const QString &giftPath, const QString &journalPath)
    : m_night(night), m_desk(desk), m_keeper(journalPath, readAll(giftPath), giftLines),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    // Direct: the journal must be on disk before the board shows the change.
    connect(&m_night, &Night::boardChanged, this, &RecordController::onBoardChanged,
            Qt::DirectConnection);
    connect(&m_night, &Night::changed, this, &RecordController::onNightChanged);
    updateCloseQuestion();
}

void RecordController::onNightChanged(Night::Aspects aspects)
{
    if (!(aspects & (Night::Bingo | Night::View)))
        return;
    m_keeper.setSyncLater(m_night.isSpinning());
    bool written = true;
    if (aspects & Night::Bingo)
        written = m_keeper.noteBingo({m_night.bingo().taken, m_night.bingo().drawing, m_clock()});
    if (aspects & Night::View)
        written = m_keeper.noteView(m_night.isFullScreen(), m_clock()) && written;
    if (!written)
        QTimer::singleShot(0, this, &RecordController::warnJournal);
    updateCloseQuestion();
}

void RecordController::offerResume()
{
    const NightKeeper::Earlier earlier = m_keeper.inspect();
    switch (earlier) {
    case NightKeeper::Earlier::Nothing:
        return;
    case NightKeeper::Earlier::Finished:
        setAside();
        return;
    case NightKeeper::Earlier::Damaged:
        offerNothing();
        return;
    case NightKeeper::Earlier::Unfinished:
    case NightKeeper::Earlier::OtherPrizes:
        break;
    }
    if (!Prompt::confirm(nullptr, resumeQuestion(), Prompt::Default::Yes)) {
        setAside();
        return;
    }
    const bool continued = m_keeper.resume();
    // The numbers drawn keep the names they were announced with, whatever the list says now.
    m_night.restore(m_keeper.board(), m_keeper.round() == 2, m_keeper.fullScreen(),
                    m_keeper.announced());
    m_night.resume(m_keeper.earlier().prizeOpen(), m_keeper.earlier().prizeCell(),
                   m_keeper.bingo().taken, m_keeper.bingo().drawing);
    // A damaged journal that could not be copied: the question has said it is not written.
    const bool told = m_keeper.earlier().linesLost && m_keeper.damagedCopy().isEmpty();
    if (!continued && !told)
        warnJournal();
    updateCloseQuestion();
}

QString RecordController::resumeQuestion() const
{
    const Journal::Contents &c = m_keeper.earlier();
    QStringList parts{QStringLiteral("上次的抽獎尚未結束。")};
    if (c.linesLost) {
        const QString copy = m_keeper.damagedCopy();
        parts << (copy.isEmpty()
                      ? QStringLiteral("抽獎紀錄檔有一部分已經損壞，只能恢復到下面這一次搖獎為止，"
                                       "之後的抽獎無法恢復。損壞的檔案無法另存一份（%1），"
                                       "繼續時不會寫入紀錄檔。")
                            .arg(m_keeper.damagedCopyError())
                      : QStringLiteral("抽獎紀錄檔有一部分已經損壞，只能恢復到下面這一次搖獎為止，"
                                       "之後的抽獎無法恢復。完整的檔案已另存為：\n%1")
                            .arg(copy));
    }
    // So that the operator can compare with what the room saw last.
    if (const Journal::Entry *last = c.lastStop())
        parts << QStringLiteral("最後保存的是第 %1 次搖獎：號碼 %2，時間 %3。")
                     .arg(last->state.drawNo - 1)
                     .arg(last->state.stopCell + 1)
                     .arg(last->time.toString(QStringLiteral("HH:mm:ss")));
    else
        parts << QStringLiteral("還沒有搖出任何號碼。");
    if (!c.bingo.taken.isEmpty())
        parts << QStringLiteral("賓果遊戲已經取得 %1 個號碼。").arg(c.bingo.taken.size());
    if (!c.bingo.draws.isEmpty())
        parts << QStringLiteral("之前 %1 局賓果遊戲的號碼都保存在紀錄檔裡。")
                     .arg(c.bingo.draws.size());
    if (m_keeper.differingPrizes() > 0) {
        parts << QStringLiteral(
                     "獎品清單 gift.txt 已經改過：上次的獎品有 %1 項不在新的清單裡。\n\n"
                     "要繼續上次的抽獎嗎?\n"
                     "是：繼續上次的抽獎，用上次的獎品清單（gift.txt 的改動不會用到）。\n"
                     "否：用新的獎品清單重新開始；上次的紀錄檔會改名保存，不會刪除。")
                     .arg(m_keeper.differingPrizes());
    } else {
        parts << QStringLiteral("要繼續上次的抽獎嗎?\n"
                                "是：從那裡繼續。\n"
                                "否：重新開始；上次的紀錄檔會改名保存，不會刪除。");
    }
    return parts.join(QStringLiteral("\n\n"));
}

NightKeeper::Kept RecordController::setAside()
{
    const NightKeeper::Kept kept = m_keeper.setAside();
    if (!kept.ok) {
        Prompt::refuse(nullptr, notKept(m_keeper.journalPath(), kept.error));
        updateCloseQuestion();
    }
    return kept;
}

void RecordController::offerNothing()
{
    const NightKeeper::Kept kept = m_keeper.setAside();
    const QString head =
        QStringLiteral("上次的抽獎紀錄檔無法使用，所以無法繼續上次的抽獎：\n%1\n%2。")
            .arg(m_keeper.journalPath(), m_keeper.unreadable());
    if (!kept.ok)
        Prompt::refuse(nullptr,
                       head + QStringLiteral("\n\n") + notKept(m_keeper.journalPath(), kept.error));
    else
        Prompt::refuse(nullptr, head + QStringLiteral("\n\n舊的紀錄檔已保存為：\n%1\n\n"
                                                      "今晚的抽獎從頭開始。")
                                           .arg(kept.name));
    updateCloseQuestion();
}

void RecordController::onBoardChanged(BoardChange change, int index)
{
    m_keeper.setSyncLater(m_night.isSpinning());
    const bool named = change == BoardChange::Stop || change == BoardChange::Card;
    if (!m_keeper.note(change, index, m_night.settledBoard(), m_clock(),
                       named ? m_night.stopGuest() : Guest()))
        // After the change is on screen: the operator should see what the warning is about.
        QTimer::singleShot(0, this, &RecordController::warnJournal);
    if (change == BoardChange::Closing)
        m_closing = true;
    updateCloseQuestion();
    Q_EMIT recordChanged();
}

void RecordController::updateCloseQuestion()
{
    // Only a journal that is being written lets the next start go on with the night.
    // Empty: the board's own question, that the night is not kept.
    const QString question =
        m_keeper.journalBroken() ? QString()
        : m_closing ? QStringLiteral("今晚的抽獎已經結束，抽獎紀錄已保存。\n確定要結束嗎?")
                    : QStringLiteral("今晚的抽獎已保存，下次開啟時可以繼續。\n確定要結束嗎?");
    if (question == m_closeQuestion)
        return;
    m_closeQuestion = question;
    Q_EMIT closeQuestionChanged(question);
}

void RecordController::warnJournal()
{
    // Over whatever the operator is looking at: the board may be hidden behind the finale.
    QWidget *over = m_desk.isVisible() ? &m_desk : QApplication::activeWindow();
    Prompt::refuse(over, QStringLiteral("無法寫入抽獎紀錄檔：\n%1\n%2\n\n"
                                        "抽獎照常進行，但程式若意外結束，"
                                        "今晚的抽獎將無法接續。")
                             .arg(m_keeper.journalPath(), m_keeper.journalError()));
}
