#include "showwindow.h"

#include "announcement.h"
#include "bignumber.h"
#include "closingart.h"
#include "colourui.h"
#include "fonts.h"
#include "lightlayer.h"
#include "look.h"
#include "picturereader.h"
#include "pictures.h"
#include "prizeart.h"
#include "scale.h"
#include "showgeometry.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

using ShowGeometry::hallFont;
using ShowGeometry::nameSet;
using ShowGeometry::ringOf;
using ShowGeometry::setShown;

namespace {
static_assert(Ring::Cells == Board::Cells);

QLabel *makeLabel(QWidget *parent, const char *name, ColourValue colour, Qt::Alignment align)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    // Prizes, the title and the counter come from files: never markup.
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(align);
    Colour::setRole(l, QPalette::WindowText, colour);
    return l;
}

const QString BingoGap = QStringLiteral("\u3000 ");

// Text is set only when it changed: a label lays itself out again on every setText, and the
// light ticks through here.
void setText(QLabel *l, const QString &text)
{
    if (l->text() != text)
        l->setText(text);
}

} // namespace

ShowWindow::ShowWindow(Night &night, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_night(night)
{
    setObjectName(QStringLiteral("ShowWindow"));
    setWindowTitle(QStringLiteral("Zentavo"));
    setWindowIcon(Colour::noIcon());
    Colour::setRole(this, QPalette::Window, Look::Ground);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_stored.fill(Colour::SystemFlag); // no colour yet: every cell is drawn the first time

    // Everything but the ring; it gives way to the finale and the black screen. The pointer's
    // moves all reach the window itself.
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("ShowContent"));
    m_content->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_title = makeLabel(m_content, "ShowTitle", Look::DarkRed, Qt::AlignCenter);
    m_round = makeLabel(m_content, "ShowRound", Look::DarkRed, Qt::AlignLeft | Qt::AlignVCenter);
    m_counter =
        makeLabel(m_content, "ShowCounter", Look::DarkRed, Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 0; i < 2; ++i)
        m_stacks[std::size_t(i)] =
            makeLabel(m_content, i == 0 ? "ShowStack0" : "ShowStack1", Look::DarkRed,
                      (i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    m_number = new BigNumber(m_content);
    m_number->setObjectName(QStringLiteral("ShowNumber"));
    Colour::setRole(m_number, QPalette::WindowText, Look::DarkRed);
    m_number->hide();
    m_name = makeLabel(m_content, "ShowName", Look::DarkRed, Qt::AlignCenter);
    m_name->setWordWrap(true);
    m_name->hide();
    for (Picture *picture : {&m_photo, &m_logo}) {
        picture->label = makeLabel(m_content, picture == &m_photo ? "ShowPhoto" : "ShowLogo",
                                   Look::DarkRed, Qt::AlignCenter);
        picture->label->hide();
    }
    m_bingoNewest = new BigNumber(m_content);
    m_bingoNewest->setObjectName(QStringLiteral("ShowBingoNewest"));
    Colour::setRole(m_bingoNewest, QPalette::WindowText, Look::DarkRed);
    m_bingoNewest->hide();
    m_bingoTaken =
        makeLabel(m_content, "ShowBingoTaken", Look::DarkRed, Qt::AlignLeft | Qt::AlignTop);
    m_bingoTaken->setWordWrap(true);
    m_bingoTaken->hide();
    m_line = makeLabel(m_content, "ShowLine", Look::Blue, Qt::AlignCenter);
    m_line->hide();

    m_pointerTimer.setSingleShot(true);
    m_pointerTimer.setInterval(PointerHideMs);
    connect(&m_pointerTimer, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });
    m_pointerTimer.start();

    m_rollingFrame.setSingleShot(true);
    m_rollingFrame.setInterval(RollingFrameMs);
    connect(&m_rollingFrame, &QTimer::timeout, this, [this] { render(Night::Bingo); });

    connect(&night, &Night::changed, this, &ShowWindow::render);
    render(Night::Everything);
}

ShowWindow::~ShowWindow()
{
    dropLayer();
}

void ShowWindow::showOn(QScreen *screen)
{
    const bool beside = m_night.showMode() == Night::ShowMode::Beside;
    const bool flagsChange =
        beside != windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus) || !isVisible();
    // New flags may give the show a new native window.
    dropLayer();
    if (flagsChange) {
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, beside);
        // Over the board, the desk's windows (the prize's, the bingo's) open under it and
        // keep the keys, whatever the window manager stacks last.
        setWindowFlag(Qt::WindowStaysOnTopHint, !beside);
        setAttribute(Qt::WA_ShowWithoutActivating, beside);
    }
    if (screen) {
        // A full-screen window stays where it is when moved: it goes over anew.
        if (isVisible() && this->screen() != screen)
            hide();
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    if (beside) {
        // Not showFullScreen(): it would ask for the focus the show must not take.
        setWindowState(windowState() | Qt::WindowFullScreen);
        setVisible(true);
        renderPrize();
        return;
    }
    showFullScreen();
    raise();
    activateWindow();
    setFocus();
    renderPrize();
}

std::optional<GuestPart> ShowWindow::tooLong(const Guest &guest)
{
    // On the smallest projector the show is made for: 1024 x 768, under the number and in
    // the announcement.
    const QSize screen(1024, 768);
    const QSize box(ringOf(screen).centre.width(), screen.height() / 10);
    const double s = Scale::hall(screen);
    const auto holds = [&](const QString &after) {
        return nameSet(guest.name, after, box, screen.height()) &&
               PrizeArt::hallHolds(s, guest.name, after);
    };
    if (!holds({}))
        return GuestPart::Name;
    if (!holds(guest.after()))
        return GuestPart::Department;
    return std::nullopt;
}

bool ShowWindow::lineShown() const
{
    return m_night.showMode() == Night::ShowMode::Over && !m_night.line().isEmpty();
}

bool ShowWindow::nightCovered() const
{
    return m_night.isFinale() || m_night.isBlackedOut();
}

void ShowWindow::render(Night::Aspects aspects)
{
    if ((aspects & Night::BingoRoll) && !(aspects & Night::Bingo) && !m_rollingFrame.isActive())
        m_rollingFrame.start();
    if (aspects & (Night::Finale | Night::BlackOut | Night::Title | Night::Guests)) {
        relayout();
        update();
    } else if (aspects & (Night::Line | Night::Show)) {
        relayout();
    }
    if (aspects & (Night::Cells | Night::Spin | Night::Finale | Night::BlackOut))
        renderCells();
    const Board &board = m_night.board();
    if (aspects & (Night::Counts | Night::Round)) {
        setText(m_counter, Look::countLine(board.counterCaption));
        for (int i = 0; i < 2; ++i)
            setText(m_stacks[std::size_t(i)], board.stackCaption(i));
        setText(m_round, Look::roundCaption(m_night.isSecondRound()));
    }
    const Night::BingoState &bingo = m_night.bingo();
    // The announcement carries the number and the name itself: nothing of them beneath it.
    const bool announced = m_night.prize().stage != Night::PrizeStage::None;
    if (aspects & (Night::Counts | Night::Spin | Night::Prize | Night::Bingo)) {
        const int number = bingo.open || announced ? 0 : m_night.shownNumber();
        if (number)
            m_number->setNumber(QString::number(number));
        setShown(m_number, number);
    }
    if (aspects & (Night::Counts | Night::Spin | Night::Prize | Night::Bingo | Night::Guests |
                   Night::Finale | Night::BlackOut | Night::Title)) {
        const Guest guest = bingo.open || announced ? Guest() : m_night.shownGuest();
        if (!guest.isEmpty() && guest != m_named) {
            m_named = guest;
            placeNumber();
        }
        setShown(m_name, !guest.isEmpty());
        // The logo stands for the company while no number is up; the photo with the winner.
        const QString photo = bingo.open || announced ? QString() : m_night.shownGuest().photo;
        QString logo =
            bingo.open || announced || m_night.shownNumber() ? QString() : m_night.gallery().logo();
        // While the light runs no picture is decoded: a logo not read before (checked anew
        // meanwhile) waits for the stop.
        if (m_night.isSpinning() && !logo.isEmpty() && m_logo.readPath != logo)
            logo = m_logo.path;
        if (photo != m_photo.path || logo != m_logo.path) {
            m_photo.path = photo;
            m_logo.path = logo;
            placeNumber();
        }
    }
    if (aspects & Night::Prize)
        renderPrize();
    if (aspects & Night::Bingo) {
        // While the draw rolls, the hall sees the number rolling large and every number taken;
        // at rest, the newest large and the earlier ones.
        const bool rolling = bingo.drawing && !bingo.paused && !bingo.rolling.isEmpty();
        const QString large = rolling                 ? bingo.rolling
                              : bingo.taken.isEmpty() ? QString()
                                                      : QString::number(bingo.taken.last());
        QStringList listed;
        for (qsizetype i = 0; i < bingo.taken.size() - (rolling ? 0 : 1); ++i)
            listed << QString::number(bingo.taken[i]);
        if (!large.isEmpty())
            m_bingoNewest->setNumber(large);
        // A full-width blank between numbers: from the back, "41 39" must not read "4139".
        setText(m_bingoTaken, listed.join(BingoGap));
        setShown(m_bingoNewest, bingo.open && !large.isEmpty());
        setShown(m_bingoTaken, bingo.open && !listed.isEmpty());
        setShown(m_stacks[0], !bingo.open);
        setShown(m_stacks[1], !bingo.open);
    }
    if (aspects & (Night::Line | Night::Show)) {
        // A question the remote answers comes before the hint. With a desk of its own the
        // operator reads it there: the hall sees the night, not the operator's prompts.
        const QString text = lineShown() ? m_night.line() : QString();
        setText(m_line, text);
        setShown(m_line, !text.isEmpty());
    }
}

void ShowWindow::renderPrize()
{
    const Night::PrizeOnScreen &prize = m_night.prize();
    if (prize.stage == Night::PrizeStage::None) {
        delete m_prize.data();
        return;
    }
    // Announced at the size of the screen it is on, once it is there.
    if ((prize.serial == m_announced && m_prize) || !isVisible())
        return;
    m_announced = prize.serial;
    if (!m_prize)
        m_prize = new Announcement(m_content);
    m_prize->announce(QString::number(prize.cell + 1), prize.text, prize.guest, prize.picture);
}

void ShowWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void ShowWindow::relayout()
{
    const int w = width();
    const int h = height();
    m_content->setGeometry(rect());
    setShown(m_content, !nightCovered());

    const ShowGeometry::RingAt g = ringOf(size());
    const QRect &ring = g.ring;
    const double across = g.across, row = g.row, side = g.side;
    const int gap = g.gap;
    const int margin = g.margin, titleHeight = g.titleHeight;
    const auto box = [gap](double x, double y, double cw, double ch) {
        return QRect(int(x), int(y), std::max(1, int(cw) - gap), std::max(1, int(ch) - gap));
    };
    std::array<QRect, Board::Cells> cells;
    for (int i = 0; i < Board::Cells; ++i) {
        const Ring::Place at = Ring::place(i);
        QRect &r = cells[std::size_t(i)];
        switch (at.side) {
        case Ring::Side::Top:
            r = box(ring.left() + across * at.along, ring.top(), across, row);
            break;
        case Ring::Side::Right:
            r = box(ring.left() + across * (Ring::Across - 2), ring.top() + row + side * at.along,
                    across * 2, side);
            break;
        case Ring::Side::Bottom:
            r = box(ring.left() + across * at.along, ring.top() + ring.height() - row, across, row);
            break;
        case Ring::Side::Left:
            // Counted up from the bottom, as the cells run.
            r = box(ring.left(), ring.top() + ring.height() - row - side * (Ring::Down - at.along),
                    across * 2, side);
            break;
        }
    }
    // Black and back, the numbers and the light's faces stay: drawn anew at 4K they would
    // hold up the light's next step by some 50 ms.
    if (cells != m_cellRects) {
        m_cellRects = cells;
        m_cellFont = hallFont(int(std::min(across * 0.45, side * 0.6)));
        for (auto &inks : m_cellNumbers)
            inks = {};
        dropLayer();
    }

    const QRect &centre = g.centre;
    const int line = h / 15;
    m_round->setGeometry(centre.left(), centre.top(), centre.width() / 2, line);
    m_counter->setGeometry(centre.left() + centre.width() / 2, centre.top(), centre.width() / 2,
                           line);
    m_round->setFont(hallFont(line * 7 / 10));
    m_counter->setFont(hallFont(line * 7 / 10));
    const QRect stacks(centre.left(), centre.bottom() - line, centre.width(), line);
    m_stacks[0]->setGeometry(stacks.left(), stacks.top(), stacks.width() / 3, line);
    m_stacks[1]->setGeometry(stacks.right() - stacks.width() / 3, stacks.top(), stacks.width() / 3,
                             line);
    for (QLabel *l : m_stacks)
        l->setFont(hallFont(line * 7 / 10));
    placeNumber();
    m_bingoNewest->setGeometry(centre.left(), centre.top() + line, centre.width() / 3,
                               std::min(h / 4, centre.height() - 2 * line));
    m_bingoTaken->setGeometry(centre.left() + centre.width() / 3, centre.top() + line,
                              centre.width() * 2 / 3, centre.height() - line);
    m_bingoTaken->setFont(hallFont(line));
    m_line->setGeometry(centre.left(), centre.top() + centre.height() - 3 * line, centre.width(),
                        2 * line);
    m_line->setFont(hallFont(line * 7 / 10));

    const QRect titleBox(margin, h - titleHeight - margin / 2, w - 2 * margin, titleHeight);
    m_title->setGeometry(titleBox);
    QFont titleFont(Look::kai());
    titleFont.setBold(true);
    // In points: the fitting steps down point by point.
    titleFont.setPointSizeF(std::max(1.0, titleHeight * 0.7 * 72.0 / logicalDpiY()));
    m_title->setFont(Scale::fitting(titleFont, m_night.title(), titleBox.size()));
    setText(m_title, m_night.title());

    if (m_night.isFinale()) {
        m_closingRect = ClosingArt::hallRect(size());
        if (m_closing.size() != m_closingRect.size())
            m_closing =
                QPixmap(Pictures::closingLarge())
                    .scaled(m_closingRect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    update();
}

// The running light's cell when its layer puts it, else -1 (the cell is drawn as any other).
// The layer, drawn if it is not; false where it cannot serve.
bool ShowWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Uncovered, the window shows its own store, where the light's cell is unlit: put the
    // light again once that is done.
    if (event->type() == QEvent::Expose && m_layer && watched == m_layer->window())
        QTimer::singleShot(0, this, [this] {
            if (m_light >= 0 && m_light == layerLight())
                m_layer->put(m_light);
        });
    return QWidget::eventFilter(watched, event);
}

void ShowWindow::closeEvent(QCloseEvent *event)
{
    // Hidden behind the night's back, the show would still count as up: its ending is the
    // night's to say.
    if (event->spontaneous()) {
        event->ignore();
        Q_EMIT endRequested();
        return;
    }
    QWidget::closeEvent(event);
}

bool ShowWindow::event(QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove)
        pointerMoved();
    return QWidget::event(event);
}

void ShowWindow::pointerMoved()
{
    if (cursor().shape() == Qt::BlankCursor)
        unsetCursor();
    m_pointerTimer.start();
}
