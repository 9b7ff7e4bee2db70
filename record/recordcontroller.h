#pragma once

#include "night.h"
#include "nightkeeper.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

// Joins the night to its record: every change reaches the journal before the
// board shows it, and start-up offers the night that a crash cut short. Its boxes open over
// the desk, the operator's board.
class RecordController : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    RecordController(Night &night, QWidget &desk, const QStringList &giftLines,
                     const QString &giftPath,
                     const QString &journalPath = NightKeeper::defaultJournalPath());

    // At start-up, before the board is first shown.
    void offerResume();
    // Whether a name read back from the journal may be shown, by the guest list's rules.
    void setNameCheck(std::function<bool(const Guest &)> check)
    {
        m_keeper.setNameCheck(std::move(check));
    }
    void setClock(Clock clock) { m_clock = std::move(clock); }

    const NightKeeper &keeper() const { return m_keeper; }
    // What the close box asks once a number has been drawn: that the night is kept, or
    // empty when the journal cannot keep it.
    QString closeQuestion() const { return m_closeQuestion; }

Q_SIGNALS:
    void recordChanged();
    void closeQuestionChanged(const QString &question);

private:
    void onBoardChanged(BoardChange change, int index);
    void onNightChanged(Night::Aspects aspects);
    QString resumeQuestion() const;
    NightKeeper::Kept setAside();
    void offerNothing();
    void warnJournal();
    void updateCloseQuestion();

    Night &m_night;
    QWidget &m_desk;
    NightKeeper m_keeper;
    Clock m_clock;
    QString m_closeQuestion;
    bool m_closing = false;
};
