#include "form1.h"

#include "bignumber.h"
#include "cellbutton.h"
#include "colourui.h"
#include "cover.h"
#include "fonts.h"
#include "form2.h"
#include "form3.h"
#include "fullscreen.h"
#include "pictures.h"
#include "presenterkeys.h"
#include "prompt.h"
#include "random.h"
#include "repeatguard.h"
#include "scale.h"
#include "twips.h"

#include <QApplication>
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
#include <QTime>
#include <QTimer>

#include <algorithm>

namespace {
constexpr ColourValue WindowBack = Colour::fromHex(0xFFE0C0);
constexpr ColourValue PanelBack = Colour::fromHex(0xFFFFC0);
constexpr ColourValue StackBack = Colour::fromHex(0xFFC080);
constexpr ColourValue DarkRed = Colour::fromHex(0xC00000);

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
    if (i <= 17)
        return {QRect(1680 + 480 * i, 600, Upright[0], Upright[1]),
                QRect(1680 + 480 * i, 120, 375, 375)};
    if (i <= 27)
        return {QRect(9120, 1800 + 480 * (i - 18), Flat[0], Flat[1]),
                QRect(10320, 1800 + 480 * (i - 18), 375, 375)};
    if (i <= 45)
        return {QRect(9840 - 480 * (i - 28), 6600, Upright[0], Upright[1]),
                QRect(9840 - 480 * (i - 28), 7680, 375, 375)};
    return {QRect(1680, 6120 - 480 * (i - 46), Flat[0], Flat[1]),
            QRect(1200, 6120 - 480 * (i - 46), 375, 375)};
}

// A window that has been closed but not yet deleted counts as gone.
template <typename T> void forgetIfClosed(QPointer<T> &w)
{
    if (w && !w->isVisible())
        w.clear();
}

QString indexed(const char *name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}
} // namespace

Form1::Form1(const QStringList &giftLines, Random &random, QWidget *parent)
    : QMainWindow(parent), m_board(giftLines), m_random(random)
{
    m_clock = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; };
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zentavo"));
    setWindowIcon(QIcon(Pictures::appIcon()));
    setFont(makeFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    buildMenus();
    buildLayout();
    m_presenterKeys = new PresenterKeys(this);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, &Form1::timer1Tick);

    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setTimerType(Qt::PreciseTimer);
    m_timer2.setInterval(500);
    connect(&m_timer2, &QTimer::timeout, this, &Form1::numberCells);
    m_timer2.start();

    render();
    m_start->setFocus();
}

Form1::~Form1()
{
    // The other windows have no parent; they end with the board.
    delete m_prizeWindow.data();
    delete m_pictureWindow.data();
    delete m_bingoWindow.data();
    delete m_aboutWindow.data();
    delete m_finaleGround.data();
}

void Form1::buildMenus()
{
    QMenu *mainmenu = menuBar()->addMenu(QStringLiteral("遊戲"));
    mainmenu->setObjectName(QStringLiteral("mainmenu"));
    QAction *redraw = mainmenu->addAction(QStringLiteral("重新搖獎"));
    redraw->setObjectName(QStringLiteral("redraw"));
    connect(redraw, &QAction::triggered, this, &Form1::redrawClick);
    QAction *lotto = mainmenu->addAction(QStringLiteral("賓果遊戲"));
    lotto->setObjectName(QStringLiteral("Lotto"));
    connect(lotto, &QAction::triggered, this, &Form1::lottoClick);
    QAction *close = mainmenu->addAction(QStringLiteral("結束"));
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QAction::triggered, this, &Form1::exitRequested);
    QAction *aboutus = menuBar()->addAction(QStringLiteral("關於Zentavo"));
    aboutus->setObjectName(QStringLiteral("aboutus"));
    connect(aboutus, &QAction::triggered, this, &Form1::aboutusClick);

    FullScreen::install(this, viewMenu());
    // On or off for the whole program; M works from any of its windows.
    m_soundAction = viewMenu()->addAction(QStringLiteral("音效"));
    m_soundAction->setObjectName(QStringLiteral("sound"));
    m_soundAction->setCheckable(true);
    m_soundAction->setChecked(true);
    m_soundAction->setShortcut(QKeySequence(Qt::Key_M));
    m_soundAction->setShortcutContext(Qt::ApplicationShortcut);
    m_soundAction->setAutoRepeat(false);
    connect(m_soundAction, &QAction::toggled, this, [this](bool on) { m_sound->setMuted(!on); });
}

void Form1::setSound(Sound *sound)
{
    m_sound = sound ? sound : &m_silent;
    m_sound->setMuted(!m_soundAction->isChecked());
}

QMenu *Form1::viewMenu()
{
    if (!m_viewMenu) {
        m_viewMenu = menuBar()->addMenu(QStringLiteral("檢視"));
        m_viewMenu->setObjectName(QStringLiteral("viewmenu"));
    }
    return m_viewMenu;
}

void Form1::restore(const Board &board, bool secondRound)
{
    m_timer1.stop();
    m_pendingHeld.clear();
    m_board = board;
    {
        // The round is put back as it was, without running the change of round again.
        const QSignalBlocker blocker(m_option1);
        (secondRound ? m_option1 : m_option3)->setChecked(true);
    }
    render();
    if (m_board.startEnabled)
        m_start->setFocus();
}

void Form1::resumeWindows(bool prizeOpen, int prizeCell, const QList<int> &bingoTaken,
                          bool bingoDrawing)
{
    m_resumed = {prizeOpen || !bingoTaken.isEmpty(), prizeOpen, prizeCell, bingoTaken,
                 bingoDrawing};
    if (m_resumed.pending && isVisible())
        QTimer::singleShot(0, this, &Form1::openResumedWindows);
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_resumed.pending)
        return;
    openResumedOnceSized();
    // Should the window manager never make it full screen, they open all the same.
    QTimer::singleShot(1000, this, &Form1::openResumedWindows);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_resumed.pending && isVisible())
        openResumedOnceSized();
}

void Form1::openResumedOnceSized()
{
    // A board coming back full screen is first shown at its old size: the windows open
    // at its scale once it fills the screen.
    const bool sized = !(windowState() & Qt::WindowFullScreen) ||
                       (screen() && size() == screen()->geometry().size());
    if (sized)
        QTimer::singleShot(0, this, &Form1::openResumedWindows);
}

void Form1::openResumedWindows()
{
    if (!m_resumed.pending)
        return;
    m_resumed.pending = false;
    // The prize last, so that it stands in front and the remote's next key confirms it.
    if (!m_resumed.bingoTaken.isEmpty()) {
        lottoClick();
        m_bingoWindow->restore(m_resumed.bingoTaken, m_resumed.bingoDrawing);
    }
    if (m_resumed.prizeOpen) {
        // The same prize grows onto the screen again; its 確 定 goes on as it would have.
        m_prizeCue = m_board.drawnIsConsolation() ? Sound::Cue::Consolation : Sound::Cue::Fanfare;
        showPrizeWindow(m_resumed.prizeCell);
    }
}

QList<int> Form1::bingoTaken() const
{
    return m_bingoWindow ? m_bingoWindow->draw().taken() : QList<int>();
}

bool Form1::bingoDrawing() const
{
    return m_bingoWindow && m_bingoWindow->isDrawing();
}

void Form1::buildLayout()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setBackground(client, WindowBack);
    setCentralWidget(client);
    // The bottom markers reach below the design height; give them room.
    client->setMinimumSize(Twips::toPixels(11880), Twips::toPixels(7935));
    resize(Twips::toPixels(11880), Twips::toPixels(8055) + menuBar()->sizeHint().height());
    m_layout = new ScaledLayout(client);
    ScaledLayout &layout = *m_layout;

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

    const QFont cellFont = makeFont(QStringLiteral("Tahoma"), 9.75, true);
    const QPixmap lamp(Pictures::lamp());
    for (int i = 0; i < Board::Cells; ++i) {
        const CellPlace place = cellPlace(i);
        auto *marker = new QLabel(client);
        marker->setObjectName(indexed("Picture1", i));
        layout.place(marker, place.marker);
        setBackground(marker, WindowBack);
        marker->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout.picture(marker, lamp, ScaledLayout::Art::Pixel);
        marker->hide();
        m_picture1[std::size_t(i)] = marker;

        auto *cell = new CellButton(client);
        cell->setObjectName(indexed("Number", i));
        layout.place(cell, place.cell);
        layout.font(cell, cellFont);
        m_number[std::size_t(i)] = cell;
        connect(cell, &CellButton::released, this,
                [this, i](Qt::MouseButton b) { numberMouseUp(i, b); });
    }

    auto *frame1 = new QFrame(client);
    frame1->setObjectName(QStringLiteral("Frame1"));
    layout.place(frame1, QRect(2880, 1920, 6135, 4455));
    frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    setBackground(frame1, PanelBack);

    m_start = new QPushButton(QStringLiteral("開  始"), frame1);
    m_start->setObjectName(QStringLiteral("Start(0)"));
    layout.place(m_start, QRect(2280, 2160, 1575, 975));
    layout.font(m_start, makeFont(QStringLiteral("MS Sans Serif"), 18, true));
    connect(m_start, &QPushButton::clicked, this, &Form1::startClick);
    setFocusProxy(m_start);

    m_text1 = new QLineEdit(frame1);
    m_text1->setObjectName(QStringLiteral("Text1"));
    layout.place(m_text1, QRect(360, 3960, 2295, 375));
    m_text1->hide();

    const QFont stackFont = makeFont(QStringLiteral("Tahoma"), 14.25, true);
    const int stackLeft[2] = {240, 4200};
    const QString cardIcon[2] = {Pictures::chanceCard(), Pictures::fateCard()};
    for (int i = 0; i < 2; ++i) {
        auto *frame = new QGroupBox(m_board.stackCaption(i), frame1);
        frame->setObjectName(indexed("Frame2", i));
        layout.place(frame, QRect(stackLeft[i], 1560, 1575, 1575));
        layout.font(frame, stackFont);
        setBackground(frame, StackBack);
        Colour::setRole(frame, QPalette::WindowText, DarkRed);
        m_frame2[std::size_t(i)] = frame;

        auto *card = new QPushButton(frame);
        card->setObjectName(indexed("Command1", i));
        layout.place(card, QRect(240, 480, 1095, 975));
        layout.icon(card, QIcon(cardIcon[i]), QSize(32, 32));
        m_command1[std::size_t(i)] = card;
        connect(card, &QPushButton::clicked, this, [this, i] { command1Click(i); });
    }

    // The options carry the window's own font, which the menu bar keeps unscaled.
    const QFont optionFont = font();
    auto option = [frame1, &layout, optionFont](const char *name, const QString &caption,
                                                const QRect &r) {
        auto *o = new QRadioButton(caption, frame1);
        o->setObjectName(QLatin1String(name));
        layout.place(o, r);
        layout.font(o, optionFont);
        // A button fills with its button colour unless told otherwise.
        o->setBackgroundRole(QPalette::Window);
        setBackground(o, PanelBack);
        return o;
    };
    m_option3 = option("Option3", QStringLiteral("第一輪抽獎"), QRect(480, 240, 1335, 255));
    m_option2 = option("Option2", QStringLiteral("比大小"), QRect(5040, 120, 975, 255));
    m_option1 = option("Option1", QStringLiteral("第二輪抽獎"), QRect(480, 600, 1335, 255));
    m_option3->setChecked(true);
    m_option2->hide();
    // The reset belongs to the change of round, not to every click on a selected option.
    // Nothing brings held numbers back out of the draw, so the change is asked first.
    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        if (Prompt::confirm(this, QStringLiteral("確定要開始第二輪抽獎嗎?")))
            option1Click();
        else
            m_option3->setChecked(true);
    });

    m_label1 = new QLabel(QStringLiteral("92年年終晚會抽獎活動"), frame1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    layout.place(m_label1, QRect(1080, 3600, 4455, 495));
    // An event's own title may be longer than the line; it shrinks to fit.
    layout.fittedFont(m_label1, makeFont(QStringLiteral("標楷體"), 20.25, true));
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The title comes from title.txt: "<img src=…>" there is text, not a picture to load.
    m_label1->setTextFormat(Qt::PlainText);
    Colour::setRole(m_label1, QPalette::WindowText, DarkRed);
    const QFont counterFont = makeFont(QStringLiteral("Tahoma"), 12, false);
    label(layout, frame1, "Label5", QStringLiteral("次獎項"), QRect(4080, 360, 975, 375),
          counterFont);
    m_label3 = label(layout, frame1, "Label3", m_board.counterCaption, QRect(3720, 360, 375, 375),
                     makeFont(QStringLiteral("Tahoma"), 12, true));
    label(layout, frame1, "Label2", QStringLiteral("已經搖出"), QRect(2280, 360, 1215, 375),
          counterFont);

    // For the hall: the winning number between the stacks above Start, clear of the ring,
    // the stacks and the counter line; the hint over the title line. Both hidden at first.
    m_hallNumber = new BigNumber(frame1);
    m_hallNumber->setObjectName(QStringLiteral("HallNumber"));
    layout.place(m_hallNumber, QRect(1860, 780, 2295, 1335));
    Colour::setRole(m_hallNumber, QPalette::WindowText, DarkRed);
    m_hallNumber->hide();
    m_hintLabel = new QLabel(frame1);
    m_hintLabel->setObjectName(QStringLiteral("Hint"));
    layout.place(m_hintLabel, QRect(120, 3195, 5895, 1140));
    QFont hintFont;
    hintFont.setFamilies(Fonts::hallFamilies());
    hintFont.setPointSizeF(24);
    hintFont.setBold(true);
    layout.font(m_hintLabel, hintFont);
    m_hintLabel->setAlignment(Qt::AlignCenter);
    m_hintLabel->setTextFormat(Qt::PlainText);
    Colour::setRole(m_hintLabel, QPalette::WindowText, Colour::fromHex(0x0000FF));
    m_hintLabel->hide();

    for (QLabel *l : frame1->findChildren<QLabel *>())
        setBackground(l, PanelBack);

    layout.fitToRoot(QSize(Twips::toPixels(11880), Twips::toPixels(8055)));
}

double Form1::scale() const
{
    return m_layout->scale();
}

void Form1::setTitle(const QString &title)
{
    m_label1->setText(title);
    m_layout->refresh(m_label1);
}

void Form1::render()
{
    for (int i = 0; i < Board::Cells; ++i) {
        m_number[std::size_t(i)]->setBackColour(m_board.cells[std::size_t(i)]);
        QLabel *marker = m_picture1[std::size_t(i)];
        if (marker->isVisibleTo(this) != m_board.markerVisible[std::size_t(i)])
            marker->setVisible(m_board.markerVisible[std::size_t(i)]);
    }
    m_label3->setText(m_board.counterCaption);
    for (int i = 0; i < 2; ++i) {
        m_frame2[std::size_t(i)]->setTitle(m_board.stackCaption(i));
        m_command1[std::size_t(i)]->setEnabled(m_board.cardEnabled[std::size_t(i)]);
    }
    m_start->setEnabled(m_board.startEnabled);
    // A line edit redoes its layout on every setText; the light ticks through here.
    if (m_text1->text() != m_board.text1)
        m_text1->setText(m_board.text1);
    renderHall();
}

void Form1::renderHall()
{
    // From the stop until its prize window has gone; never over a running light.
    const bool prizeUp = m_prizeShown && m_prizeShown->isVisible();
    const bool number = isHall() && !m_board.timer1Enabled && (m_board.awaitingPrize || prizeUp);
    if (number)
        m_hallNumber->setNumber(
            QString::number((m_board.awaitingPrize ? m_board.stopCell : m_prizeCell) + 1));
    if (m_hallNumber->isVisibleTo(this) != number)
        m_hallNumber->setVisible(number);
    if (m_hint != Presenter::Hint::None && Presenter::hint(m_presenterKeys->state()) != m_hint) {
        m_hint = Presenter::Hint::None;
        m_hintLabel->hide();
    }
}

bool Form1::isHall() const
{
    return isFullScreen() || isMaximized();
}

bool Form1::isSecondRound() const
{
    return m_option1->isChecked();
}

void Form1::showHint(Presenter::Hint hint)
{
    QString text;
    switch (hint) {
    case Presenter::Hint::RoundDone:
        text = QStringLiteral("第一輪的號碼已經抽完\n請選「第二輪抽獎」");
        break;
    case Presenter::Hint::NoNumber:
        text = QStringLiteral("沒有號碼可以抽了");
        break;
    case Presenter::Hint::NoCard:
        text = QStringLiteral("機會和命運的卡片都已抽完");
        break;
    case Presenter::Hint::None:
        break;
    }
    m_hint = hint;
    m_hintLabel->setText(text);
    m_hintLabel->setVisible(hint != Presenter::Hint::None);
}

void Form1::blackOut()
{
    if (m_blackScreen)
        return;
    const QPointer<QWidget> back = QApplication::activeWindow();
    m_blackScreen = new Cover(Colour::fromHex(0x000000), Cover::Keys::Own, this);
    m_blackScreen->setObjectName(QStringLiteral("BlackScreen"));
    RepeatGuard::instance().watch(m_blackScreen);
    // Whatever key or click ends it does nothing else; a held key stays without effect.
    const auto end = [this, back] {
        m_blackScreen->close();
        if (back) {
            back->raise();
            back->activateWindow();
        }
    };
    connect(m_blackScreen, &Cover::keyPressed, this, [end](int key) {
        RepeatGuard::instance().acted(key);
        end();
    });
    connect(m_blackScreen, &Cover::clicked, this, end);
    m_blackScreen->showOn(screen());
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        renderHall();
}

void Form1::startClick()
{
    switch (m_board.start(m_random, m_clock())) {
    case Board::StartResult::AwaitingPrize:
        Prompt::refuse(this, QStringLiteral("           請抽獎!         "));
        return;
    case Board::StartResult::NoFreeCell:
        // The second round cannot be advised once it is on.
        Prompt::refuse(this, isSecondRound()
                                 ? QStringLiteral("所有號碼都已抽出或排除，沒有號碼可以抽了。\n"
                                                  "請用滑鼠右鍵把號碼放回。")
                                 : QStringLiteral("所有號碼都已抽出或排除，沒有號碼可以抽了。\n"
                                                  "請用滑鼠右鍵把號碼放回，或選「第二輪抽獎」。"));
        return;
    case Board::StartResult::Started:
        break;
    }
    render();
    // Ticks are scheduled against the spin's own clock so that late ticks do not add up.
    m_spinClock.start();
    m_nextTickAt = m_board.timer1Interval;
    m_timer1.start(m_board.timer1Interval);
}

void Form1::timer1Tick()
{
    const bool spinning = m_board.timer1Enabled;
    m_board.tick();
    if (spinning) {
        // Stamped here and handed over, so the click follows the step and not the render.
        m_sound->play(m_board.timer1Enabled ? Sound::Cue::Click : Sound::Cue::Chime);
        if (!m_board.timer1Enabled)
            Q_EMIT boardChanged(m_board.awaitingPrize ? BoardChange::Stop : BoardChange::EmptyStop,
                                m_board.stopCell);
    }
    render();
    if (!m_board.timer1Enabled) {
        m_timer1.stop();
        if (m_board.startEnabled)
            m_start->setFocus();
        return;
    }
    m_nextTickAt += m_board.timer1Interval;
    // Round the wait to the nearest millisecond: truncating the elapsed time would make
    // every tick up to a millisecond late.
    const qint64 waitNs = m_nextTickAt * 1000000 - m_spinClock.nsecsElapsed();
    m_timer1.start(int(std::max<qint64>(0, (waitNs + 500000) / 1000000)));
}

void Form1::numberCells()
{
    for (int i = 0; i < Board::Cells; ++i)
        m_number[std::size_t(i)]->setEnabled(true);
    for (int i = 0; i < Board::Cells; ++i)
        m_number[std::size_t(i)]->setText(QString::number(i + 1));
}

void Form1::numberMouseUp(int index, Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    const ColourValue before = m_board.cells[std::size_t(index)];
    m_board.rightClick(index);
    // The operator's hand wins over a held marking still waiting for the prize window.
    if (m_board.cells[std::size_t(index)] != before) {
        m_pendingHeld.removeAll(index);
        Q_EMIT boardChanged(BoardChange::Correction, index);
    }
    render();
}

void Form1::redrawClick()
{
    const bool pending = m_board.awaitingPrize;
    m_board.redraw();
    if (pending)
        Q_EMIT boardChanged(BoardChange::Discard, m_board.stopCell);
    render();
}

void Form1::option1Click()
{
    // The new round frees every held number; a marking still waiting would undo that.
    m_pendingHeld.clear();
    m_board.secondRound();
    Q_EMIT boardChanged(BoardChange::SecondRound, m_board.stopCell);
    render();
}

void Form1::command1Click(int index)
{
    if (m_board.drawCard(index, m_random) == Board::DrawResult::NoStop) {
        Prompt::refuse(this, QStringLiteral("           請先搖號碼!          "));
        return;
    }
    if (m_board.drawnIsConsolation())
        m_pendingHeld.append(m_board.stopCell);
    m_prizeCue = m_board.drawnIsConsolation() ? Sound::Cue::Consolation : Sound::Cue::Fanfare;
    Q_EMIT boardChanged(BoardChange::Card, index);
    render();
    showPrizeWindow(m_board.stopCell);
    renderHall();
    if (!m_prizeWindow->isOpening()) {
        markPendingHeld();
        m_sound->play(m_prizeCue);
    }
}

void Form1::showPrizeWindow(int cell)
{
    forgetIfClosed(m_prizeWindow);
    if (!m_prizeWindow) {
        m_prizeWindow = new Form2(this);
        m_prizeShown = m_prizeWindow.data();
        m_prizeWindow->setScreen(screen());
        m_prizeWindow->setScale(scale());
        connect(m_prizeWindow, &Form2::opened, this, &Form1::markPendingHeld);
        connect(m_prizeWindow, &Form2::opened, this, [this] { m_sound->play(m_prizeCue); });
        // A window closed before it finished opening still leaves its number held.
        connect(m_prizeWindow, &QObject::destroyed, this, &Form1::markPendingHeld);
        connect(m_prizeWindow, &QObject::destroyed, this, &Form1::renderHall);
        connect(m_prizeWindow, &Form2::confirmed, this, &Form1::onPrizeConfirmed);
        m_prizeWindow->installEventFilter(this);
        m_presenterKeys->attach(m_prizeWindow);
        if (isHall())
            m_prizeWindow->setHall(Scale::hall(screen()->size()));
    }
    m_prizeCell = cell;
    m_prizeWindow->setNumber(QString::number(cell + 1));
    m_prizeWindow->setPrize(m_text1->text());
    m_prizeWindow->open();
}

void Form1::markPendingHeld()
{
    if (m_pendingHeld.isEmpty())
        return;
    for (int cell : std::as_const(m_pendingHeld))
        m_board.markHeld(cell);
    m_pendingHeld.clear();
    render();
}

void Form1::onPrizeConfirmed()
{
    renderHall();
    if (m_command1[0]->isEnabled() || m_command1[1]->isEnabled())
        return;
    Q_EMIT boardChanged(BoardChange::Closing, 0);
    showFinale();
}

void Form1::showFinale()
{
    forgetIfClosed(m_pictureWindow);
    if (m_pictureWindow) {
        m_pictureWindow->open();
        return;
    }
    const bool hall = isHall();
    m_stateBeforeFinale = windowState();
    m_geometryBeforeFinale = geometry();
    QScreen *where = screen();
    hide();
    if (hall) {
        // The closing picture stands enlarged on a ground of its own red over the whole screen.
        m_finaleGround = new Cover(Colour::fromHex(0xFF0000), Cover::Keys::Shared);
        m_finaleGround->setObjectName(QStringLiteral("FinaleGround"));
        m_finaleGround->unsetCursor();
        m_finaleGround->showOn(where);
        m_pictureWindow = new Form3(m_finaleGround);
        m_pictureWindow->setScreen(where);
        m_pictureWindow->setScale(Form3::hallScale(where->size()));
        const auto leave = [this] {
            if (m_pictureWindow)
                m_pictureWindow->close();
        };
        connect(m_finaleGround, &Cover::clicked, this, leave);
        // Closed by the window manager, the ground takes the picture with it; the board still
        // comes back.
        connect(
            m_finaleGround, &QObject::destroyed, this,
            [this] {
                if (isHidden())
                    showBoardAgain();
            },
            Qt::QueuedConnection);
        m_presenterKeys->attachFinale(m_finaleGround, leave);
        m_presenterKeys->attachFinale(m_pictureWindow, leave);
    } else {
        m_pictureWindow = new Form3;
        m_pictureWindow->setScreen(where);
        m_pictureWindow->setScale(scale());
    }
    // However the picture closes, the board comes back.
    connect(m_pictureWindow, &Form3::closed, this, &Form1::showBoardAgain);
    m_sound->play(Sound::Cue::Closing);
    m_pictureWindow->open();
}

void Form1::showBoardAgain()
{
    if (m_finaleGround)
        m_finaleGround->close();
    // Where it was: a window manager places a window shown again wherever it likes.
    if (m_stateBeforeFinale & Qt::WindowFullScreen) {
        showFullScreen();
    } else if (m_stateBeforeFinale & Qt::WindowMaximized) {
        showMaximized();
    } else {
        setGeometry(m_geometryBeforeFinale);
        show();
    }
    raise();
    activateWindow();
}

namespace {
void bringForward(QWidget *w)
{
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
}
} // namespace

void Form1::lottoClick()
{
    forgetIfClosed(m_bingoWindow);
    if (!m_bingoWindow) {
        m_bingoWindow = new BingoWindow(m_random);
        m_bingoWindow->setScreen(screen());
        m_bingoWindow->setScale(scale());
        m_presenterKeys->attachBingo(m_bingoWindow);
        connect(m_bingoWindow, &BingoWindow::drawStarted, this,
                [this] { m_sound->play(Sound::Cue::Roll); });
        connect(m_bingoWindow, &BingoWindow::drawEnded, this, [this] { m_sound->stopRoll(); });
        connect(m_bingoWindow, &BingoWindow::numberTaken, this,
                [this] { m_sound->play(Sound::Cue::Ding); });
        connect(m_bingoWindow, &BingoWindow::takenChanged, this, &Form1::bingoChanged);
    }
    bringForward(m_bingoWindow);
}

void Form1::aboutusClick()
{
    forgetIfClosed(m_aboutWindow);
    if (!m_aboutWindow) {
        m_aboutWindow = new FormAbout;
        m_aboutWindow->setScale(scale());
        RepeatGuard::instance().watch(m_aboutWindow);
    }
    bringForward(m_aboutWindow);
}

QString Form1::closeQuestion() const
{
    return m_closeQuestion.isEmpty() ? QStringLiteral("今晚的抽獎結果將不會保留。\n確定要結束嗎?")
                                     : m_closeQuestion;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // By 確 定 or by its close box: either way the prize has been announced.
    if (event->type() == QEvent::Close && watched == m_prizeWindow && m_prizeWindow->isVisible())
        Q_EMIT boardChanged(BoardChange::PrizeClosed, 0);
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Once a number has been drawn, closing ends the night in front of everyone: ask first.
    if (m_board.drawNo > 1 && !Prompt::confirm(this, closeQuestion())) {
        event->ignore();
        return;
    }
    event->accept();
    Q_EMIT exitRequested();
}
