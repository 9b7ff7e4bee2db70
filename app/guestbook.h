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
// names reach the night; a list that cannot be read names nobody, and the night goes on.
class GuestBook : public QObject
{
    Q_OBJECT
public:
    GuestBook(Night &night, QWidget &desk);

    // What the show and the prize window can show of a name.
    static GuestList::Display display();
    // The file to read at start-up: the one chosen before while it is there, else the list
    // beside the program (names.xlsx, names.csv, names.txt), else none.
    static QString startPath(const QString &programDir);
    static QString remembered();
    static void remember(const QString &path);

    void load(const QString &path);
    const GuestList::Result &list() const { return m_list; }
    // What the start check tells the operator of the list: nothing when it read cleanly.
    QString warning() const;
    void showDialog();
    GuestListDialog *dialog() const { return m_dialog; }

private:
    Night &m_night;
    QWidget &m_desk;
    GuestList::Result m_list;
    QPointer<GuestListDialog> m_dialog;
};
