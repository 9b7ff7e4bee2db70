#include "bingowindow.h"

#include "colourui.h"
#include "facebutton.h"
#include "look.h"
#include "pictures.h"
#include "prompt.h"
#include "scale.h"
#include "twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int ClientLeft = 2550;
constexpr int ClientTop = 2430;
constexpr int ClientWidth = 6915;
constexpr int ClientHeight = 5715;

// What a window manager may add around the window: borders and the title bar.
constexpr QMargins FrameAllowance(8, 40, 8, 8);

constexpr int BoxSize = 735;
constexpr int TagSize = 255;

// The order tags above the boxes, row by row; their array indices are not in order.
struct TagRow
{
    int top;
    std::array<int, 8> lefts;
    std::array<int, 8> indices;
};
constexpr std::array<TagRow, 3> TagRows = {{
    {50, {480, 1320, 2040, 2880, 3720, 4560, 5400, 6240}, {0, 1, 3, 2, 5, 4, 7, 6}},
    {1250, {360, 1200, 2040, 2880, 3720, 4560, 5400, 6240}, {15, 14, 12, 13, 10, 11, 8, 9}},
    {2520, {360, 1200, 2040, 2880, 3720, 4560, 5400, 6240}, {16, 17, 19, 18, 21, 20, 23, 22}},
}};

QString arrayName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QFont tahoma(double points, bool bold)
{
    QFont f(Look::tahoma());
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
} // namespace

BingoWindow::BingoWindow(Night &night, QWidget *parent)
    : QWidget(parent, Qt::Window), m_night(night)
{
    setObjectName(QStringLiteral("大樂透"));
    setWindowTitle(QStringLiteral("賓果遊戲"));
    setWindowIcon(QIcon(Pictures::firecracker()));
    setAttribute(Qt::WA_DeleteOnClose);

    // The controls sit at fixed places on a client area under the menu bar; only the
    // menu bar and that area are laid out.
    QMenuBar *bar = buildMenu();
    m_layout = new ScaledLayout(this);
    auto *client = new QWidget;
    client->setAutoFillBackground(true);
    Colour::setRole(client, QPalette::Window, Colour::ActiveBorder);
    m_layout->font(client, QFont(Look::ming(), 12));
    auto *frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetNoConstraint); // the window may shrink over its controls
    frame->setMenuBar(bar);
    frame->addWidget(client);
    buildControls(client);

    placeWindow();
    m_display->setFocus();

    connect(&m_night, &Night::changed, this, [this](Night::Aspects aspects) {
        if (aspects & (Night::Bingo | Night::BingoRoll))
            render();
    });
    m_night.openBingo();
    render();
}

QWidget *BingoWindow::display() const
{
    return m_display;
}

void BingoWindow::placeWindow()
{
    const QRect area =
        Scale::rect(QRect(ClientLeft, ClientTop, ClientWidth, ClientHeight), m_layout->scale());
    const int barHeight = findChild<QMenuBar *>()->sizeHint().height();
    QRect window = area.adjusted(0, -barHeight, 0, 0);
    // The design's place on the screen it opens on: the operator's, which may not be the first.
    if (screen())
        window.translate(screen()->geometry().topLeft());
    // The design's place where it fits; moved in from the screen's edges where it does not.
    if (screen()) {
        const QRect free = screen()->availableGeometry().marginsRemoved(FrameAllowance);
        window.moveLeft(
            std::max(free.left(), std::min(window.left(), free.right() - window.width() + 1)));
        window.moveTop(
            std::max(free.top(), std::min(window.top(), free.bottom() - window.height() + 1)));
    }
    setGeometry(window);
}

void BingoWindow::setScale(double s)
{
    // Never larger than the screen it opens on can hold, the window manager's frame
    // included: a small screen shrinks even the design.
    if (screen()) {
        const QSize free = screen()->availableGeometry().marginsRemoved(FrameAllowance).size();
        const int barHeight = findChild<QMenuBar *>()->sizeHint().height();
        const double fits =
            std::min(free.width() / (ClientWidth / double(Twips::PerPixel)),
                     (free.height() - barHeight) / (ClientHeight / double(Twips::PerPixel)));
        s = std::min(s, fits);
    }
    m_layout->apply(s);
    placeWindow();
}

QMenuBar *BingoWindow::buildMenu()
{
    auto *bar = new QMenuBar(this);
    QMenu *func = bar->addMenu(QStringLiteral("功能"));
    func->setObjectName(QStringLiteral("Func"));
    QAction *clear = func->addAction(QStringLiteral("清除"));
    clear->setObjectName(QStringLiteral("clear"));
    connect(clear, &QAction::triggered, &m_night, &Night::clearBingo);
    QAction *ending = func->addAction(QStringLiteral("結束"));
    ending->setObjectName(QStringLiteral("ending"));
    connect(ending, &QAction::triggered, this, [this] { endAndClose(); });
    return bar;
}

void BingoWindow::buildControls(QWidget *client)
{
    for (int i = 0; i < BingoDraw::Numbers; ++i) {
        auto *box = new QLabel(client);
        box->setObjectName(arrayName("Label1", i));
        m_layout->font(box, tahoma(24, true));
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_layout->frameLine(box, 2);
        box->setIndent(0); // two bold digits fill the box; a framed label's indent clips them
        box->setAutoFillBackground(true);
        Colour::setRole(box, QPalette::Window, Look::BingoBox);
        if (i < 24) {
            m_layout->place(box,
                            QRect(120 + 840 * (i % 8), 360 + 1200 * (i / 8), BoxSize, BoxSize));
            box->setAlignment(Qt::AlignTop | (i == 0 ? Qt::AlignRight : Qt::AlignHCenter));
        } else {
            // The 25th number is only ever seen on the display.
            m_layout->place(box, QRect(2280, 4920, BoxSize, BoxSize));
            box->setAlignment(Qt::AlignTop | Qt::AlignLeft);
            box->hide();
        }
        m_boxes[std::size_t(i)] = box;
    }

    for (int r = 0; r < int(TagRows.size()); ++r) {
        for (int c = 0; c < 8; ++c) {
            auto *tag = new QLabel(QString::number(8 * r + c + 1), client);
            tag->setObjectName(arrayName("Label2", TagRows[r].indices[c]));
            m_layout->place(tag, QRect(TagRows[r].lefts[c], TagRows[r].top, TagSize, TagSize));
            m_layout->font(tag, tahoma(9.75, true));
            tag->setAutoFillBackground(true);
            Colour::setRole(tag, QPalette::Window, Colour::ButtonFace);
            Colour::setRole(tag, QPalette::WindowText, Look::Blue);
        }
    }

    m_display = new QLineEdit(QStringLiteral("0"), client);
    m_display->setObjectName(QStringLiteral("Text1"));
    m_layout->place(m_display, QRect(120, 3600, 2055, 1935));
    m_layout->font(m_display, tahoma(72, false));
    m_display->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_display->setReadOnly(true);
    Colour::setRole(m_display, QPalette::Base, Look::BingoDisplay);

    const auto button = [this, client](const QString &caption, int index, int top) {
        auto *b = new QPushButton(caption, client);
        b->setObjectName(arrayName("Command1", index));
        m_layout->place(b, QRect(5280, top, 1215, 615));
        return b;
    };
    m_startButton = button(QStringLiteral("開  始"), 0, 3960);
    connect(m_startButton, &QPushButton::clicked, this, [this] {
        // The numbers taken, all 25 or fewer, are what the players check their cards
        // against: one more Next after the last of them must not wipe them without a word.
        // Next answers 是, as the key that asked means to go on.
        if (hasTaken() &&
            !Prompt::confirm(this, newDrawQuestion(), Prompt::Default::Yes, m_answerKeys))
            return;
        m_night.startBingo();
    });
    m_endButton = button(QStringLiteral("結  束"), 1, 4800);
    connect(m_endButton, &QPushButton::clicked, this, [this] { endAndClose(); });

    m_takeButton = new FaceButton(QStringLiteral("取得號碼"), client);
    m_takeButton->setObjectName(QStringLiteral("Command2"));
    m_layout->place(m_takeButton, QRect(2880, 3960, 1695, 1455));
    m_layout->font(m_takeButton, tahoma(15.75, false));
    m_takeButton->setFaceColour(Look::BingoTake);
    connect(m_takeButton, &QPushButton::clicked, &m_night, &Night::takeBingo);

    // Labels never take the focus, so only these four are in the chain.
    setTabOrder(m_display, m_startButton);
    setTabOrder(m_startButton, m_endButton);
    setTabOrder(m_endButton, m_takeButton);
}

void BingoWindow::draw()
{
    m_startButton->click();
}

void BingoWindow::take()
{
    m_takeButton->click();
}

QString BingoWindow::newDrawQuestion()
{
    return QStringLiteral("已取得的號碼將會清除。\n確定要開始新的賓果遊戲嗎?");
}

bool BingoWindow::hasTaken() const
{
    const BingoDraw &draw = m_night.bingoDraw();
    return std::any_of(draw.boxCaptions.begin(), draw.boxCaptions.end(),
                       [](const QString &c) { return !c.isEmpty(); });
}

void BingoWindow::restore(const QList<int> &taken, bool drawing)
{
    m_night.restoreBingo(taken, drawing);
}

void BingoWindow::pauseDraw()
{
    m_night.pauseBingo();
}

void BingoWindow::resumeDraw()
{
    m_night.resumeBingo();
}

void BingoWindow::endAndClose(bool answered)
{
    if (!answered && !mayClose())
        return;
    m_closeAsked = true;
    close();
}

bool BingoWindow::mayClose()
{
    // The players still check their cards against the numbers taken so far.
    return !hasTaken() ||
           Prompt::confirm(this, QStringLiteral("已取得的號碼將不會保留。\n確定要結束賓果遊戲嗎?"),
                           Prompt::Default::No, m_answerKeys);
}

void BingoWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closeAsked && !mayClose()) {
        event->ignore();
        return;
    }
    m_closeAsked = true;
    QWidget::closeEvent(event);
    m_night.closeBingo();
}

void BingoWindow::render()
{
    // Ended elsewhere (an answer from the remote): the window goes without asking.
    if (!m_night.bingo().open) {
        if (!m_closeAsked) {
            m_closeAsked = true;
            close();
        }
        return;
    }
    const BingoDraw &draw = m_night.bingoDraw();
    m_display->setText(draw.displayText);
    for (int i = 0; i < BingoDraw::Numbers; ++i)
        m_boxes[std::size_t(i)]->setText(draw.boxCaptions[std::size_t(i)]);
    const bool idle = !draw.isDrawing();
    m_startButton->setEnabled(idle);
    m_endButton->setEnabled(idle);
}
