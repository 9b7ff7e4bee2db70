#include "pixelart.h"

#include <QPainter>

QImage PixelArt::render(int size, const std::function<void(QPainter &)> &draw,
                        const QHash<QRgb, double> &weights, int factor)
{
    QImage big(size * factor, size * factor, QImage::Format_ARGB32);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.scale(factor, factor);
        draw(p);
    }

    QImage out(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            QHash<QRgb, double> votes;
            for (int dy = 0; dy < factor; ++dy) {
                const auto *line =
                    reinterpret_cast<const QRgb *>(big.constScanLine(y * factor + dy));
                for (int dx = 0; dx < factor; ++dx) {
                    QRgb c = line[x * factor + dx];
                    if (qAlpha(c) < 128)
                        c = qRgba(0, 0, 0, 0);
                    else
                        c |= 0xff000000u;
                    votes[c] += weights.value(c, 1.0);
                }
            }
            QRgb best = qRgba(0, 0, 0, 0);
            double bestVotes = -1;
            for (auto it = votes.cbegin(); it != votes.cend(); ++it) {
                // Ties go to the lower value so that the result does not depend on hashing.
                if (it.value() > bestVotes || (it.value() == bestVotes && it.key() < best)) {
                    bestVotes = it.value();
                    best = it.key();
                }
            }
            out.setPixel(x, y, best);
        }
    }
    return out;
}

QImage PixelArt::renderSmooth(int size, double scale, const std::function<void(QPainter &)> &draw)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(scale, scale);
        draw(p);
    }
    return img.convertToFormat(QImage::Format_ARGB32);
}
