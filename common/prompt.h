#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QScreen;
class QWidget;

// The program's modal boxes, captioned with the application's title. Their texts quote
// files from outside, so they are always plain text. Tests install handlers so that
// nothing blocks.
namespace Prompt {
using RefuseHandler = std::function<void(QWidget *parent, const QString &text)>;
using ConfirmHandler = std::function<bool(QWidget *parent, const QString &text)>;

// A refused action: the text and one OK button.
void refuse(QWidget *parent, const QString &text);
enum class Default
{
    Yes,
    No
};
// The program cannot go on: the text, an error icon and one OK button. Shown through the
// refusal handler when one is installed.
void fail(QWidget *parent, const QString &text);
// A yes/no question; true for yes.
bool confirm(QWidget *parent, const QString &text, Default byDefault = Default::No);
// Keys that answer a question as its buttons do, such as a presenter remote's, which has no
// way to reach a button. Each press answers once: a repeat of a held key does nothing, so
// the key that opened the question does not answer it too (RepeatGuard).
struct AnswerKeys
{
    QList<QKeySequence> yes;
    QList<QKeySequence> no;
};
bool confirm(QWidget *parent, const QString &text, Default byDefault, const AnswerKeys &keys);

// Where a box that belongs to no window opens: the operator's screen, wherever the pointer
// is. Without one, where the pointer is.
using HomeScreen = std::function<QScreen *()>;
void setHomeScreen(HomeScreen home);

// Empty handlers restore the message boxes.
void setRefuseHandler(RefuseHandler handler);
void setConfirmHandler(ConfirmHandler handler);
} // namespace Prompt
