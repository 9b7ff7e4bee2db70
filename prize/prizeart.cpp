#include "prizeart.h"

#include "bignumber.h"
#include "colourui.h"
#include "fonts.h"
#include "scale.h"

#include <QFontMetrics>
#include <QPainter>

QString PrizeArt::caption()
{
    return QStringLiteral("您的獎品是:");
}

ColourValue PrizeArt::bandColour(int j)
{
    return Colour::rgb(255, 255, 255 - (4 * j - 1));
}

OpeningPlan PrizeArt::opening(bool hall)
{
    OpeningPlan plan;
    plan.heightStep = hall ? HallHeight / 300 : 10;
    plan.widthStep = hall ? HallWidth / 300 : 16;
    plan.top = 1200;
    plan.bandColour = &bandColour;
    return plan;
}

QFont PrizeArt::hallFont(double points)
{
    QFont f = Fonts::hall();
    f.setPointSizeF(points);
    return f;
}

QFont PrizeArt::fittingFont(QFont font, const QString &text, QSize box, double scale)
{
    const qreal Smallest = 9.0 * scale;
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    for (qreal size = font.pointSizeF(); size > Smallest; size -= scale) {
        font.setPointSizeF(size);
        const QRect needed = QFontMetrics(font).boundingRect(QRect(QPoint(), box), flags, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            return font;
    }
    font.setPointSizeF(Smallest);
    return font;
}

QFont PrizeArt::hallPrizeFont(double s, const QString &prize)
{
    return fittingFont(Scale::font(hallFont(HallPrizePoints), s), prize,
                       Scale::rect(HallPrize, s).size(), s);
}

PrizeArt::HallLayout PrizeArt::hallLayout(double s, const QString &prize, const QString &name,
                                          const QString &after)
{
    HallLayout l;
    l.scale = s;
    if (name.isEmpty()) {
        l.number = Scale::rect(HallNumber, s);
        l.caption = Scale::rect(HallCaption, s);
        l.prize = Scale::rect(HallPrize, s);
        l.prizeFont = hallPrizeFont(s, prize);
        return l;
    }
    l.number = Scale::rect(HallNamedNumber, s);
    l.caption = Scale::rect(HallNamedCaption, s);
    l.prize = Scale::rect(HallNamedPrize, s);
    l.guest = Scale::rect(HallNamedGuest, s);
    const QFont design = Scale::font(hallFont(HallPrizePoints), s);
    l.prizeFont = fittingFont(design, prize, l.prize.size(), s);
    const auto set =
        Scale::wrapped(l.prizeFont, name, after, l.guest.size(), 2, HallGuestSmallestPoints * s);
    // Past the list's check only a name it never let through: set at the smallest, wrapped.
    l.guestFont = set ? set->font : Scale::font(hallFont(HallGuestSmallestPoints), s);
    l.guestText = set ? set->text : name + after;
    if (l.guestFont.pointSizeF() < l.prizeFont.pointSizeF())
        l.prizeFont = fittingFont(l.guestFont, prize, l.prize.size(), s);
    return l;
}

bool PrizeArt::hallHolds(double s, const QString &name, const QString &after)
{
    return Scale::wrapped(Scale::font(hallFont(HallGuestSmallestPoints), s), name, after,
                          Scale::rect(HallNamedGuest, s).size(), 2, HallGuestSmallestPoints * s)
        .has_value();
}

void PrizeArt::paintHall(QPainter &p, QSize size, const HallLayout &layout, const QString &number,
                         const QString &prize)
{
    for (int j = 1; j <= Opening::Bands; ++j)
        p.fillRect(Opening::band(j, size), Colour::toQColor(bandColour(j), QPalette()));
    const QColor dark = Colour::toQColor(CaptionColour, QPalette());

    const BigNumber::Fit digits = BigNumber::fit(number, layout.number.size());
    p.setPen(dark);
    p.setFont(digits.font);
    p.drawText(digits.origin + layout.number.topLeft(), number);

    p.setFont(Scale::font(hallFont(HallCaptionPoints), layout.scale));
    p.drawText(layout.caption, Qt::AlignLeft | Qt::AlignTop, caption());
    if (!layout.guestText.isEmpty()) {
        p.setFont(layout.guestFont);
        p.drawText(layout.guest, Qt::AlignLeft | Qt::AlignVCenter | Scale::Wrapped::Flags,
                   layout.guestText);
    }

    p.setPen(Qt::black);
    p.setFont(layout.prizeFont);
    p.drawText(layout.prize, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, prize);
}
