#pragma once

#include "picturereader.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace StartCheck {
// Before the board opens: a list with too few prizes, prizes without text or a spoilt
// consolation prize is shown to the operator, who says whether to go on. True to go on;
// a list with nothing to report goes on without a question. fileWarnings, when there are
// any, are listed first: which of two prize files was read. What the guest list lacks is
// told after, in a box of its own: names are never a reason to stop, and Enter goes on.
// The pictures' problems, when there are any, come last, in one more box of their own.
bool accepted(const QStringList &prizes, QWidget *parent = nullptr,
              const QStringList &fileWarnings = {}, const QString &guestWarning = {},
              const QString &pictureWarning = {});
// What the start check tells of the pictures beside the program: nothing when none has a
// problem, so a program without pictures starts as it always has.
QString pictureWarning(const PictureReport &report);
// No prize list beside the program: the message, and an offer to save a gift.xlsx there to
// fill in (the header 獎品 above 56 numbered rows). The program ends either way.
void offerPrizeTemplate(const QString &folder, const QString &message, QWidget *parent = nullptr);
QByteArray prizeTemplate(QString *reason = nullptr);
} // namespace StartCheck
