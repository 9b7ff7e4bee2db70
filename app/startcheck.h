#pragma once

#include <QStringList>

class QWidget;

namespace StartCheck {
// Before the board opens: a list with too few prizes, prizes without text or a spoilt
// consolation prize is shown to the operator, who says whether to go on. True to go on;
// a list with nothing to report goes on without a question.
bool accepted(const QStringList &prizes, QWidget *parent = nullptr);
} // namespace StartCheck
