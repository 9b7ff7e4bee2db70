#include "prizewindow.h"

#include "bignumber.h"
#include "colourui.h"
#include "facebutton.h"
#include "fontfaces.h"
#include "look.h"
#include "picturereader.h"
#include "prizeart.h"
#include "scale.h"
#include "twips.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>

namespace {
QFont prizeFont()
{
    return QFont(Look::ming(), 18);
}

QFont guestFont()
{
    return QFont(Look::ming(), 14);
}

// The prize label is one 18 pt line wide.
constexpr QRect PrizeBox(240, 960, 4095, 615);
} // namespace

PrizeWindow::PrizeWindow(QWidget *parent)
    // A dialog, so that window managers give it a close box only and, with the board as
    // its parent, keep it in front of the board.
    : GrowingWindow(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form2"));
    setWindowIcon(Colour::noIcon());
    Colour::setRole(this, QPalette::Window, Colour::ButtonFace);
    ScaledLayout &layout = *GrowingWindow::layout();
    layout.font(this, font());

    m_confirmButton = new FaceButton(QStringLiteral("確 定"), this);
    m_confirmButton->setObjectName(QStringLiteral("Command1"));
    layout.place(m_confirmButton, QRect(3600, 2160, 855, 375));
    m_confirmButton->setFaceColour(Look::ConfirmFace);
    connect(m_confirmButton, &QPushButton::clicked, this, &PrizeWindow::confirm);

    m_caption = new QLabel(PrizeArt::caption(), this);
    m_caption->setObjectName(QStringLiteral("Label2"));
    layout.place(m_caption, QRect(240, 360, 2055, 615));
    layout.font(m_caption, QFont(Look::tahoma(), 18));
    Colour::setRole(m_caption, QPalette::WindowText, PrizeArt::CaptionColour);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_prizeLabel = new QLabel(this);
    m_prizeLabel->setObjectName(QStringLiteral("Label1"));
    layout.place(m_prizeLabel, PrizeBox);
    layout.font(m_prizeLabel, prizeFont());
    m_prizeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_prizeLabel->setWordWrap(true);
    m_prizeLabel->setTextFormat(Qt::PlainText); // a prize is never markup, whatever it holds

    m_guest = new QLabel(this);
    m_guest->setObjectName(QStringLiteral("Guest"));
    layout.place(m_guest, QRect(240, 1620, 3300, 450));
    layout.font(m_guest, guestFont());
    Colour::setRole(m_guest, QPalette::WindowText, PrizeArt::CaptionColour);
    m_guest->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_guest->setTextFormat(Qt::PlainText);
    m_guest->setWordWrap(true);
    m_guest->hide();

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->hide();

    m_number = new BigNumber(this);
    m_number->setObjectName(QStringLiteral("Number"));
    Colour::setRole(m_number, QPalette::WindowText, PrizeArt::CaptionColour);
    m_number->hide();

    // Labels take no focus, so the button is first and only in the tab order.
    m_confirmButton->setFocus();

    connect(this, &GrowingWindow::opened, this, &PrizeWindow::onOpened);
}

void PrizeWindow::setHall(double s)
{
    if (!m_hallLayout) {
        m_hallLayout = new ScaledLayout(this);
        ScaledLayout &hall = *m_hallLayout;
        hall.place(m_number, PrizeArt::HallNumber);
        hall.place(m_caption, PrizeArt::HallCaption);
        hall.font(m_caption, PrizeArt::hallFont(PrizeArt::HallCaptionPoints));
        hall.place(m_prizeLabel, PrizeArt::HallPrize);
        hall.place(m_confirmButton, PrizeArt::HallButton);
        hall.place(m_guest, PrizeArt::HallGuest);
        hall.font(m_guest, PrizeArt::hallFont(PrizeArt::HallGuestPoints));
        hall.font(m_confirmButton, PrizeArt::hallFont(PrizeArt::HallButtonPoints));
    }
    m_hallLayout->apply(s);
    setOpeningScale(s);
    m_number->show();
    fitGuest();
    placePicture();
}

void PrizeWindow::setPicture(const QString &path)
{
    m_picturePath = path;
    placePicture();
}

bool PrizeWindow::hasPicture() const
{
    return !m_picture->pixmap().isNull();
}

void PrizeWindow::placePicture()
{
    m_picture->setPixmap({});
    if (m_picturePath.isEmpty()) {
        m_picture->hide();
        return;
    }
    const double s = m_hallLayout ? hallScale() : scale();
    const QRect box =
        Scale::rect(m_hallLayout ? PrizeArt::HallPictureAboveButton : PrizeArt::DeskPicture, s);
    const QImage image = PictureReader::read(m_picturePath, box.size());
    if (image.isNull()) {
        m_picture->hide();
        return;
    }
    m_picture->setGeometry(PrizeArt::fitted(box, image.size()));
    m_picture->setPixmap(QPixmap::fromImage(image));
    m_picture->show();
    // In the hall the number and the words give up the picture's column.
    if (m_hallLayout) {
        const int textWidth =
            Scale::rect(
                QRect(PrizeArt::HallPrize.topLeft(), QPoint(PrizeArt::HallTextRight - 1, 0)), s)
                .width();
        for (QWidget *w : {static_cast<QWidget *>(m_prizeLabel), static_cast<QWidget *>(m_number)})
            w->resize(std::min(w->width(), textWidth), w->height());
    }
}

double PrizeWindow::hallScale() const
{
    return m_hallLayout ? m_hallLayout->scale() : 0.0;
}

void PrizeWindow::setNumber(const QString &number)
{
    m_number->setNumber(number);
}

void PrizeWindow::setGuest(const QString &guest, const QString &after)
{
    m_guestText = {guest, after};
    fitGuest();
    m_guest->setVisible(!guest.isEmpty());
}

void PrizeWindow::fitGuest()
{
    const auto &[first, after] = m_guestText;
    const QFont design =
        m_hallLayout ? Scale::font(PrizeArt::hallFont(PrizeArt::HallGuestPoints), hallScale())
                     : Scale::font(guestFont(), scale());
    // Smaller and smaller, on two lines if the box has room for them: never cut.
    const auto set = Scale::wrapped(design, first, after, m_guest->contentsRect().size(), 2, 1.0);
    m_guest->setFont(set ? set->font : design);
    m_guest->setText(set ? set->text : first + after);
}

void PrizeWindow::open()
{
    OpeningPlan plan = PrizeArt::opening(m_hallLayout != nullptr);
    // On the desk the window opens wider for the picture.
    if (!m_hallLayout && hasPicture())
        plan.widthStep = PrizeArt::DeskPictureWidthStep;
    GrowingWindow::open(plan);
}

void PrizeWindow::setPrize(const QString &prize)
{
    m_prize = prize;
    if (m_opened)
        showPrize();
}

void PrizeWindow::onOpened()
{
    setWindowTitle(QStringLiteral("好禮大方送--"));
    setFixedSize(size());
    m_opened = true;
    showPrize();
}

void PrizeWindow::showPrize()
{
    const double s = m_hallLayout ? hallScale() : scale();
    const QFont font = m_hallLayout ? PrizeArt::hallFont(PrizeArt::HallPrizePoints) : prizeFont();
    m_prizeLabel->setFont(PrizeArt::fittingFont(Scale::font(font, s), m_prize,
                                                m_prizeLabel->contentsRect().size(), s));
    m_prizeLabel->setText(m_prize);
}

void PrizeWindow::confirm()
{
    close();
    Q_EMIT confirmed();
}

void PrizeWindow::closeEvent(QCloseEvent *event)
{
    GrowingWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

bool PrizeWindow::canDraw(char32_t u)
{
    // Looked up once: the substitutions are set before the prize list is read.
    static const FontFaces faces(prizeFont());
    return faces.canDraw(u);
}

bool PrizeWindow::showsWhole(const QString &prize)
{
    const QSize box =
        Twips::rect(PrizeBox.x(), PrizeBox.y(), PrizeBox.width(), PrizeBox.height()).size();
    const QFont font = PrizeArt::fittingFont(prizeFont(), prize, box, 1.0);
    const QRect needed = QFontMetrics(font).boundingRect(
        QRect(QPoint(), box), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, prize);
    return needed.width() <= box.width() && needed.height() <= box.height();
}
