#pragma once

class QString;
class QWidget;

// Asks the desktop to open a link (mailto:, http:) with the verb "open", on behalf of the
// owner's window. Whether anything opened is not known here, and nothing is said to the user.
namespace ShellOpen {
void open(QWidget *owner, const QString &link);
}
