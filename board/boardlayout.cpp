#include "boardlayout.h"

#include "bignumber.h"
#include "cellbutton.h"
#include "colourui.h"
#include "fontfaces.h"
#include "fonts.h"
#include "look.h"
#include "pictures.h"
#include "scale.h"
#include "twips.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
static_assert(Ring::Cells == Board::Cells);

QFont makeFont(const QString &family, double points, bool bold)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setBackground(QWidget *w, ColourValue c)
{
    Colour::setRole(w, QPalette::Window, c);
    w->setAutoFillBackground(true);
}

QLabel *label(ScaledLayout &layout, QWidget *parent, const char *name, const QString &caption,
              const QRect &r, const QFont &f)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    layout.place(l, r);
    layout.font(l, f);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The counter comes back from the journal, a file from outside.
    l->setTextFormat(Qt::PlainText);
    return l;
}

// Where each cell and its marker sit in twips, going clockwise from the top-left corner.
struct CellPlace
{
    QRect cell;
    QRect marker;
};

CellPlace cellPlace(int i)
{
    constexpr int Upright[2] = {375, 1095};
    constexpr int Flat[2] = {1095, 375};
    const Ring::Place at = Ring::place(i);
    const int x = 1680 + 480 * at.along;
    const int y = 1800 + 480 * at.along;
    switch (at.side) {
    case Ring::Side::Top:
        return {QRect(x, 600, Upright[0], Upright[1]), QRect(x, 120, 375, 375)};
    case Ring::Side::Right:
        return {QRect(9120, y, Flat[0], Flat[1]), QRect(10320, y, 375, 375)};
    case Ring::Side::Bottom:
        return {QRect(x, 6600, Upright[0], Upright[1]), QRect(x, 7680, 375, 375)};
    case Ring::Side::Left:
        break;
    }
    return {QRect(1680, y, Flat[0], Flat[1]), QRect(1200, y, 375, 375)};
}

const QRect TitleBox(1080, 3600, 4455, 495);

QFont titleFont()
{
    return makeFont(Look::kai(), 20.25, true);
}

QString indexed(const char *name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}
} // namespace

BoardControls BoardLayout::build(QWidget *client, const Board &board)
{
    BoardControls c;
    setBackground(client, Look::Ground);
    client->setMinimumSize(smallestPixels());
    c.layout = new ScaledLayout(client);
    ScaledLayout &layout = *c.layout;

    auto scroll = [client, &layout](const char *name, const QRect &r, const QString &file,
                                    const QString &large) {
        auto *l = new QLabel(client);
        l->setObjectName(QLatin1String(name));
        layout.place(l, r);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        layout.frameLine(l, 2);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout.picture(l, QPixmap(file), large);
    };
    scroll("Picture3", QRect(10800, 600, 975, 6135), Pictures::scrollRight(),
           Pictures::scrollRightLarge());
    scroll("Picture2", QRect(240, 600, 975, 6015), Pictures::scrollLeft(),
           Pictures::scrollLeftLarge());

    const QFont cellFont = makeFont(Look::tahoma(), 9.75, true);
    const QPixmap lamp(Pictures::lamp());
    for (int i = 0; i < Board::Cells; ++i) {
        const CellPlace place = cellPlace(i);
        auto *marker = new QLabel(client);
        marker->setObjectName(indexed("Picture1", i));
        layout.place(marker, place.marker);
        setBackground(marker, Look::Ground);
        marker->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout.picture(marker, lamp, ScaledLayout::Art::Pixel);
        marker->hide();
        c.markers[std::size_t(i)] = marker;

        auto *cell = new CellButton(client);
        cell->setObjectName(indexed("Number", i));
        layout.place(cell, place.cell);
        layout.font(cell, cellFont);
        c.cells[std::size_t(i)] = cell;
    }

    auto *frame1 = new QFrame(client);
    frame1->setObjectName(QStringLiteral("Frame1"));
    layout.place(frame1, QRect(2880, 1920, 6135, 4455));
    frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    setBackground(frame1, Look::Panel);

    c.startButton = new QPushButton(QStringLiteral("開  始"), frame1);
    c.startButton->setObjectName(QStringLiteral("Start(0)"));
    layout.place(c.startButton, QRect(2280, 2160, 1575, 975));
    layout.font(c.startButton, makeFont(Look::sansSerif(), 18, true));

    c.prizeText = new QLineEdit(frame1);
    c.prizeText->setObjectName(QStringLiteral("Text1"));
    layout.place(c.prizeText, QRect(360, 3960, 2295, 375));
    c.prizeText->hide();

    const QFont stackFont = makeFont(Look::tahoma(), 14.25, true);
    const int stackLeft[2] = {240, 4200};
    const QString cardIcon[2] = {Pictures::chanceCard(), Pictures::fateCard()};
    for (int i = 0; i < 2; ++i) {
        auto *frame = new QGroupBox(board.stackCaption(i), frame1);
        frame->setObjectName(indexed("Frame2", i));
        layout.place(frame, QRect(stackLeft[i], 1560, 1575, 1575));
        layout.font(frame, stackFont);
        setBackground(frame, Look::Stack);
        Colour::setRole(frame, QPalette::WindowText, Look::DarkRed);
        c.stacks[std::size_t(i)] = frame;

        auto *card = new QPushButton(frame);
        card->setObjectName(indexed("Command1", i));
        layout.place(card, QRect(240, 480, 1095, 975));
        layout.icon(card, QIcon(cardIcon[i]), QSize(32, 32));
        c.cardButtons[std::size_t(i)] = card;
    }

    // The options carry the window's own font, which the menu bar keeps unscaled.
    const QFont optionFont = client->font();
    auto option = [frame1, &layout, optionFont](const char *name, const QString &caption,
                                                const QRect &r) {
        auto *o = new QRadioButton(caption, frame1);
        o->setObjectName(QLatin1String(name));
        layout.place(o, r);
        layout.font(o, optionFont);
        // A button fills with its button colour unless told otherwise.
        o->setBackgroundRole(QPalette::Window);
        setBackground(o, Look::Panel);
        return o;
    };
    c.firstRound = option("Option3", Look::roundCaption(false), QRect(480, 240, 1335, 255));
    c.compare = option("Option2", QStringLiteral("比大小"), QRect(5040, 120, 975, 255));
    c.secondRound = option("Option1", Look::roundCaption(true), QRect(480, 600, 1335, 255));
    c.firstRound->setChecked(true);
    c.compare->hide();
    c.title = new QLabel(frame1);
    c.title->setObjectName(QStringLiteral("Label1"));
    layout.place(c.title, TitleBox);
    // An event's own title may be longer than the line; it shrinks to fit.
    layout.fittedFont(c.title, titleFont());
    c.title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The title comes from title.txt: "<img src=…>" there is text, not a picture to load.
    c.title->setTextFormat(Qt::PlainText);
    Colour::setRole(c.title, QPalette::WindowText, Look::DarkRed);
    const QFont counterFont = makeFont(Look::tahoma(), 12, false);
    c.stopsWord = label(layout, frame1, "Label5", Look::countAfter(), QRect(4080, 360, 975, 375),
                        counterFont);
    c.stopCount = label(layout, frame1, "Label3", board.counterCaption, QRect(3720, 360, 375, 375),
                        makeFont(Look::tahoma(), 12, true));
    QLabel *stopsBefore = label(layout, frame1, "Label2", Look::countBefore(),
                                QRect(2280, 360, 1215, 375), counterFont);

    // For the hall: the winning number between the stacks above Start, clear of the ring,
    // the stacks and the counter line; the hint over the title line. Both hidden at first.
    c.hallNumber = new BigNumber(frame1);
    c.hallNumber->setObjectName(QStringLiteral("HallNumber"));
    layout.place(c.hallNumber, QRect(1860, 780, 2295, 1335));
    Colour::setRole(c.hallNumber, QPalette::WindowText, Look::DarkRed);
    c.hallNumber->hide();
    c.hint = new QLabel(frame1);
    c.hint->setObjectName(QStringLiteral("Hint"));
    layout.place(c.hint, QRect(120, 3195, 5895, 1140));
    QFont hintFont;
    hintFont.setFamilies(Fonts::hallFamilies());
    hintFont.setPointSizeF(24);
    hintFont.setBold(true);
    layout.font(c.hint, hintFont);
    c.hint->setAlignment(Qt::AlignCenter);
    c.hint->setTextFormat(Qt::PlainText);
    Colour::setRole(c.hint, QPalette::WindowText, Look::Blue);
    c.hint->hide();
    c.guest = new QLabel(frame1);
    c.guest->setObjectName(QStringLiteral("GuestLine"));
    layout.place(c.guest, QRect(120, 3180, 5895, 420));
    QFont guestFont = hintFont;
    guestFont.setPointSizeF(16);
    // A long name shrinks rather than being cut.
    layout.fittedFont(c.guest, guestFont);
    c.guest->setAlignment(Qt::AlignCenter);
    c.guest->setTextFormat(Qt::PlainText);
    Colour::setRole(c.guest, QPalette::WindowText, Look::DarkRed);
    c.guest->hide();

    // The panel's labels fill with its colour.
    for (QLabel *l : {c.title, c.stopsWord, c.stopCount, stopsBefore, c.hint, c.guest})
        setBackground(l, Look::Panel);

    layout.fitToRoot(designPixels(), smallestPixels());
    return c;
}

QSize BoardLayout::designPixels()
{
    return {Twips::toPixels(11880), Twips::toPixels(8055)};
}

QSize BoardLayout::smallestPixels()
{
    return {Twips::toPixels(11880), Twips::toPixels(7935)};
}

bool BoardLayout::titleCanDraw(char32_t u)
{
    // Looked up once: the substitutions are set before the title is read.
    static const FontFaces faces(titleFont());
    return faces.canDraw(u);
}

bool BoardLayout::titleFits(const QString &title)
{
    const QSize box =
        Twips::rect(TitleBox.x(), TitleBox.y(), TitleBox.width(), TitleBox.height()).size();
    return QFontMetricsF(Scale::fitting(titleFont(), title, box)).horizontalAdvance(title) <=
           box.width();
}
