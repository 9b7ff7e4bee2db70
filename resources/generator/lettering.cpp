#include "lettering.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <stdexcept>

namespace {

// The face is thin; a stroke around each glyph gives it the weight of a brush.
constexpr double strokeShare = 0.025;
constexpr int threshold = 120;

QPainterPath glyph(QChar ch, int pixelSize)
{
    QFont font(Lettering::brushFamily());
    font.setPixelSize(pixelSize);
    QPainterPath path;
    path.addText(0, 0, font, QString(ch));
    return path;
}

// Ink of one glyph centred on a point.
QPainterPath centredGlyph(QChar ch, int pixelSize, QPointF centre)
{
    const QPainterPath path = glyph(ch, pixelSize);
    return path.translated(centre - path.boundingRect().center());
}

QImage twoColour(QSize size, const QPainterPath &ink, int pixelSize, QColor ground, QColor colour)
{
    QImage cover(size, QImage::Format_Grayscale8);
    cover.fill(0);
    {
        QPainter p(&cover);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(
            QPen(Qt::white, pixelSize * strokeShare, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawPath(ink);
    }
    QImage out(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        const uchar *c = cover.constScanLine(y);
        for (int x = 0; x < size.width(); ++x)
            out.setPixelColor(x, y, c[x] >= threshold ? colour : ground);
    }
    return out;
}

} // namespace

QString Lettering::brushFamily()
{
    static const QString family = [] {
        const QString wanted = QStringLiteral("AR PL UKai TW");
        if (!QFontDatabase::families().contains(wanted)) {
            const int id = QFontDatabase::addApplicationFont(
                QStringLiteral("/usr/share/fonts/truetype/arphic/ukai.ttc"));
            if (id < 0 || !QFontDatabase::families().contains(wanted))
                throw std::runtime_error("font AR PL UKai TW is missing (fonts-arphic-ukai)");
        }
        return wanted;
    }();
    return family;
}

QImage Lettering::verticalScroll(QSize size, const QString &text, QColor ground, QColor ink,
                                 int pixelSize, int topMargin, int bottomMargin)
{
    const double cell = double(size.height() - topMargin - bottomMargin) / text.size();
    QPainterPath all;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QPointF centre(size.width() / 2.0, topMargin + cell * (double(i) + 0.5));
        all.addPath(centredGlyph(text[i], pixelSize, centre));
    }
    return twoColour(size, all, pixelSize, ground, ink);
}

QImage Lettering::centredLines(QSize size, const QStringList &lines, QColor ground, QColor ink,
                               int pixelSize, int lineGap)
{
    const double pitch = pixelSize + lineGap;
    const double blockTop = (size.height() - pitch * lines.size() + lineGap) / 2.0;
    QPainterPath all;
    for (qsizetype row = 0; row < lines.size(); ++row) {
        const QString &line = lines[row];
        const double left = (size.width() - double(pixelSize) * line.size()) / 2.0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QPointF centre(left + pixelSize * (double(i) + 0.5),
                                 blockTop + pitch * double(row) + pixelSize / 2.0);
            all.addPath(centredGlyph(line[i], pixelSize, centre));
        }
    }
    return twoColour(size, all, pixelSize, ground, ink);
}
