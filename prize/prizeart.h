#pragma once

#include "colourvalue.h"
#include "look.h"
#include "opening.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// What the prize window and the hall's show draw alike when a prize is announced: the banded
// ground, the caption, the prize's type, and the hall's layout with the number above the
// prize. The window lays it out with its controls; the show paints it whole.
namespace PrizeArt {
QString caption();
inline constexpr ColourValue CaptionColour = Look::DarkRed;
// White at the top running to yellow: blue 252 down to 0 in steps of 4.
ColourValue bandColour(int j);
// How the announcement grows onto the screen; for the hall, wider and taller.
OpeningPlan opening(bool hall);

// The hall's announcement, drawn for a screen 8100 twips (540 pixels) high: the prize's type a
// fifteenth of the screen's height.
inline constexpr int HallWidth = 10800;
inline constexpr int HallHeight = 5400;
inline constexpr QRect HallNumber(240, 120, 10200, 1320);
inline constexpr QRect HallCaption(240, 1440, 4500, 600);
inline constexpr QRect HallPrize(240, 2040, 10200, 2040);
inline constexpr QRect HallButton(9120, 4200, 1200, 540);
// With a guest list, who the number stands for, beside the button.
inline constexpr QRect HallGuest(240, 4140, 8700, 660);
inline constexpr double HallCaptionPoints = 20;
inline constexpr double HallPrizePoints = 38;
inline constexpr double HallButtonPoints = 12;
inline constexpr double HallGuestPoints = 24;
// In the show, a winner's name is read as far as the prize: two lines of the prize's type
// beside the button, the number and the prize giving up the room.
inline constexpr QRect HallNamedNumber(240, 120, 10200, 1080);
inline constexpr QRect HallNamedCaption(240, 1200, 4500, 600);
inline constexpr QRect HallNamedPrize(240, 1800, 10200, 1140);
inline constexpr QRect HallNamedGuest(240, 2940, 8700, 2400);
// A fifteenth of the 540 pixels: the smallest a long name is set in.
inline constexpr double HallGuestSmallestPoints = 27;
QFont hallFont(double points);
// With pictures the text keeps the left of the announcement and the pictures stand in a
// column on the right: the prize's a third of the screen high or more, the winner's photo
// under it a quarter or more, or either alone in the whole column.
inline constexpr int HallTextRight = 6540;
inline constexpr QRect HallPictureColumn(6780, 120, 3780, 5160);
inline constexpr int HallPrizePictureHeight = 2760;
// In the prize window the column ends above the button.
inline constexpr QRect HallPictureAboveButton(6780, 120, 3780, 3960);
// On the desk the prize window opens wider with a picture, which stands right of the text.
inline constexpr QRect DeskPicture(4680, 120, 3000, 2280);
inline constexpr int DeskPictureWidthStep = 26;

// The prize wraps and its type shrinks until every line fits the box, never below 9 points
// at the scale, so nothing of the prize is cut off.
QFont fittingFont(QFont font, const QString &text, QSize box, double scale);

// Where the hall's announcement puts each part at s, and in what type.
struct HallLayout
{
    double scale = 1.0;
    QRect number;
    QRect caption;
    QRect prize;
    QFont prizeFont;
    QRect guest; // empty without a name
    QFont guestFont;
    QString guestText; // as set: on one line or two
    QRect picture;     // empty without the prize's picture
    QRect photo;       // empty without the winner's photo
};
// A name never in smaller type than the prize: the prize gives way to a long one.
HallLayout hallLayout(double s, const QString &prize, const QString &name = {},
                      const QString &after = {}, bool picture = false, bool photo = false);
// A picture fitted into its box, its shape kept, centred.
QRect fitted(const QRect &box, QSize picture);
// Whether a name and what follows it fit the announcement at s at its smallest type.
bool hallHolds(double s, const QString &name, const QString &after);

// The hall's announcement whole at its layout (number, caption, prize, name on the bands
// over size), into the painter's device from its top-left corner.
void paintHall(QPainter &p, QSize size, const HallLayout &layout, const QString &number,
               const QString &prize, const QImage &picture = {}, const QImage &photo = {});
// The prize's font there.
QFont hallPrizeFont(double s, const QString &prize);
} // namespace PrizeArt
