#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QList>

// The faces a designed font is really drawn with: its family and the faces it is mapped to
// here. Font merging would find some face for almost anything; a text read from a file is
// shown only if one of these faces has every character.
class FontFaces
{
public:
    explicit FontFaces(const QFont &font);
    bool canDraw(char32_t u) const;

private:
    QList<QFontMetrics> m_faces;
};
