#include "fonts.h"

#include "look.h"

#include <QFont>
#include <QStringList>

void Fonts::installSubstitutions()
{
    const QString ming = QStringLiteral("AR PL UMing TW");
    const QString kai = QStringLiteral("AR PL UKai TW");
    const QString sans = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitutions(Look::ming(), {ming, sans});
    QFont::insertSubstitutions(Look::kai(), {kai, ming});
    // Latin faces fall back to a CJK face for the Chinese captions they carry.
    QFont::insertSubstitutions(Look::tahoma(), {sans, ming});
    QFont::insertSubstitutions(Look::sansSerif(), {sans, ming});
}

QStringList Fonts::hallFamilies()
{
    // cwTeX's bold Hei stands as tall as DejaVu's digits and reads from far; UKai has what
    // it lacks.
    return {QStringLiteral("DejaVu Sans"), QStringLiteral("cwTeXHeiBold"),
            QStringLiteral("AR PL UKai TW")};
}
