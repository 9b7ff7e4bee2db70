#include "lightlayer.h"

#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace {
// Faces start on multiples of four, so that at 125, 150 and 175 % they start on whole pixels
// as the window's own cells do.
int aligned(int v)
{
    return (v + 3) & ~3;
}
} // namespace

LightLayer::LightLayer(QWindow *window) : m_window(window), m_store(window)
{
}

void LightLayer::prepare(const std::array<QRect, Cells> &places, const PaintFace &paint)
{
    m_places = places;
    // Shelves as wide as the window: about a quarter of its area at the ring's proportions.
    int width = m_window->width();
    for (const QRect &r : places)
        width = std::max(width, aligned(r.width()));
    QPoint at;
    int shelf = 0;
    for (int i = 0; i < Cells; ++i) {
        const QSize size = places[std::size_t(i)].size();
        if (at.x() + size.width() > width) {
            at = QPoint(0, aligned(at.y() + shelf));
            shelf = 0;
        }
        m_at[std::size_t(i)] = at;
        at.rx() = aligned(at.x() + size.width());
        shelf = std::max(shelf, size.height());
    }
    const QSize size(width, std::max(1, at.y() + shelf));
    m_store.resize(size);
    const QRect all(QPoint(), size);
    m_store.beginPaint(all);
    {
        QPainter p(m_store.paintDevice());
        for (int i = 0; i < Cells; ++i)
            paint(p, face(i), i);
    }
    m_store.endPaint();
}

void LightLayer::put(int cell)
{
    if (!m_window || !m_window->handle())
        return;
    const QRect place = m_places[std::size_t(cell)];
    m_store.flush(place, m_window, m_at[std::size_t(cell)] - place.topLeft());
}
