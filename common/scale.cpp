#include "scale.h"

#include "twips.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

double Scale::fit(QSize available, QSize design, QSize smallest)
{
    if (design.isEmpty())
        return 1.0;
    if (smallest.isEmpty())
        smallest = design;
    // Shrunk, the whole design is kept in view.
    if (available.width() < smallest.width() || available.height() < smallest.height())
        return std::max(0.1, std::min(double(available.width()) / design.width(),
                                      double(available.height()) / design.height()));
    const double s = std::min(double(available.width()) / design.width(),
                              double(available.height()) / design.height());
    return std::max(1.0, s);
}

int Scale::pixels(double twips, double s)
{
    return Twips::toPixels(twips * s);
}

QRect Scale::rect(const QRect &twips, double s)
{
    const int l = pixels(twips.x(), s);
    const int t = pixels(twips.y(), s);
    return QRect(l, t, pixels(twips.x() + twips.width(), s) - l,
                 pixels(twips.y() + twips.height(), s) - t);
}

QFont Scale::font(QFont design, double s)
{
    if (s != 1.0)
        design.setPointSizeF(design.pointSizeF() * s);
    return design;
}

QFont Scale::fitting(QFont font, const QString &text, QSize box)
{
    // Down to a third of the size; a title shorter than that is cut rather than unreadable.
    const qreal largest = font.pointSizeF();
    for (qreal size = largest; size > largest / 3; size -= largest / 40) {
        font.setPointSizeF(size);
        const QFontMetricsF m(font);
        if (m.horizontalAdvance(text) <= box.width())
            return font;
    }
    font.setPointSizeF(largest / 3);
    return font;
}

namespace {
// The text's lines at the font, if they are no more than `lines` and fit the box.
std::optional<QSize> holds(const QFont &font, const QString &text, QSize box, int lines)
{
    const QFontMetrics m(font);
    const QRect needed =
        m.boundingRect(QRect(0, 0, box.width(), std::numeric_limits<int>::max() / 4),
                       Qt::AlignLeft | Qt::AlignTop | Scale::Wrapped::Flags, text);
    // Half a line of slack: the leading between lines differs from face to face.
    const int most = lines * m.height() + (lines - 1) * std::max(0, m.leading()) + m.height() / 2;
    if (needed.width() > box.width() || needed.height() > std::min(most, box.height()))
        return std::nullopt;
    return needed.size();
}
} // namespace

std::optional<Scale::Wrapped> Scale::wrapped(QFont font, const QString &first, const QString &rest,
                                             QSize box, int lines, qreal smallest)
{
    const bool points = font.pointSizeF() > 0;
    const qreal largest = std::max(points ? font.pointSizeF() : qreal(font.pixelSize()), smallest);
    const qreal step = std::max(points ? 0.25 : 1.0, largest / 40);
    for (qreal size = largest;; size = std::max(smallest, size - step)) {
        if (points)
            font.setPointSizeF(size);
        else
            font.setPixelSize(std::max(1, int(size)));
        // One line, then the parts on lines of their own, then broken wherever they allow.
        for (const QString &text : {first + rest, first + QLatin1Char('\n') + rest}) {
            if (text.endsWith(QLatin1Char('\n')))
                continue;
            if (const auto needed = holds(font, text, box, text == first + rest ? 1 : lines))
                return Wrapped{font, text, *needed};
        }
        if (const auto needed = holds(font, first + rest, box, lines))
            return Wrapped{font, first + rest, *needed};
        if (size <= smallest)
            return std::nullopt;
    }
}

namespace {
QPixmap scaled(const QPixmap &design, double s, qreal dpr, Qt::TransformationMode mode)
{
    if (design.isNull() || (s == 1.0 && dpr == 1.0))
        return design;
    const QSize size(std::max(1, int(std::lround(design.width() * s * dpr))),
                     std::max(1, int(std::lround(design.height() * s * dpr))));
    QPixmap out = design.scaled(size, Qt::IgnoreAspectRatio, mode);
    out.setDevicePixelRatio(dpr);
    return out;
}
} // namespace

QPixmap Scale::sharp(const QPixmap &design, double s, qreal dpr)
{
    return scaled(design, s, dpr, Qt::FastTransformation);
}

QPixmap Scale::smooth(const QPixmap &design, double s, qreal dpr)
{
    return scaled(design, s, dpr, Qt::SmoothTransformation);
}

double Scale::hall(QSize screen)
{
    // A screen narrower than 16:10 holds them at its width.
    return std::min(screen.height() / 540.0, screen.width() / 760.0);
}

ScaledLayout::ScaledLayout(QWidget *root) : QObject(root), m_root(root)
{
}

void ScaledLayout::add(Item item)
{
    applyItem(item);
    m_items.push_back(std::move(item));
}

void ScaledLayout::place(QWidget *w, const QRect &twips)
{
    add({.widget = w, .kind = Item::Kind::Rect, .twips = twips});
}

void ScaledLayout::font(QWidget *w, const QFont &design)
{
    add({.widget = w, .kind = Item::Kind::Font, .font = design});
}

void ScaledLayout::fittedFont(QLabel *l, const QFont &design)
{
    add({.widget = l, .kind = Item::Kind::FittedFont, .font = design});
}

void ScaledLayout::frameLine(QFrame *f, int designWidth)
{
    add({.widget = f, .kind = Item::Kind::Line, .line = designWidth});
}

void ScaledLayout::picture(QLabel *l, const QPixmap &design, Art art)
{
    add({.widget = l, .kind = Item::Kind::Picture, .pixmap = design, .art = art});
}

void ScaledLayout::picture(QLabel *l, const QPixmap &design, const QString &largeFile)
{
    add({.widget = l,
         .kind = Item::Kind::Picture,
         .pixmap = design,
         .largeFile = largeFile,
         .large = std::make_shared<QPixmap>(),
         .art = Art::Photo});
}

void ScaledLayout::icon(QAbstractButton *b, const QIcon &design, QSize designSize)
{
    add({.widget = b, .kind = Item::Kind::Icon, .icon = design, .iconSize = designSize});
}

void ScaledLayout::apply(double s, QPoint offset)
{
    if (s == m_scale && offset == m_offset)
        return;
    m_scale = s;
    m_offset = offset;
    for (const Item &item : m_items)
        applyItem(item);
}

void ScaledLayout::refresh(QWidget *w)
{
    for (const Item &item : m_items)
        if (item.widget == w)
            applyItem(item);
}

void ScaledLayout::applyItem(const Item &item) const
{
    QWidget *w = item.widget;
    const double s = m_scale;
    switch (item.kind) {
    case Item::Kind::Rect: {
        QRect r = Scale::rect(item.twips, s);
        if (w->parentWidget() == m_root)
            r.translate(m_offset);
        w->setGeometry(r);
        break;
    }
    case Item::Kind::Font:
        w->setFont(Scale::font(item.font, s));
        break;
    case Item::Kind::FittedFont: {
        auto *l = static_cast<QLabel *>(w);
        l->setFont(Scale::fitting(Scale::font(item.font, s), l->text(), l->contentsRect().size()));
        break;
    }
    case Item::Kind::Line:
        static_cast<QFrame *>(w)->setLineWidth(std::max(1, int(std::lround(item.line * s))));
        break;
    case Item::Kind::Picture: {
        auto *l = static_cast<QLabel *>(w);
        // On a HiDPI desktop the design size too is drawn with more pixels than the design.
        const qreal dpr = l->devicePixelRatioF();
        if (item.art == Art::Pixel) {
            l->setPixmap(Scale::sharp(item.pixmap, s, dpr));
        } else if (s * dpr > 1.0 && item.large && !item.pixmap.isNull() &&
                   !largePicture(item).isNull()) {
            // The design's own size at s, whatever the large one's rounding.
            QPixmap p = item.large->scaled((QSizeF(item.pixmap.size()) * s * dpr).toSize(),
                                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            p.setDevicePixelRatio(dpr);
            l->setPixmap(p);
        } else {
            l->setPixmap(Scale::smooth(item.pixmap, s, dpr));
        }
        break;
    }
    case Item::Kind::Icon: {
        auto *b = static_cast<QAbstractButton *>(w);
        const QSize size(std::lround(item.iconSize.width() * s),
                         std::lround(item.iconSize.height() * s));
        const qreal dpr = b->devicePixelRatioF();
        if (s == 1.0 && dpr == 1.0) {
            b->setIcon(item.icon);
        } else {
            // An icon never grows past its largest image by itself, and the style would
            // enlarge that smoothly; enlarge it as pixel art.
            b->setIcon(QIcon(Scale::sharp(item.icon.pixmap(item.iconSize, 1.0), s, dpr)));
        }
        b->setIconSize(size);
        break;
    }
    }
}

const QPixmap &ScaledLayout::largePicture(const Item &item)
{
    if (item.large->isNull() && !item.largeFile.isEmpty())
        item.large->load(item.largeFile);
    return *item.large;
}

void ScaledLayout::fitToRoot(QSize designPixels, QSize smallestPixels)
{
    m_design = designPixels;
    m_smallest = smallestPixels;
    m_root->installEventFilter(this);
    refit();
}

void ScaledLayout::refit()
{
    const QSize have = m_root->size();
    const double s = Scale::fit(have, m_design, m_smallest);
    const QSize used(std::lround(m_design.width() * s), std::lround(m_design.height() * s));
    const QPoint offset(std::max(0, (have.width() - used.width()) / 2),
                        std::max(0, (have.height() - used.height()) / 2));
    apply(s, offset);
}

bool ScaledLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_root && event->type() == QEvent::Resize)
        refit();
    return QObject::eventFilter(watched, event);
}
