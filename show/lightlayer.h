#pragma once

#include "board.h"

#include <QBackingStore>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>

class QPainter;
class QWindow;

// The running light's lit faces, drawn once per size into a store of their own and put onto
// the window from there. Drawn anew into the window's own store, each step made Qt's X11
// store wait for the server first (it must not draw over shared memory the server may still
// be reading): a round trip per step. Putting pixels already drawn needs no wait.
class LightLayer
{
public:
    static constexpr int Cells = Board::Cells;
    using PaintFace = std::function<void(QPainter &, const QRect &, int cell)>;

    explicit LightLayer(QWindow *window);

    // Draws every cell's lit face, each the size of its place on the window.
    void prepare(const std::array<QRect, Cells> &places, const PaintFace &paint);
    // The cell's lit face onto the window, in its place.
    void put(int cell);
    QWindow *window() const { return m_window; }
    const QBackingStore &store() const { return m_store; }
    // Where each face is kept in the layer's own image.
    QRect face(int cell) const
    {
        return {m_at[std::size_t(cell)], m_places[std::size_t(cell)].size()};
    }

private:
    QPointer<QWindow> m_window;
    QBackingStore m_store;
    std::array<QRect, Cells> m_places{};
    std::array<QPoint, Cells> m_at{};
};
