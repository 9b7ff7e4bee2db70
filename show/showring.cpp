#include "showwindow.h"

#include "closingart.h"
#include "colourui.h"
#include "lightlayer.h"
#include "look.h"
#include "showgeometry.h"

#include <QBackingStore>
#include <QPaintEngine>
#include <QPainter>
#include <QPaintEvent>
#include <QWindow>

#include <utility>

// The ring as the show paints it: each cell's face drawn once into the window's store, the
// running light put over it from a layer of its own.

void ShowWindow::renderCells()
{
    const Board &board = m_night.board();
    const int light = layerLight();
    for (int i = 0; i < Board::Cells; ++i)
        if (i != light && board.cells[std::size_t(i)] != m_stored[std::size_t(i)])
            update(m_cellRects[std::size_t(i)]);
    if (light == m_light)
        return;
    const int was = std::exchange(m_light, light);
    // The face the store holds goes back on the screen without being drawn again.
    if (was >= 0 && board.cells[std::size_t(was)] == m_stored[std::size_t(was)] && backingStore())
        backingStore()->flush(m_cellRects[std::size_t(was)], windowHandle());
    if (light >= 0)
        m_layer->put(light);
}

void ShowWindow::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    // A paint into anything but the window's own store (a grab) says nothing of what it holds.
    const bool intoStore = backingStore() && p.paintEngine() &&
                           p.paintEngine()->paintDevice() == backingStore()->paintDevice();
    if (intoStore && nightCovered()) {
        for (int i = 0; i < Board::Cells; ++i)
            if (event->region().intersects(m_cellRects[std::size_t(i)]))
                m_stored[std::size_t(i)] = Colour::SystemFlag;
    }
    if (m_night.isBlackedOut()) {
        p.fillRect(event->rect(), Qt::black);
        return;
    }
    if (m_night.isFinale()) {
        p.fillRect(event->rect(), Colour::toQColor(ClosingArt::Ground, palette()));
        p.drawPixmap(m_closingRect, m_closing);
        return;
    }
    // Each cell fills its own face; the ground goes only between them.
    QRegion ground = event->region();
    const Board &board = m_night.board();
    for (int i = 0; i < Board::Cells; ++i) {
        const QRect &r = m_cellRects[std::size_t(i)];
        if (!event->region().intersects(r))
            continue;
        ground -= r;
        const ColourValue colour = board.cells[std::size_t(i)];
        paintCell(p, r, i, colour);
        if (!intoStore)
            continue;
        // Drawn only in part, the cell holds what it held elsewhere.
        ColourValue &stored = m_stored[std::size_t(i)];
        stored = (QRegion(r) - event->region()).isEmpty() || stored == colour ? colour
                                                                              : Colour::SystemFlag;
    }
    const QColor groundColour = Colour::toQColor(Look::Ground, palette());
    for (const QRect &r : ground)
        p.fillRect(r, groundColour);
    // Drawn whole, the window gets its layer now rather than in a step, and every face is put
    // once under what this paint puts next: an X server reads a store's memory slowly the
    // first time, up to 6 ms a face.
    if (intoStore && !m_layer && (QRegion(rect()) - event->region()).isEmpty() && readyLayer())
        for (int i = 0; i < Board::Cells; ++i)
            m_layer->put(i);
}

void ShowWindow::paintCell(QPainter &p, const QRect &r, int cell, ColourValue colour)
{
    const QColor face = Colour::toQColor(colour, palette());
    p.fillRect(r, face);
    p.setPen(QColor(Qt::darkGray));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    // Readable on the dark faces (lit blue, won red, excluded black).
    const bool light = qGray(face.rgb()) < 128;
    const QPixmap &number = cellNumber(cell, light);
    const QSizeF size = number.deviceIndependentSize();
    p.drawPixmap(
        QPointF(r.x() + (r.width() - size.width()) / 2, r.y() + (r.height() - size.height()) / 2),
        number);
}

int ShowWindow::layerLight()
{
    const Board &board = m_night.board();
    if (!m_night.isSpinning() || !readyLayer())
        return -1;
    return board.cells[std::size_t(board.stopCell)] == Cell::Lit ? board.stopCell : -1;
}

bool ShowWindow::readyLayer()
{
    QWindow *window = windowHandle();
    const qreal ratio = devicePixelRatioF();
    // At 125 or 150 % the two stores could round a face's edge apart.
    if (nightCovered() || !isVisible() || !window || !window->isExposed() ||
        ratio != std::floor(ratio))
        return false;
    if (m_layer && m_layer->window() != window)
        dropLayer();
    if (!m_layer) {
        // 50 ms at 4K the first time (the numbers' glyphs), and 15 MB kept there.
        m_layer = std::make_unique<LightLayer>(window);
        m_layer->prepare(m_cellRects, [this](QPainter &p, const QRect &r, int cell) {
            paintCell(p, r, cell, Cell::Lit);
        });
        window->installEventFilter(this);
    }
    return true;
}

void ShowWindow::dropLayer()
{
    if (!m_layer)
        return;
    if (QWindow *window = m_layer->window()) {
        window->removeEventFilter(this);
        // Qt's offscreen platform (the tests') loses track of a window's own store when
        // another store that put onto it last goes: the window's own puts last.
        if (backingStore() && window == windowHandle() && window->handle())
            backingStore()->flush(QRect(0, 0, 1, 1), window);
    }
    m_layer.reset();
}

const QPixmap &ShowWindow::cellNumber(int cell, bool light)
{
    QPixmap &number = m_cellNumbers[std::size_t(cell)][light ? 1 : 0];
    if (!number.isNull())
        return number;
    const QString text = QString::number(cell + 1);
    const QFontMetrics metrics(m_cellFont);
    const QSize size(std::max(1, metrics.horizontalAdvance(text)), std::max(1, metrics.height()));
    const qreal ratio = devicePixelRatioF();
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setFont(m_cellFont);
    p.setPen(light ? QColor(Qt::white) : QColor(Qt::black));
    p.drawText(QRect(QPoint(), size), Qt::AlignCenter, text);
    p.end();
    number = QPixmap::fromImage(std::move(image));
    return number;
}
