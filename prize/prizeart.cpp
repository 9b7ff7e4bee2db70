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

QRect PrizeArt::fitted(const QRect &box, QSize picture)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    QRect r(QPoint(), picture.scaled(box.size(), Qt::KeepAspectRatio));
    r.moveCenter(box.center());
    return r;
}

PrizeArt::HallLayout PrizeArt::hallLayout(double s, const QString &prize, const QString &name,
                                          const QString &after, bool picture, bool photo)
{
    HallLayout l;
    l.scale = s;
    // Beside pictures the text ends short of their column.
    const auto text = [s, picture, photo](QRect r) {
        if (picture || photo)
            r.setRight(std::min(r.right(), HallTextRight - 1));
        return Scale::rect(r, s);
    };
    if (picture && photo) {
        QRect top = HallPictureColumn;
        top.setHeight(HallPrizePictureHeight);
        l.picture = Scale::rect(top, s);
        l.photo = Scale::rect(HallPictureColumn.adjusted(0, HallPrizePictureHeight + 120, 0, 0), s);
    } else if (picture) {
        l.picture = Scale::rect(HallPictureColumn, s);
    } else if (photo) {
        l.photo = Scale::rect(HallPictureColumn, s);
    }
    if (name.isEmpty()) {
        l.number = text(HallNumber);
        l.caption = text(HallCaption);
        l.prize = text(HallPrize);
        l.prizeFont =
            fittingFont(Scale::font(hallFont(HallPrizePoints), s), prize, l.prize.size(), s);
        return l;
    }
    l.number = text(HallNamedNumber);
    l.caption = text(HallNamedCaption);
    l.prize = text(HallNamedPrize);
    l.guest = text(HallNamedGuest);
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
                         const QString &prize, const QImage &picture, const QImage &photo)
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

    // Drawn once per prize, smoothly: never in a step of the growth.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!picture.isNull() && !layout.picture.isEmpty())
        p.drawImage(fitted(layout.picture, picture.size()), picture);
    if (!photo.isNull() && !layout.photo.isEmpty())
        p.drawImage(fitted(layout.photo, photo.size()), photo);
}
