#include "prizewindow.h"

#include "bignumber.h"
#include "colourui.h"
#include "facebutton.h"
#include "fontfaces.h"
#include "fonts.h"
#include "scale.h"
#include "twips.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>

namespace {
QFont prizeFont()
{
    return QFont(QStringLiteral("新細明體"), 18);
}

QFont hallFont(double points)
{
    QFont f;
    f.setFamilies(Fonts::hallFamilies());
    f.setPointSizeF(points);
    return f;
}

// The window for the hall, drawn for a screen 8100 twips (540 pixels) high: wider, the
// number above the prize, the prize's type a fifteenth of the screen's height.
constexpr int HallWidth = 10800;
constexpr int HallHeight = 5400;
constexpr double HallPrizePoints = 38;

// The prize label is one 18 pt line wide. A longer prize wraps and the type shrinks
// until every line fits the label, so nothing of the prize is cut off.
QFont fittingFont(QFont font, const QString &text, QSize box, double scale)
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

    Command1 = new FaceButton(QStringLiteral("確 定"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    layout.place(Command1, QRect(3600, 2160, 855, 375));
    Command1->setFaceColour(Colour::fromHex(0x80FF80));
    connect(Command1, &QPushButton::clicked, this, &PrizeWindow::Command1_Click);

    Label2 = new QLabel(QStringLiteral("您的獎品是:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    layout.place(Label2, QRect(240, 360, 2055, 615));
    layout.font(Label2, QFont(QStringLiteral("Tahoma"), 18));
    Colour::setRole(Label2, QPalette::WindowText, Colour::fromHex(0xC00000));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout.place(Label1, QRect(240, 960, 4095, 615));
    layout.font(Label1, prizeFont());
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText); // a prize is never markup, whatever it holds

    m_number = new BigNumber(this);
    m_number->setObjectName(QStringLiteral("Number"));
    Colour::setRole(m_number, QPalette::WindowText, Colour::fromHex(0xC00000));
    m_number->hide();

    // Labels take no focus, so the button is first and only in the tab order.
    Command1->setFocus();

    connect(this, &GrowingWindow::opened, this, &PrizeWindow::onOpened);
}

PrizeWindow *PrizeWindow::announcement(QWidget *parent)
{
    auto *w = new PrizeWindow(parent);
    w->setWindowFlags(Qt::Widget);
    w->Command1->hide();
    w->Command1->setEnabled(false);
    return w;
}

void PrizeWindow::setHall(double s)
{
    if (!m_hallLayout) {
        m_hallLayout = new ScaledLayout(this);
        ScaledLayout &hall = *m_hallLayout;
        hall.place(m_number, QRect(240, 120, 10200, 1320));
        hall.place(Label2, QRect(240, 1440, 4500, 600));
        hall.font(Label2, hallFont(20));
        hall.place(Label1, QRect(240, 2040, 10200, 2040));
        hall.place(Command1, QRect(9120, 4200, 1200, 540));
        hall.font(Command1, hallFont(12));
    }
    m_hallLayout->apply(s);
    setOpeningScale(s);
    m_number->show();
}

double PrizeWindow::hallScale() const
{
    return m_hallLayout ? m_hallLayout->scale() : 0.0;
}

void PrizeWindow::setNumber(const QString &number)
{
    m_number->setNumber(number);
}

void PrizeWindow::open()
{
    OpeningPlan plan;
    plan.heightStep = m_hallLayout ? HallHeight / 300 : 10;
    plan.widthStep = m_hallLayout ? HallWidth / 300 : 16;
    plan.top = 1200;
    // White at the top running to yellow: blue 252 down to 0 in steps of 4.
    plan.bandColour = [](int j) { return Colour::rgb(255, 255, 255 - (4 * j - 1)); };
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
    const QFont font = m_hallLayout ? hallFont(HallPrizePoints) : prizeFont();
    Label1->setFont(fittingFont(Scale::font(font, s), m_prize, Label1->contentsRect().size(), s));
    Label1->setText(m_prize);
}

void PrizeWindow::Command1_Click()
{
    close();
    Q_EMIT confirmed();
}

bool PrizeWindow::canDraw(char32_t u)
{
    // Looked up once: the substitutions are set before the prize list is read.
    static const FontFaces faces(prizeFont());
    return faces.canDraw(u);
}

bool PrizeWindow::showsWhole(const QString &prize)
{
    const QSize box = Twips::rect(240, 960, 4095, 615).size();
    const QFont font = fittingFont(prizeFont(), prize, box, 1.0);
    const QRect needed = QFontMetrics(font).boundingRect(
        QRect(QPoint(), box), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, prize);
    return needed.width() <= box.width() && needed.height() <= box.height();
}
