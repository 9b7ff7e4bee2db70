#pragma once

#include "guestlist.h"
#include "guestlistdialog.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Night;
class QWidget;

// Tonight's guest list: read from the file chosen on an earlier night, else from the one
// beside the program; shown as read by "檢視 → 名單…", where another file can be chosen. Its
// names reach the night. A file that fails, or names nobody, never replaces a list in force:
// the night goes on with the names it has.
class GuestBook : public QObject
{
    Q_OBJECT
public:
    GuestBook(Night &night, QWidget &desk);

    // What the show and the prize window can show of a name.
    static GuestList::Display display();
    static QString remembered();
    static void remember(const QString &path);

    // At start-up: the file chosen on an earlier night, else, when it is gone or fails, the
    // list beside the program (names.xlsx, names.csv, names.txt), else none.
    void loadAtStart(const QString &programDir);
    // The operator's choice: it replaces the list in force, and is remembered, only when it
    // names someone; else a box says why and what stays. False when it did not replace.
    bool choose(const QString &path);
    // Reads a file as tonight's list, whatever it holds.
    void load(const QString &path);
    const GuestList::Result &list() const { return m_list; }
    // What the start check tells the operator of the list: nothing when it read cleanly.
    QString warning() const;
    void showDialog();
    GuestListDialog *dialog() const { return m_dialog; }

private:
    void adopt(GuestList::Result list);

    Night &m_night;
    QWidget &m_desk;
    GuestList::Result m_list;
    // Why the list chosen before was not read at start-up.
    QString m_fallback;
    QPointer<GuestListDialog> m_dialog;
};
