#pragma once

#include "nightkeeper.h"
#include "recordwindow.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class BoardWindow;
class Night;

// Joins the night to its record: every change reaches the journal before the
// board shows it, the menu "檢視" opens the record, and start-up offers the night that a
// crash cut short.
class RecordController : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    RecordController(Night &night, BoardWindow &board, const QStringList &giftLines,
                     const QString &giftPath,
                     const QString &journalPath = NightKeeper::defaultJournalPath());
    ~RecordController() override;

    // At start-up, before the board is first shown.
    void offerResume();
    void showRecord();
    void setClock(Clock clock) { m_clock = std::move(clock); }

    const NightKeeper &keeper() const { return m_keeper; }
    RecordWindow *recordWindow() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onBoardChanged(BoardChange change, int index);
    QString resumeQuestion() const;
    NightKeeper::Kept setAside();
    void offerNothing();
    void warnJournal();
    void updateCloseQuestion();

    Night &m_night;
    BoardWindow &m_board;
    NightKeeper m_keeper;
    Clock m_clock;
    QPointer<RecordWindow> m_window;
    bool m_closing = false;
};
