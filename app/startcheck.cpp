#include "startcheck.h"

#include "prizelist.h"
#include "prompt.h"

bool StartCheck::accepted(const QStringList &prizes, QWidget *parent,
                          const QStringList &fileWarnings)
{
    const QStringList warnings = fileWarnings + PrizeList::startWarnings(prizes);
    if (warnings.isEmpty())
        return true;
    return Prompt::confirm(parent, PrizeList::startQuestion(warnings));
}
