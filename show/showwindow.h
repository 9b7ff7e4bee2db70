#pragma once

#include "announcement.h"
#include "colourvalue.h"
#include "night.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class BigNumber;
class LightLayer;
class QLabel;
class QScreen;

// What the hall sees: the night drawn large over a whole screen, with nothing of the
// operator's desk (no menu, button, frame or box). It only reads the night; the operator's
// windows change it. Of its own it keeps only what it has drawn.
class ShowWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PointerHideMs = 1000;
    // The bingo draw's rolling number reaches the hall a few times a second, not at every
    // pass of the draw, which runs as fast as the event loop allows.
    static constexpr int RollingFrameMs = 40;

    explicit ShowWindow(Night &night, QWidget *parent = nullptr);
    ~ShowWindow() override;

    // Full screen on the screen, as the night's show mode says. Beside the operator's screen
    // it never takes the keyboard from the operator's windows; alone on the board's screen
    // it takes the remote's keys.
    void showOn(QScreen *screen);

    // Where each cell of the ring is drawn.
    QRect cellRect(int cell) const { return m_cellRects[std::size_t(cell)]; }
    // The prize growing inside the show as the prize window grows on the desk.
    Announcement *announcement() const { return m_prize; }
    // The cell the running light's layer last put on the screen, or -1.
    int layeredLight() const { return m_light; }
    const LightLayer *lightLayer() const { return m_layer.get(); }
    // The part of a guest the show has no room for at its smallest type, under the winning
    // number or in the announcement, on the smallest screen it is made for: the guest list is
    // checked against it.
    static std::optional<GuestPart> tooLong(const Guest &guest);

Q_SIGNALS:
    // The window manager was asked to close the show (Alt+F4): that ends it, as Escape does.
    void endRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void render(Night::Aspects aspects);
    void renderCells();
    void renderPrize();
    void relayout();
    // The number and, under it, the name: measured once a name, never in a step.
    void placeNumber();
    void pointerMoved();
    const QPixmap &cellNumber(int cell, bool light);
    void paintCell(QPainter &p, const QRect &r, int cell, ColourValue colour);
    int layerLight();
    bool readyLayer();
    void dropLayer();
    // The line asks over the board; beside, the desk asks.
    bool lineShown() const;
    // The finale or the black screen stands instead of the night.
    bool nightCovered() const;

    Night &m_night;
    // What the window's own store holds in each cell; the running light is put over it from
    // the light's layer and never drawn there, so each step puts two faces and draws none.
    std::array<ColourValue, Board::Cells> m_stored{};
    std::unique_ptr<LightLayer> m_layer;
    int m_light = -1;
    std::array<QRect, Board::Cells> m_cellRects{};
    QFont m_cellFont;
    // Laid out once per size: the light repaints two cells a step.
    // Each number drawn once per ink (dark, light): glyphs this large are not cached by
    // the painter, and drawing them anew took most of a light step.
    std::array<std::array<QPixmap, 2>, Board::Cells> m_cellNumbers{};
    QWidget *m_content = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_round = nullptr;
    QLabel *m_counter = nullptr;
    std::array<QLabel *, 2> m_stacks{};
    QLabel *m_line = nullptr;
    BigNumber *m_number = nullptr;
    QLabel *m_name = nullptr;
    // The winner's photo beside the number and the name, from the stop; the logo while no
    // number is up. Each read at the size it is shown at, once per size.
    struct Picture
    {
        QLabel *label = nullptr;
        QString path;     // wanted now; none to hide it
        QString readPath; // as last read, at readSize
        QSize readSize;
    };
    Picture m_photo;
    Picture m_logo;
    void showPicture(Picture &picture, const QRect &box);
    Guest m_named; // whom the name's label shows
    // Whom and at what size the label's type was chosen for, and the height it takes.
    Guest m_setFor;
    QSize m_setAt;
    int m_nameHeight = 0;
    BigNumber *m_bingoNewest = nullptr;
    QLabel *m_bingoTaken = nullptr;
    QPointer<Announcement> m_prize;
    int m_announced = 0; // the serial of the prize the announcement shows
    QPixmap m_closing;
    QRect m_closingRect;
    QTimer m_pointerTimer;
    QTimer m_rollingFrame;
};
