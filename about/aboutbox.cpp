#include "aboutbox.h"

#include "clickablelabel.h"
#include "colourui.h"
#include "drag.h"
#include "programdir.h"
#include "remote.h"
#include "repeatguard.h"
#include "safefile.h"
#include "scale.h"
#include "shellopen.h"
#include "twips.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <qdrawutil.h>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QSizeGrip>
#include <QUrl>
#include <QWindow>

namespace {
// Far more than any small animation; a larger file is no picture for the box.
constexpr qint64 MaxPictureBytes = 4 * 1024 * 1024;

AboutBox::LinkOpener &linkOpener()
{
    static AboutBox::LinkOpener opener;
    return opener;
}

QFont tahoma(bool underline = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setUnderline(underline);
    return font;
}

QFont ming(int points, QFont::Weight weight)
{
    return QFont(QStringLiteral("新細明體"), points, weight);
}

void setTextColour(QWidget *w, quint32 rrggbb)
{
    Colour::setRole(w, QPalette::WindowText, Colour::fromHex(rrggbb));
}

// Windows draws a sizable border without a caption; X11 window managers draw none at
// all for such a window, so the box draws its own edge and carries a size grip.
bool systemDrawsBorder()
{
    return QGuiApplication::platformName() == QLatin1String("windows");
}
} // namespace

void AboutBox::setLinkOpener(LinkOpener opener)
{
    linkOpener() = std::move(opener);
}

AboutBox::AboutBox(const QString &programDir)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(Colour::noIcon());
    m_layout = new ScaledLayout(this);
    m_layout->font(this, ming(9, QFont::Bold));
    Colour::setRole(this, QPalette::Window, Colour::ButtonFace);
    m_layout->place(this, QRect(3720, 1485, 4680, 2595));

    const QString author = QStringLiteral("林志明");
    // Short enough for the link labels' own widths in the faces this platform has.
    const QString mail = QStringLiteral("lin@example.com");
    const QString site = QStringLiteral("http://example.com");
    m_mailLink = QStringLiteral("mailto:") + mail;
    m_siteLink = site + QLatin1Char('/');

    const auto makeLabel = [this](const QString &name, const QRect &geometry, const QString &text,
                                  const QFont &font) {
        auto *label = new ClickableLabel(text, this);
        label->setObjectName(name);
        m_layout->place(label, geometry);
        m_layout->font(label, font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };
    const auto lblName = [](int i) { return QStringLiteral("lbl(%1)").arg(i); };

    lbl[0] = makeLabel(lblName(0), QRect(120, 120, 2655, 255), QStringLiteral("Zentavo"),
                       ming(12, QFont::Bold));
    setTextColour(lbl[0], 0x404040);
    lbl[3] =
        makeLabel(lblName(3), QRect(465, 960, 990, 255), QStringLiteral("程式設計："), tahoma());
    lbl[1] = makeLabel(lblName(1), QRect(840, 1320, 615, 255), QStringLiteral("Email："), tahoma());
    lbl[2] = makeLabel(lblName(2), QRect(1560, 1320, 1845, 255), mail, tahoma(true));
    lbl[4] = makeLabel(lblName(4), QRect(120, 1680, 1365, 255), QStringLiteral("我的個人網站："),
                       tahoma());
    lbl[5] = makeLabel(lblName(5), QRect(1560, 1680, 1770, 255), site, tahoma(true));
    for (int i : {2, 5}) {
        setTextColour(lbl[i], 0x0000FF);
        lbl[i]->setCursor(Qt::PointingHandCursor);
    }
    for (int i = 0; i < int(lbl.size()); ++i)
        connect(lbl[i], &ClickableLabel::clicked, this, [this, i] { lbl_Click(i); });

    Label1 = makeLabel(QStringLiteral("Label1"), QRect(1560, 960, 1455, 255), author,
                       ming(12, QFont::Normal));
    setTextColour(Label1, 0x0000FF);

    Gif1 = new ClickableLabel(this);
    Gif1->setObjectName(QStringLiteral("Gif1"));
    m_layout->place(Gif1, QRect(3000, 120, 1695, 615));
    Gif1->setAlignment(Qt::AlignCenter);
    // Read as gift.txt is: a FIFO of that name would hang the box, a huge file flood it.
    // Without a picture the box shows nothing there.
    const QString dir = programDir.isEmpty() ? ProgramDir::path() : programDir;
    auto *picture = new QBuffer(this);
    picture->setData(
        SafeFile::read(QDir(dir).filePath(QStringLiteral("Atom1.gif")), MaxPictureBytes).bytes);
    m_movie = new QMovie(picture, QByteArray(), this);
    Gif1->setMovie(m_movie);
    connect(m_movie, &QMovie::frameChanged, this, &AboutBox::showScaledFrame);
    if (m_movie->isValid())
        m_movie->start();

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_layout->place(cmdOK, QRect(3240, 2160, 1095, 375));
    m_layout->font(cmdOK, ming(9, QFont::Normal));
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    cmdOK->setFocus();
    // A box opened by mistake closes from the remote too, as the record does.
    RepeatGuard::instance().addShortcut(this, QKeySequence(Qt::Key_Escape), [this] { close(); });
    for (Qt::Key key : Presenter::NextKeys)
        RepeatGuard::instance().addShortcut(this, QKeySequence(key), [this] { close(); });

    if (!systemDrawsBorder()) {
        m_sizeGrip = new QSizeGrip(this);
        m_sizeGrip->resize(m_sizeGrip->sizeHint());
    }
}

void AboutBox::setScale(double s)
{
    m_layout->apply(s);
    if (!m_movie->isValid())
        return;
    if (s == 1.0) {
        if (Gif1->movie() != m_movie)
            Gif1->setMovie(m_movie);
        return;
    }
    // The animation grows with the box. Enlarged by the movie itself its frames come out
    // blurred; each frame is enlarged here as pixel art instead.
    if (Gif1->movie())
        Gif1->clear();
    showScaledFrame();
}

void AboutBox::showScaledFrame()
{
    const double s = m_layout->scale();
    if (s == 1.0 || Gif1->movie())
        return;
    Gif1->setPixmap(Scale::sharp(m_movie->currentPixmap(), s, Gif1->devicePixelRatioF()));
}

void AboutBox::Navigate(const QString &webPageUrl)
{
    if (linkOpener())
        linkOpener()(QUrl(webPageUrl));
    else
        ShellOpen::open(this, webPageUrl);
}

void AboutBox::lbl_Click(int index)
{
    switch (index) {
    case 2:
        Navigate(m_mailLink);
        break;
    case 5:
        Navigate(m_siteLink);
        break;
    default:
        break;
    }
}

void AboutBox::mousePressEvent(QMouseEvent *event)
{
    // A press a control let through is not a press on the background.
    if (childAt(event->position().toPoint()))
        return;
    const QPointF at = event->position() * Twips::PerPixel;
    grabX = float(at.x());
    grabY = float(at.y());
    m_dragging = true;
    if (event->button() == Qt::LeftButton && windowHandle() &&
        Drag::usesSystemMove(QGuiApplication::platformName())) {
        m_dragging = false;
        windowHandle()->startSystemMove();
    }
}

void AboutBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const std::optional<QPointF> to =
        Drag::moved(QPointF(pos()) * Twips::PerPixel, event->position() * Twips::PerPixel,
                    QPointF(grabX, grabY), event->buttons());
    if (to)
        move(Twips::toPixels(to->x()), Twips::toPixels(to->y()));
}

void AboutBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        m_dragging = false;
}

void AboutBox::paintEvent(QPaintEvent *)
{
    if (!m_sizeGrip)
        return;
    QPainter p(this);
    qDrawWinPanel(&p, rect(), palette(), false);
}

void AboutBox::resizeEvent(QResizeEvent *)
{
    if (m_sizeGrip)
        m_sizeGrip->move(width() - m_sizeGrip->width(), height() - m_sizeGrip->height());
}
