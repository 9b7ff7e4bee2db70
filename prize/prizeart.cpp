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

void PrizeArt::paintHall(QPainter &p, QSize size, double s, const QString &number,
                         const QString &prize, const QString &guest)
{
    for (int j = 1; j <= Opening::Bands; ++j)
        p.fillRect(Opening::band(j, size), Colour::toQColor(bandColour(j), QPalette()));
    const QColor dark = Colour::toQColor(CaptionColour, QPalette());

    const QRect numberBox = Scale::rect(HallNumber, s);
    const BigNumber::Fit digits = BigNumber::fit(number, numberBox.size());
    p.setPen(dark);
    p.setFont(digits.font);
    p.drawText(digits.origin + numberBox.topLeft(), number);

    p.setFont(Scale::font(hallFont(HallCaptionPoints), s));
    p.drawText(Scale::rect(HallCaption, s), Qt::AlignLeft | Qt::AlignTop, caption());
    if (!guest.isEmpty()) {
        const QRect box = Scale::rect(HallGuest, s);
        p.setFont(Scale::fitting(Scale::font(hallFont(HallGuestPoints), s), guest, box.size()));
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, guest);
    }

    p.setPen(Qt::black);
    p.setFont(hallPrizeFont(s, prize));
    p.drawText(Scale::rect(HallPrize, s), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, prize);
}
