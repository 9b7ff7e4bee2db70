#include "startcheck.h"

#include "prizelist.h"
#include "prompt.h"

bool StartCheck::accepted(const QStringList &prizes, QWidget *parent, const QString &fileWarning)
{
    QStringList warnings = PrizeList::startWarnings(prizes);
    if (!fileWarning.isEmpty())
        warnings.prepend(fileWarning);
    if (warnings.isEmpty())
        return true;
    return Prompt::confirm(parent, PrizeList::startQuestion(warnings));
}
