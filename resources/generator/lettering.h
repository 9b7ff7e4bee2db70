#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// Brush lettering in two colours only: the glyphs are rendered smooth, then cut at a coverage
// threshold so that no blended pixel is left.
namespace Lettering {

// Kai-style brush face; throws when it is not installed.
QString brushFamily();

// Characters one below the other, each centred in an equal cell of the column.
QImage verticalScroll(QSize size, const QString &text, QColor ground, QColor ink, int pixelSize,
                      int topMargin, int bottomMargin);

// Lines centred across the picture and, as a block, down it.
QImage centredLines(QSize size, const QStringList &lines, QColor ground, QColor ink, int pixelSize,
                    int lineGap);

} // namespace Lettering
