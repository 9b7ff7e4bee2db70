#include "boardwindow.h"

#include "bignumber.h"
#include "cellbutton.h"
#include "look.h"
#include "pictures.h"
#include "prompt.h"
#include "scale.h"
#include "twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QWindow>

namespace {
// A tooltip that looks like markup is drawn as markup; a name from a file never is.
QString plainToolTip(const QString &text)
{
    return text.isEmpty()
               ? text
               : QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}
} // namespace

BoardWindow::BoardWindow(Night &night, QWidget *parent) : QMainWindow(parent), m_night(night)
{
    setObjectName(QStringLiteral("BoardWindow"));
    setWindowTitle(QStringLiteral("Zentavo"));
    setWindowIcon(QIcon(Pictures::appIcon()));
    QFont font(Look::sansSerif());
    font.setPointSizeF(8.25);
    font.setBold(true);
    setFont(font);
    buildMenus();

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    m_controls = BoardLayout::build(client, m_night.board());
    fitScreen();
    setFocusProxy(m_controls.startButton);
    m_controls.stopCount->installEventFilter(this);
    connectControls();

    m_numberTimer.setObjectName(QStringLiteral("NumberTimer"));
    m_numberTimer.setTimerType(Qt::PreciseTimer);
    m_numberTimer.setInterval(500);
    connect(&m_numberTimer, &QTimer::timeout, this, &BoardWindow::numberCells);
    m_numberTimer.start();

    render(Night::Everything);
    m_controls.startButton->setFocus();
}

void BoardWindow::buildMenus()
{
    QMenu *mainmenu = menuBar()->addMenu(QStringLiteral("遊戲"));
    mainmenu->setObjectName(QStringLiteral("mainmenu"));
    QAction *redraw = mainmenu->addAction(QStringLiteral("重新搖獎"));
    redraw->setObjectName(QStringLiteral("redraw"));
    connect(redraw, &QAction::triggered, this, &BoardWindow::discardStop);
    QAction *bingo = mainmenu->addAction(QStringLiteral("賓果遊戲"));
    bingo->setObjectName(QStringLiteral("Lotto"));
    connect(bingo, &QAction::triggered, this, &BoardWindow::bingoRequested);
    QAction *close = mainmenu->addAction(QStringLiteral("結束"));
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QAction::triggered, this, &BoardWindow::exitRequested);
    QAction *about = menuBar()->addAction(QStringLiteral("關於Zentavo"));
    about->setObjectName(QStringLiteral("aboutus"));
    connect(about, &QAction::triggered, this, &BoardWindow::aboutRequested);
}

void BoardWindow::connectControls()
{
    const BoardControls &c = m_controls;
    for (int i = 0; i < Board::Cells; ++i)
        connect(c.cells[std::size_t(i)], &CellButton::released, this,
                [this, i](Qt::MouseButton b) { cellReleased(i, b); });
    for (int i = 0; i < 2; ++i)
        connect(c.cardButtons[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { drawCard(i); });
    connect(c.startButton, &QPushButton::clicked, this, &BoardWindow::start);
    // The reset belongs to the change of round, not to every click on a selected option.
    // Nothing brings held numbers back out of the draw, so the change is asked first.
    connect(c.secondRound, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        if (Prompt::confirm(this, QStringLiteral("確定要開始第二輪抽獎嗎?")))
            m_night.startSecondRound();
        else
            m_controls.firstRound->setChecked(true);
    });

    connect(&m_night, &Night::changed, this, &BoardWindow::render);
}

void BoardWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_screenArea)
        return;
    const auto watch = [this](QScreen *where) {
        disconnect(m_screenArea);
        if (where)
            m_screenArea =
                connect(where, &QScreen::availableGeometryChanged, this, &BoardWindow::fitScreen);
        fitScreen();
    };
    connect(windowHandle(), &QWindow::screenChanged, this, watch);
    watch(screen());
    // Again once the window manager has framed and placed it.
    QTimer::singleShot(0, this, &BoardWindow::fitScreen);
}

// On a screen that holds the design the board opens at it and never gets smaller. On a
// smaller one, or at a large scale factor, it opens shrunk in proportion to the room there
// is, the window manager's frame and the menus included, and every window after it.
void BoardWindow::fitScreen()
{
    const QScreen *where = screen();
    if (!where)
        return;
    // The frame is known once the window is shown; before, a title bar's and borders' worth.
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const QSize frame =
        isVisible() && frameGeometry().size() != size()
            ? frameGeometry().size() - size()
            : QSize(2 * border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
    const int bar = menuBar()->sizeHint().height();
    const QSize room = where->availableGeometry().size() - frame - QSize(0, bar);
    const double k =
        std::min(1.0, Scale::fit(room, BoardLayout::designPixels(), BoardLayout::smallestPixels()));
    centralWidget()->setMinimumSize(k < 1.0 ? BoardLayout::designPixels() * k
                                            : BoardLayout::smallestPixels());
    const QSize opening = BoardLayout::designPixels() * k + QSize(0, bar);
    // Shown on a screen too small for it, it is brought down to what fits; a board on a
    // screen that holds the design keeps whatever size it was given.
    if (!isVisible())
        resize(opening);
    else if (k < 1.0 && !(windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)) &&
             (width() > room.width() || height() - bar > room.height()))
        resize(opening);
}

void BoardWindow::render(Night::Aspects aspects)
{
    const Board &board = m_night.board();
    const BoardControls &c = m_controls;
    if (aspects & Night::Cells) {
        for (int i = 0; i < Board::Cells; ++i) {
            c.cells[std::size_t(i)]->setBackColour(board.cells[std::size_t(i)]);
            QLabel *marker = c.markers[std::size_t(i)];
            if (marker->isVisibleTo(this) != board.markerVisible[std::size_t(i)])
                marker->setVisible(board.markerVisible[std::size_t(i)]);
        }
    }
    if (aspects & Night::Counts) {
        c.stopCount->setText(board.counterCaption);
        fitCount();
        for (int i = 0; i < 2; ++i) {
            c.stacks[std::size_t(i)]->setTitle(board.stackCaption(i));
            c.cardButtons[std::size_t(i)]->setEnabled(board.cardEnabled[std::size_t(i)]);
        }
        c.startButton->setEnabled(board.startEnabled);
        // A line edit redoes its layout on every setText.
        if (c.prizeText->text() != board.text1)
            c.prizeText->setText(board.text1);
    }
    if (aspects & Night::Round) {
        // The round is put back as it was, without running the change of round again.
        const QSignalBlocker blocker(c.secondRound);
        (m_night.isSecondRound() ? c.secondRound : c.firstRound)->setChecked(true);
    }
    if ((aspects & Night::Spin) && !m_night.isSpinning() && board.startEnabled)
        c.startButton->setFocus();
    if (aspects & (Night::Counts | Night::Spin | Night::Prize))
        renderHall();
    if (aspects & Night::Line) {
        const QString text = m_night.line();
        c.hint->setText(text);
        c.hint->setVisible(!text.isEmpty());
    }
    // Not on the light's steps: a step only moves the light over numbers still in play.
    if ((aspects & Night::Guests) || ((aspects & Night::Cells) && !m_night.isSpinning()))
        for (int i = 0; i < Board::Cells; ++i)
            c.cells[std::size_t(i)]->setToolTip(plainToolTip(m_night.cellGuest(i + 1).text()));
    if (aspects & (Night::Counts | Night::Spin | Night::Prize | Night::Line | Night::Guests)) {
        // What the MC reads out, once the line has nothing to ask.
        const Guest guest = m_night.shownGuest();
        const bool shown = !guest.isEmpty() && m_night.line().isEmpty();
        if (shown) {
            const QString text = Guest::numbered(m_night.shownNumber(), guest.text());
            // Measured once a name, not on every change of the night.
            if (text != c.guest->text()) {
                c.guest->setText(text);
                c.layout->refresh(c.guest);
            }
        }
        c.guest->setVisible(shown);
    }
    if (aspects & Night::Title) {
        c.title->setText(m_night.title());
        c.layout->refresh(c.title);
    }
    if ((aspects & Night::View) && m_night.isFullScreen() != isFullScreen())
        toggleFullScreen();
}

void BoardWindow::toggleFullScreen()
{
    // Asked before leaving: afterwards it is wherever the window stands.
    const QRect place = normalGeometry();
    // Only the full-screen flag flips, so a maximised window comes back maximised.
    const Qt::WindowStates state = windowState() ^ Qt::WindowFullScreen;
    setWindowState(state);
    // Left to itself, a window manager may put the window at the top-left corner.
    if (!(state & (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized)) &&
        place.isValid())
        setGeometry(place);
}

void BoardWindow::fitCount()
{
    // The count's box holds one digit: a longer count pushes "次獎項" on by what it adds, or
    // "12次獎項" would run together.
    const QFontMetrics count(m_controls.stopCount->font());
    m_controls.stopsWord->setIndent(
        std::max(0, count.horizontalAdvance(m_controls.stopCount->text()) -
                        count.horizontalAdvance(QLatin1Char('0'))));
}

bool BoardWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Enlarged for the hall, the count's type grows and so does what it adds.
    if (watched == m_controls.stopCount && event->type() == QEvent::FontChange)
        fitCount();
    return QMainWindow::eventFilter(watched, event);
}

void BoardWindow::renderHall()
{
    // From the stop until its prize window has gone; never over a running light.
    const int number = isHall() ? m_night.shownNumber() : 0;
    if (number)
        m_controls.hallNumber->setNumber(QString::number(number));
    if (m_controls.hallNumber->isVisibleTo(this) != bool(number))
        m_controls.hallNumber->setVisible(number);
}

double BoardWindow::scale() const
{
    return m_controls.layout->scale();
}

bool BoardWindow::isHall() const
{
    return isFullScreen() || isMaximized();
}

void BoardWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    renderHall();
    // Full screen come or gone from outside (the window manager): the night follows.
    m_night.setFullScreen(isFullScreen());
}

QString BoardWindow::closeQuestion() const
{
    return m_closeQuestion.isEmpty() ? QStringLiteral("今晚的抽獎結果將不會保留。\n確定要結束嗎?")
                                     : m_closeQuestion;
}

void BoardWindow::start()
{
    switch (m_night.start()) {
    case Board::StartResult::AwaitingPrize:
        Prompt::refuse(this, QStringLiteral("           請抽獎!         "));
        return;
    case Board::StartResult::NoFreeCell:
        // The second round cannot be advised once it is on.
        Prompt::refuse(this, m_night.isSecondRound()
                                 ? QStringLiteral("所有號碼都已抽出或排除，沒有號碼可以抽了。\n"
                                                  "請用滑鼠右鍵把號碼放回。")
                                 : QStringLiteral("所有號碼都已抽出或排除，沒有號碼可以抽了。\n"
                                                  "請用滑鼠右鍵把號碼放回，或選「第二輪抽獎」。"));
        return;
    case Board::StartResult::Started:
        break;
    }
}

void BoardWindow::drawCard(int stack)
{
    if (!m_night.drawCard(stack))
        Prompt::refuse(this, QStringLiteral("           請先搖號碼!          "));
}

void BoardWindow::cellReleased(int cell, Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_night.rightClick(cell);
}

void BoardWindow::discardStop()
{
    m_night.discardStop();
}

void BoardWindow::numberCells()
{
    for (int i = 0; i < Board::Cells; ++i)
        m_controls.cells[std::size_t(i)]->setEnabled(true);
    for (int i = 0; i < Board::Cells; ++i)
        m_controls.cells[std::size_t(i)]->setText(QString::number(i + 1));
}

void BoardWindow::closeEvent(QCloseEvent *event)
{
    // Once a number has been drawn, closing ends the night in front of everyone: ask first.
    if (m_night.board().drawNo > 1 && !Prompt::confirm(this, closeQuestion())) {
        event->ignore();
        return;
    }
    event->accept();
    Q_EMIT exitRequested();
}
