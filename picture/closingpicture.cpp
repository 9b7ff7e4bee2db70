#include "closingpicture.h"

#include "closingart.h"
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
constexpr ColourValue Red = ClosingArt::Ground;
} // namespace

ClosingPicture::ClosingPicture(QWidget *parent)
    : GrowingWindow(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form3"));
    setWindowIcon(Colour::noIcon());
    // Red from the first growth step on, as the bands will be.
    Colour::setRole(this, QPalette::Window, Red);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    ScaledLayout &layout = *GrowingWindow::layout();
    layout.place(m_picture, QRect(0, 0, 8175, 3615));
    m_picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout.frameLine(m_picture, 2);
    // Unscaled from the inner top-left; whatever does not fit is cut off.
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout.picture(m_picture, QPixmap(Pictures::closing()), Pictures::closingLarge());
    Colour::setRole(m_picture, QPalette::Window, Red);
    m_picture->setAutoFillBackground(true);
    m_picture->installEventFilter(this);
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

bool ClosingPicture::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_picture)
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
        const bool click = m_pressed && m_picture->rect().contains(mouse->position().toPoint());
        m_pressed = false;
        if (click)
            pictureClick();
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

void ClosingPicture::pictureClick()
{
    close();
    Q_EMIT pictureClicked();
}
