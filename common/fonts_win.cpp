#include "fonts.h"

#include "look.h"

#include <QFont>
#include <QStringList>

// A Traditional Chinese Windows has every face the layouts name, and Qt takes a
// substitute only for a face that is missing. Elsewhere: Microsoft JhengHei comes with
// every Windows since Vista, and Wine finds the Debian AR PL faces through fontconfig.
void Fonts::installSubstitutions()
{
    const QStringList ming = {QStringLiteral("PMingLiU"), QStringLiteral("Microsoft JhengHei"),
                              QStringLiteral("微軟正黑體"), QStringLiteral("AR PL UMing TW")};
    const QString kai = QStringLiteral("AR PL UKai TW");
    QFont::insertSubstitutions(Look::ming(), ming);
    QFont::insertSubstitutions(Look::kai(), QStringList{QStringLiteral("DFKai-SB"), kai} + ming);
    // The Latin faces fall back to a Chinese face for the Chinese captions they carry: a
    // Windows in another language offers none of its own. Where they are missing
    // themselves (Wine), Debian's DejaVu Sans stands in, as on Linux.
    const QStringList latin = QStringList{QStringLiteral("DejaVu Sans"), Look::ming()} + ming;
    QFont::insertSubstitutions(Look::tahoma(), latin);
    QFont::insertSubstitutions(Look::sansSerif(), latin);
}

QStringList Fonts::hallFamilies()
{
    // Tahoma's bold digits read from far; Microsoft JhengHei is the bold Chinese face every
    // Windows has. Under Wine the Debian faces of the Linux build stand in for both.
    return {Look::tahoma(), QStringLiteral("Microsoft JhengHei"), QStringLiteral("DejaVu Sans"),
            QStringLiteral("cwTeXHeiBold"), QStringLiteral("AR PL UKai TW")};
}
