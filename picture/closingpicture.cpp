#include "closingpicture.h"

#include "colourui.h"
#include "pictures.h"
#include "scale.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include <algorithm>

namespace {
constexpr ColourValue Red = Colour::fromHex(0xFF0000);
} // namespace

ClosingPicture::ClosingPicture(QWidget *parent)
    : GrowingWindow(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form3"));
    setWindowIcon(Colour::noIcon());
    // Red from the first growth step on, as the bands will be.
    Colour::setRole(this, QPalette::Window, Red);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ScaledLayout &layout = *GrowingWindow::layout();
    layout.place(Picture1, QRect(0, 0, 8175, 3615));
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout.frameLine(Picture1, 2);
    // Unscaled from the inner top-left; whatever does not fit is cut off.
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout.picture(Picture1, QPixmap(Pictures::closing()), Pictures::closingLarge());
    Colour::setRole(Picture1, QPalette::Window, Red);
    Picture1->setAutoFillBackground(true);
    Picture1->installEventFilter(this);
}

void ClosingPicture::open()
{
    OpeningPlan plan;
    plan.heightStep = 12;
    plan.widthStep = 27;
    plan.top = 1500;
    plan.bandColour = [](int) { return Red; };
    GrowingWindow::open(plan);
}

double ClosingPicture::hallScale(QSize screen)
{
    // The window's full size is 8100 x 3600 twips: 540 x 240 pixels at the design.
    return std::min(0.75 * screen.width() / 540.0, 0.6 * screen.height() / 240.0);
}

bool ClosingPicture::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Picture1)
        return GrowingWindow::eventFilter(watched, event);
    // A click is a left press and release both on the picture; other buttons do nothing.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            m_pressed = true;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        const bool click = m_pressed && Picture1->rect().contains(mouse->position().toPoint());
        m_pressed = false;
        if (click)
            Picture1_Click();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

void ClosingPicture::closeEvent(QCloseEvent *event)
{
    GrowingWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void ClosingPicture::Picture1_Click()
{
    close();
    Q_EMIT pictureClicked();
}
