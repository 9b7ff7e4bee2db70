#pragma once

#include "guestlist.h"

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

// "名單": the guest list as it was read — which numbers it names, which it does not, and
// each problem with its row — and a button to choose another file. The choice is only
// announced; whoever opened the window reads the file and remembers it.
class GuestListDialog : public QDialog
{
    Q_OBJECT
public:
    // Asks which file to read; an empty answer cancels. Tests install their own.
    using OpenNameProvider = std::function<QString(QWidget *parent, const QString &folder)>;
    static void setOpenNameProvider(OpenNameProvider provider);
    // Where to save the template; an empty answer cancels. Tests install their own.
    using SaveNameProvider = std::function<QString(QWidget *parent, const QString &suggested)>;
    static void setSaveNameProvider(SaveNameProvider provider);
    // A names.xlsx for HR to fill in: the header 號碼 / 姓名 / 部門 and the numbers 1 to 56.
    static QByteArray templateWorkbook(QString *reason = nullptr);

    explicit GuestListDialog(QWidget *parent = nullptr);
    void setResult(const GuestList::Result &result);

    // "1、3–5、9": numbers, runs of three or more as a range.
    static QString numberRuns(const QList<int> &numbers);

    QTableWidget *table() const { return m_table; }
    QString summary() const;
    QString problems() const;

Q_SIGNALS:
    void fileChosen(const QString &path);

private:
    // Where the file dialogs open: beside the list in force, else at home.
    QString folder() const;
    void chooseFile();
    void saveTemplate();

    QLabel *m_file = nullptr;
    QLabel *m_summary = nullptr;
    QTableWidget *m_table = nullptr;
    QPlainTextEdit *m_problems = nullptr;
    QString m_path;
};
