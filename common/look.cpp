#include "look.h"

QString Look::ming()
{
    return QStringLiteral("新細明體");
}

QString Look::kai()
{
    return QStringLiteral("標楷體");
}

QString Look::tahoma()
{
    return QStringLiteral("Tahoma");
}

QString Look::sansSerif()
{
    return QStringLiteral("MS Sans Serif");
}

QString Look::roundCaption(bool second)
{
    return second ? QStringLiteral("第二輪抽獎") : QStringLiteral("第一輪抽獎");
}

QString Look::countBefore()
{
    return QStringLiteral("已經搖出");
}

QString Look::countAfter()
{
    return QStringLiteral("次獎項");
}

QString Look::countLine(const QString &count)
{
    return countBefore() + QLatin1Char(' ') + count + QLatin1Char(' ') + countAfter();
}
