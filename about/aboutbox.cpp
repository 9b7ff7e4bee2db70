#include "aboutbox.h"

#include "clickablelabel.h"
#include "colourui.h"
#include "drag.h"
#include "look.h"
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
    QFont font(Look::tahoma());
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setUnderline(underline);
    return font;
}

QFont ming(int points, QFont::Weight weight)
{
    return QFont(Look::ming(), points, weight);
}

void setTextColour(QWidget *w, ColourValue colour)
{
    Colour::setRole(w, QPalette::WindowText, colour);
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
    m_mailUrl = QStringLiteral("mailto:") + mail;
    m_siteUrl = site + QLatin1Char('/');

    const auto makeLabel = [this](const QString &name, const QRect &geometry, const QString &text,
                                  const QFont &font) {
        auto *label = new ClickableLabel(text, this);
        label->setObjectName(name);
        m_layout->place(label, geometry);
        m_layout->font(label, font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };
    // The labels keep the design's names, an array of six.
    const auto designName = [](int i) { return QStringLiteral("lbl(%1)").arg(i); };

    m_programName = makeLabel(designName(0), QRect(120, 120, 2655, 255), QStringLiteral("Zentavo"),
                              ming(12, QFont::Bold));
    setTextColour(m_programName, Look::DarkGrey);
    m_authorCaption =
        makeLabel(designName(3), QRect(465, 960, 990, 255), QStringLiteral("程式設計："), tahoma());
    m_mailCaption =
        makeLabel(designName(1), QRect(840, 1320, 615, 255), QStringLiteral("Email："), tahoma());
    m_mail = makeLabel(designName(2), QRect(1560, 1320, 1845, 255), mail, tahoma(true));
    m_siteCaption = makeLabel(designName(4), QRect(120, 1680, 1365, 255),
                              QStringLiteral("我的個人網站："), tahoma());
    m_site = makeLabel(designName(5), QRect(1560, 1680, 1770, 255), site, tahoma(true));
    for (ClickableLabel *link : {m_mail, m_site}) {
        setTextColour(link, Look::Blue);
        link->setCursor(Qt::PointingHandCursor);
    }
    connect(m_mail, &ClickableLabel::clicked, this, [this] { openLink(m_mailUrl); });
    connect(m_site, &ClickableLabel::clicked, this, [this] { openLink(m_siteUrl); });

    m_author = makeLabel(QStringLiteral("Label1"), QRect(1560, 960, 1455, 255), author,
                         ming(12, QFont::Normal));
    setTextColour(m_author, Look::Blue);

    m_picture = new ClickableLabel(this);
    m_picture->setObjectName(QStringLiteral("Gif1"));
    m_layout->place(m_picture, QRect(3000, 120, 1695, 615));
    m_picture->setAlignment(Qt::AlignCenter);
    // Read as gift.txt is: a FIFO of that name would hang the box, a huge file flood it.
    // Without a picture the box shows nothing there.
    const QString dir = programDir.isEmpty() ? ProgramDir::path() : programDir;
    auto *picture = new QBuffer(this);
    picture->setData(
        SafeFile::read(QDir(dir).filePath(QStringLiteral("Atom1.gif")), MaxPictureBytes).bytes);
    m_movie = new QMovie(picture, QByteArray(), this);
    m_picture->setMovie(m_movie);
    connect(m_movie, &QMovie::frameChanged, this, &AboutBox::showScaledFrame);
    if (m_movie->isValid())
        m_movie->start();

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("cmdOK"));
    m_layout->place(m_okButton, QRect(3240, 2160, 1095, 375));
    m_layout->font(m_okButton, ming(9, QFont::Normal));
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);
    m_okButton->setFocus();
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
        if (m_picture->movie() != m_movie)
            m_picture->setMovie(m_movie);
        return;
    }
    // The animation grows with the box. Enlarged by the movie itself its frames come out
    // blurred; each frame is enlarged here as pixel art instead.
    if (m_picture->movie())
        m_picture->clear();
    showScaledFrame();
}

void AboutBox::showScaledFrame()
{
    const double s = m_layout->scale();
    if (s == 1.0 || m_picture->movie())
        return;
    m_picture->setPixmap(Scale::sharp(m_movie->currentPixmap(), s, m_picture->devicePixelRatioF()));
}

void AboutBox::openLink(const QString &url)
{
    if (linkOpener())
        linkOpener()(QUrl(url));
    else
        ShellOpen::open(this, url);
}

void AboutBox::mousePressEvent(QMouseEvent *event)
{
    // A press a control let through is not a press on the background.
    if (childAt(event->position().toPoint()))
        return;
    const QPointF at = event->position() * Twips::PerPixel;
    m_grabX = float(at.x());
    m_grabY = float(at.y());
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
                    QPointF(m_grabX, m_grabY), event->buttons());
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
