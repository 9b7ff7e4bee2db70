#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace StartCheck {
// Before the board opens: a list with too few prizes, prizes without text or a spoilt
// consolation prize is shown to the operator, who says whether to go on. True to go on;
// a list with nothing to report goes on without a question. fileWarnings, when there are
// any, are listed first: which of two prize files was read. What the guest list lacks is
// told after, in a box of its own: names are never a reason to stop, and Enter goes on.
bool accepted(const QStringList &prizes, QWidget *parent = nullptr,
              const QStringList &fileWarnings = {}, const QString &guestWarning = {});
// No prize list beside the program: the message, and an offer to save a gift.xlsx there to
// fill in (the header 獎品 above 56 numbered rows). The program ends either way.
void offerPrizeTemplate(const QString &folder, const QString &message, QWidget *parent = nullptr);
QByteArray prizeTemplate(QString *reason = nullptr);
} // namespace StartCheck
