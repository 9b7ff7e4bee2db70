#pragma once

#include <QString>

#include <functional>

class QWidget;

// Refusals of the operator's actions: a modal box with one OK button, captioned with
// the application's title. Tests install a handler so that nothing blocks.
namespace Refusal {
using Handler = std::function<void(QWidget *parent, const QString &text)>;

void show(QWidget *parent, const QString &text);
// An empty handler restores the message box.
void setHandler(Handler handler);
} // namespace Refusal
