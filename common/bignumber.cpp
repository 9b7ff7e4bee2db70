#include "bignumber.h"

#include "fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {
QFont fontAt(qreal pixelSize)
{
    QFont f = Fonts::hall(true);
    f.setPixelSize(std::max(1, int(std::floor(pixelSize))));
    return f;
}

// The height of lining digits' ink per pixel of font size: the same for every digit
// string, so "1" and "88" stand equally tall.
qreal inkPerPixel()
{
    static const qreal ratio = [] {
        const QFont probe = fontAt(1000);
        return QFontMetricsF(probe).tightBoundingRect(QStringLiteral("0123456789")).height() /
               1000.0;
    }();
    return ratio;
}
} // namespace

BigNumber::BigNumber(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BigNumber::setNumber(const QString &digits)
{
    if (digits == m_digits)
        return;
    m_digits = digits;
    refit();
    update();
}

void BigNumber::resizeEvent(QResizeEvent *)
{
    refit();
}

BigNumber::Fit BigNumber::fit(const QString &digits, QSizeF box)
{
    if (digits.isEmpty() || box.height() <= 0)
        return {};
    qreal size = InkShare * box.height() / inkPerPixel();
    Fit f{fontAt(size), {}, {}};
    QRectF ink = QFontMetricsF(f.font).tightBoundingRect(digits);
    // A number too wide for the box comes down until it fits.
    if (ink.width() > box.width()) {
        size *= box.width() / ink.width();
        f.font = fontAt(size);
        ink = QFontMetricsF(f.font).tightBoundingRect(digits);
    }
    // The baseline goes where the ink comes out centred.
    f.ink = QRectF(QPointF((box.width() - ink.width()) / 2, (box.height() - ink.height()) / 2),
                   ink.size());
    f.origin = f.ink.topLeft() - ink.topLeft();
    return f;
}

void BigNumber::refit()
{
    m_fit = fit(m_digits, size());
    m_drawn = QPixmap();
}

QRectF BigNumber::inkRect() const
{
    return m_fit.ink;
}

void BigNumber::paintEvent(QPaintEvent *)
{
    if (m_fit.ink.isEmpty())
        return;
    const QColor ink = palette().color(QPalette::WindowText);
    const qreal ratio = devicePixelRatioF();
    if (m_drawn.isNull() || ink != m_drawnInk || m_drawn.devicePixelRatio() != ratio) {
        QPixmap drawn(m_fit.ink.size().toSize().grownBy({1, 1, 1, 1}) * ratio);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
        p.setFont(m_fit.font);
        p.setPen(ink);
        p.drawText(m_fit.origin - m_fit.ink.topLeft() + QPointF(1, 1), m_digits);
        m_drawn = drawn;
        m_drawnInk = ink;
    }
    QPainter p(this);
    p.drawPixmap(m_fit.ink.topLeft() - QPointF(1, 1), m_drawn);
}
