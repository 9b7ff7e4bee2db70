#include "fontfaces.h"

#include <QFontDatabase>

FontFaces::FontFaces(const QFont &font)
{
    // Every family the font names, each with what stands in for it.
    QStringList families;
    for (const QString &family :
         font.families().isEmpty() ? QStringList{font.family()} : font.families())
        families << family << QFont::substitutes(family);
    families.removeIf([](const QString &f) { return !QFontDatabase::hasFamily(f); });
    // None installed: the one Qt picks instead.
    if (families.isEmpty())
        families << font.family();
    for (const QString &family : families) {
        QFont face(family, font.pointSize());
        face.setStyleStrategy(QFont::NoFontMerging);
        m_faces << QFontMetrics(face);
    }
}

bool FontFaces::canDraw(char32_t u) const
{
    for (const QFontMetrics &face : m_faces)
        if (face.inFontUcs4(u))
            return true;
    return false;
}
