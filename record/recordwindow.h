#pragma once

#include "nightrecord.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>

class QTableWidget;

// "抽獎紀錄": the night's record as a table, copied or saved only when the operator asks.
class RecordWindow : public QWidget
{
    Q_OBJECT
public:
    // Asks where to save; an empty answer cancels. A name ending in .xlsx is saved as an
    // Excel workbook, any other as CSV. Tests install their own.
    using SaveNameProvider = std::function<QString(QWidget *parent, const QString &suggested)>;
    static void setSaveNameProvider(SaveNameProvider provider);

    explicit RecordWindow(QWidget *parent = nullptr);

    // Opens at the board's projector scale: s times its size and type.
    void setScale(double s);
    void setRecord(const NightRecord &record);
    // The record as tab-separated text with a header row, on the clipboard.
    void copy();
    // Asks for a place and a kind (CSV or Excel workbook), then writes it there; Ctrl+S too.
    void saveAs();
    // Nothing replaces an earlier file unless the whole record reached the disk; reason
    // says why not.
    bool saveTo(const QString &path, QString *reason = nullptr);

    QTableWidget *table() const { return m_table; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTableWidget *m_table = nullptr;
    QFont m_designFont;
    QFont m_designHeaderFont;
    int m_designRowHeight = 0;
    QString m_tsv;
    NightRecord m_record;
    bool m_shown = false;
};
