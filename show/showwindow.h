#pragma once

#include "colourvalue.h"
#include "prizewindow.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class BigNumber;
class LightLayer;
class Night;
class QLabel;
class QScreen;

// What the hall sees: the night drawn large over a whole screen, with nothing of the
// operator's desk (no menu, button, frame or box). It only reads the night the board reads;
// the operator's windows change it.
class ShowWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PointerHideMs = 1000;

    explicit ShowWindow(Night &night, QWidget *parent = nullptr);
    ~ShowWindow() override;

    void setTitle(const QString &title);
    // Full screen on the screen. Beside the operator's screen it never takes the keyboard
    // from the operator's windows; alone on the board's screen it takes the remote's keys.
    void showOn(QScreen *screen, bool beside);
    bool isBeside() const { return m_beside; }

    // What the night's own state does not say: whether the bingo window is open and whether
    // the closing picture is up.
    void setBingoOpen(bool open);
    void setFinale(bool on);
    bool isFinale() const { return m_finale; }

    // Where each cell of the ring is drawn.
    // The prize grows inside the show as the prize window grows on the desk.
    void announce(int cell, const QString &prize);
    QRect cellRect(int cell) const { return m_cellRects[std::size_t(cell)]; }
    PrizeWindow *announcement() const { return m_prize; }
    // The cell the running light's layer last put on the screen, or -1.
    int layeredLight() const { return m_light; }
    const LightLayer *lightLayer() const { return m_layer.get(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void render();
    void relayout();
    void renderLine();
    void pointerMoved();
    const QPixmap &cellNumber(int cell, bool light);
    void paintCell(QPainter &p, const QRect &r, int cell, ColourValue colour);
    int layerLight();
    bool readyLayer();
    void dropLayer();

    // What the captions say; the light ticks through render() and they seldom change.
    struct Captions
    {
        QString counter;
        int chanceLeft = -1;
        int fateLeft = -1;
        bool secondRound = false;
        bool operator==(const Captions &) const = default;
    };

    Night &m_night;
    // What the window's own store holds in each cell; the running light is put over it from
    // the light's layer and never drawn there, so each step puts two faces and draws none.
    std::array<ColourValue, 56> m_stored{};
    std::unique_ptr<LightLayer> m_layer;
    int m_light = -1;
    std::array<QRect, 56> m_cellRects{};
    Captions m_captions;
    QFont m_cellFont;
    // Laid out once per size: the light repaints two cells a step.
    // Each number drawn once per ink (dark, light): glyphs this large are not cached by
    // the painter, and drawing them anew took most of a light step.
    std::array<std::array<QPixmap, 2>, 56> m_cellNumbers{};
    QWidget *m_content = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_round = nullptr;
    QLabel *m_counter = nullptr;
    std::array<QLabel *, 2> m_stacks{};
    QLabel *m_line = nullptr;
    BigNumber *m_number = nullptr;
    BigNumber *m_bingoNewest = nullptr;
    QLabel *m_bingoTaken = nullptr;
    QPointer<PrizeWindow> m_prize;
    QPixmap m_closing;
    QRect m_closingRect;
    QString m_titleText;
    QTimer m_pointerTimer;
    bool m_beside = false;
    bool m_bingoOpen = false;
    bool m_finale = false;
    bool m_black = false;
};
