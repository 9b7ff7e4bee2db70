#include "eventtitle.h"

#include "prizelist.h"

QString EventTitle::designTitle()
{
    return QStringLiteral("92年年終晚會抽獎活動");
}

EventTitle::Result EventTitle::load(const QString &path, const PrizeList::Display &display)
{
    const PrizeList::Result read = PrizeList::load(path, display, PrizeList::Subject::Title);
    Result r;
    if (read.error == PrizeList::Error::Missing)
        return r;
    if (!read.ok()) {
        r.message = read.message;
        return r;
    }
    r.title = read.lines.value(0);
    return r;
}
