#include "startcheck.h"

#include "prizelist.h"
#include "prompt.h"

bool StartCheck::accepted(const QStringList &prizes, QWidget *parent,
                          const QStringList &fileWarnings, const QString &guestWarning)
{
    const QStringList warnings = fileWarnings + PrizeList::startWarnings(prizes);
    if (!warnings.isEmpty() && !Prompt::confirm(parent, PrizeList::startQuestion(warnings)))
        return false;
    if (!guestWarning.isEmpty())
        Prompt::refuse(parent, guestWarning +
                                   QStringLiteral("\n\n抽獎照常進行，沒有姓名的號碼只顯示號碼。"));
    return true;
}
