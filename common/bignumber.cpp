#include "bignumber.h"

#include "fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {
QFont fontAt(qreal pixelSize)
{
    QFont f;
    f.setFamilies(Fonts::hallFamilies());
    f.setBold(true);
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

void BigNumber::refit()
{
    if (m_digits.isEmpty() || height() <= 0) {
        m_ink = {};
        return;
    }
    qreal size = InkShare * height() / inkPerPixel();
    m_font = fontAt(size);
    QRectF ink = QFontMetricsF(m_font).tightBoundingRect(m_digits);
    // A number too wide for the box comes down until it fits.
    if (ink.width() > width()) {
        size *= width() / ink.width();
        m_font = fontAt(size);
        ink = QFontMetricsF(m_font).tightBoundingRect(m_digits);
    }
    // The baseline goes where the ink comes out centred.
    m_ink = QRectF(QPointF((width() - ink.width()) / 2, (height() - ink.height()) / 2), ink.size());
    m_origin = m_ink.topLeft() - ink.topLeft();
}

QRectF BigNumber::inkRect() const
{
    return m_ink;
}

void BigNumber::paintEvent(QPaintEvent *)
{
    if (m_ink.isEmpty())
        return;
    QPainter p(this);
    p.setFont(m_font);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(m_origin, m_digits);
}
