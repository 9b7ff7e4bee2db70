#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace StartCheck {
// Before the board opens: a list with too few prizes, prizes without text or a spoilt
// consolation prize is shown to the operator, who says whether to go on. True to go on;
// a list with nothing to report goes on without a question. fileWarning, when there is one,
// is listed first: which of two prize files was read.
bool accepted(const QStringList &prizes, QWidget *parent = nullptr,
              const QString &fileWarning = {});
} // namespace StartCheck
