#include "fonts.h"

#include <QFont>
#include <QStringList>

void Fonts::installSubstitutions()
{
    const QString ming = QStringLiteral("AR PL UMing TW");
    const QString kai = QStringLiteral("AR PL UKai TW");
    const QString sans = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitutions(QStringLiteral("新細明體"), {ming, sans});
    QFont::insertSubstitutions(QStringLiteral("標楷體"), {kai, ming});
    // Latin faces fall back to a CJK face for the Chinese captions they carry.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {sans, ming});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {sans, ming});
}

QStringList Fonts::hallFamilies()
{
    // cwTeX's bold Hei stands as tall as DejaVu's digits and reads from far; UKai has what
    // it lacks.
    return {QStringLiteral("DejaVu Sans"), QStringLiteral("cwTeXHeiBold"),
            QStringLiteral("AR PL UKai TW")};
}
