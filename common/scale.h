#pragma once

#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QFrame;
class QLabel;
class QWidget;

namespace Scale {
// How much a design of the given pixel size grows to fill the space it has. A space
// down to the smallest the design allows keeps the design exactly; only a smaller one (a
// small screen, a large scale factor) shrinks the whole design, in proportion, to fit.
double fit(QSize available, QSize design, QSize smallest = {});
// A rectangle given in twips at scale s, in pixels; both edges are converted, so controls
// that touch in the design touch at every scale. At s = 1 this is Twips::rect.
QRect rect(const QRect &twips, double s);
int pixels(double twips, double s);
QFont font(QFont design, double s);
// The largest font not above the given one in which text fits the box's width on one line.
QFont fitting(QFont font, const QString &text, QSize box);
// Text that may take more than one line, as set by Wrapped::flags in a box of that width.
struct Wrapped
{
    QFont font;
    QString text; // the parts, joined on one line or broken between them
    QSize size;   // what it takes
    static constexpr int Flags = Qt::TextWordWrap;
};
// A name and what follows it (its department in brackets) as large as they fit the box on at
// most `lines` lines, from the font's size down to `smallest` (in the font's own unit, points
// or pixels). They break between the parts before anywhere else. Empty when even the
// smallest is too large.
std::optional<Wrapped> wrapped(QFont font, const QString &first, const QString &rest, QSize box,
                               int lines, qreal smallest);
// Pixel art enlarged without blur: every source pixel becomes a block.
QPixmap sharp(const QPixmap &design, double s, qreal devicePixelRatio = 1.0);
// A photo-like picture (lettering, gradients) enlarged smoothly.
QPixmap smooth(const QPixmap &design, double s, qreal devicePixelRatio = 1.0);
// The windows' tables for the hall are drawn for a screen 540 pixels high (and at least
// 760 wide); on a real screen they open this much larger.
double hall(QSize screen);
} // namespace Scale

// A window's design as data: each control's twips rectangle, font and picture, applied
// at one scale factor in one place. Controls placed directly on the root also move by
// the centring offset; the children of a frame stay relative to their frame.
class ScaledLayout : public QObject
{
    Q_OBJECT
public:
    enum class Art
    {
        Pixel,
        Photo
    };

    explicit ScaledLayout(QWidget *root);

    void place(QWidget *w, const QRect &twips);
    void font(QWidget *w, const QFont &design);
    // A one-line label whose text may be too long: the font shrinks from the design size
    // at s until the text fits. Place the label first.
    void fittedFont(QLabel *l, const QFont &design);
    void frameLine(QFrame *f, int designWidth);
    void picture(QLabel *l, const QPixmap &design, Art art);
    // A picture that also comes drawn larger: above s = 1 it is made from the large one,
    // so it is reduced, or enlarged only a little, rather than blown up. The large file is
    // read only once it is needed: at the design size it would only slow the start.
    void picture(QLabel *l, const QPixmap &design, const QString &largeFile);
    void icon(QAbstractButton *b, const QIcon &design, QSize designSize);

    void apply(double s, QPoint offset = {});
    // Applies a control's entries again, after its text changed.
    void refresh(QWidget *w);
    double scale() const { return m_scale; }
    QPoint offset() const { return m_offset; }

    // From now on the layout follows the root's size: the design (in pixels at s = 1)
    // grows by Scale::fit and is centred in the root; below the smallest size it allows,
    // it shrinks.
    void fitToRoot(QSize designPixels, QSize smallestPixels = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Item
    {
        QWidget *widget = nullptr;
        enum class Kind
        {
            Rect,
            Font,
            FittedFont,
            Line,
            Picture,
            Icon
        } kind = Kind::Rect;
        QRect twips{};
        QFont font{};
        int line = 0;
        QPixmap pixmap{};
        QString largeFile{};
        std::shared_ptr<QPixmap> large{};
        Art art = Art::Pixel;
        QIcon icon{};
        QSize iconSize{};
    };
    // Applies the item at the current scale and keeps it for the next one.
    void add(Item item);
    void applyItem(const Item &item) const;
    static const QPixmap &largePicture(const Item &item);
    void refit();

    QWidget *m_root;
    std::vector<Item> m_items;
    double m_scale = 1.0;
    QPoint m_offset;
    QSize m_design;
    QSize m_smallest;
};
