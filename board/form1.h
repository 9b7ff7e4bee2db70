#pragma once

#include "bingowindow.h"
#include "board.h"
#include "boardchange.h"
#include "cover.h"
#include "form2.h"
#include "form3.h"
#include "formabout.h"
#include "presenterkeys.h"
#include "sound.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>

class BigNumber;
class CellButton;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class Random;
class ScaledLayout;

// The draw board. It builds the controls, forwards their events to the rules in
// Board, and copies the rules' state back to the controls in render().
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    using Clock = std::function<double()>; // seconds since midnight

    Form1(const QStringList &giftLines, Random &random, QWidget *parent = nullptr);
    ~Form1() override;

    Board &board() { return m_board; }
    const Board &board() const { return m_board; }
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Event handlers, public so that tests can fire timer ticks without waiting.
    void startClick();
    void timer1Tick();
    void numberCells();
    void numberMouseUp(int index, Qt::MouseButton button);
    void redrawClick();
    void option1Click();
    void command1Click(int index);
    void lottoClick();
    void aboutusClick();

    CellButton *number(int i) const { return m_number[std::size_t(i)]; }
    QLabel *picture1(int i) const { return m_picture1[std::size_t(i)]; }
    QPushButton *startButton() const { return m_start; }
    QTimer &timer1() { return m_timer1; }
    QTimer &timer2() { return m_timer2; }
    QPushButton *command1(int i) const { return m_command1[std::size_t(i)]; }
    Form2 *prizeWindow() const { return m_prizeWindow; }
    Form3 *pictureWindow() const { return m_pictureWindow; }
    BingoWindow *bingoWindow() const { return m_bingoWindow; }
    FormAbout *aboutWindow() const { return m_aboutWindow; }
    // "檢視": what goes beyond the first menus (full screen, sound, the record); made on first use,
    // rightmost.
    QMenu *viewMenu();
    // Consolation cells that turn held once the prize window has opened.
    const QList<int> &pendingHeld() const { return m_pendingHeld; }
    // Puts back a board kept from an earlier run; no spin runs afterwards.
    void restore(const Board &board, bool secondRound);
    // What else was on screen when that run ended: the prize not yet confirmed, the bingo
    // numbers taken. They come back once the board is shown.
    void resumeWindows(bool prizeOpen, int prizeCell, const QList<int> &bingoTaken,
                       bool bingoDrawing);
    // Windows of an earlier run are still to come back: the remote waits for them.
    bool resumePending() const { return m_resumed.pending; }
    // The bingo window's numbers taken so far, in order, and whether its draw runs.
    QList<int> bingoTaken() const;
    bool bingoDrawing() const;
    // How much the board is enlarged to fill its window; the other windows open at it.
    double scale() const;
    // The event's own title line in place of the design one.
    void setTitle(const QString &title);
    // What the board and its windows are heard through; silent until set. Not owned.
    void setSound(Sound *sound);
    Sound &sound() const { return *m_sound; }
    QAction *soundAction() const { return m_soundAction; }

    // The board enlarged for the hall: full screen or maximised. The winning number then
    // stands large in the centre panel, and the prize window and closing picture open large.
    bool isHall() const;
    bool isSecondRound() const;
    BigNumber *hallNumber() const { return m_hallNumber; }
    // A line on the board says why Next has nothing to do, until that no longer holds.
    void showHint(Presenter::Hint hint);
    Presenter::Hint hint() const { return m_hint; }
    QLabel *hintLabel() const { return m_hintLabel; }
    // The projector goes black until any key or click; nothing of the night changes.
    void blackOut();
    Cover *blackScreen() const { return m_blackScreen; }
    PresenterKeys *presenterKeys() const { return m_presenterKeys; }
    // The ground the closing picture stands on in the hall.
    Cover *finaleGround() const { return m_finaleGround; }
    // What the close box asks once a number has been drawn, for a night that is kept;
    // empty: the night is lost when the program ends.
    void setCloseQuestion(const QString &question) { m_closeQuestion = question; }
    QString closeQuestion() const;

Q_SIGNALS:
    // The operator ended the program ("結束" or the close box).
    void exitRequested();
    // The rules have changed; the controls do not show it yet.
    void boardChanged(BoardChange change, int index);
    // The bingo numbers taken have changed.
    void bingoChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    void render();
    void showPrizeWindow(int cell);
    void markPendingHeld();
    void onPrizeConfirmed();
    void openResumedWindows();
    void openResumedOnceSized();
    void showFinale();
    void showBoardAgain();
    void renderHall();

    Board m_board;
    Random &m_random;
    QString m_closeQuestion;
    Clock m_clock;

    QTimer m_timer1;
    QTimer m_timer2;
    QElapsedTimer m_spinClock;
    qint64 m_nextTickAt = 0;

    QPointer<Form2> m_prizeWindow;
    // The same window as a plain widget: the board's state is rendered from the handler of its
    // destruction too, when it is no prize window any more.
    QPointer<QWidget> m_prizeShown;
    // The number whose prize the window shows; a later stop may be waiting beside it.
    int m_prizeCell = 0;
    QPointer<Form3> m_pictureWindow;
    QPointer<BingoWindow> m_bingoWindow;
    QPointer<FormAbout> m_aboutWindow;
    QPointer<Cover> m_blackScreen;
    QPointer<Cover> m_finaleGround;
    // Consolation cells turn held once the prize window has finished opening.
    QList<int> m_pendingHeld;
    // Windows of an earlier run that come back once the board is shown.
    struct Resumed
    {
        bool pending = false;
        bool prizeOpen = false;
        int prizeCell = 0;
        QList<int> bingoTaken;
        bool bingoDrawing = false;
    } m_resumed;

    std::array<CellButton *, Board::Cells> m_number{};
    std::array<QLabel *, Board::Cells> m_picture1{};
    std::array<QPushButton *, 2> m_command1{};
    std::array<QGroupBox *, 2> m_frame2{};
    QPushButton *m_start = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
    QRadioButton *m_option3 = nullptr;
    QMenu *m_viewMenu = nullptr;
    ScaledLayout *m_layout = nullptr;
    PresenterKeys *m_presenterKeys = nullptr;
    BigNumber *m_hallNumber = nullptr;
    QLabel *m_hintLabel = nullptr;
    Presenter::Hint m_hint = Presenter::Hint::None;
    // Where the board was before the closing picture hid it.
    Qt::WindowStates m_stateBeforeFinale;
    QRect m_geometryBeforeFinale;

    NullSound m_silent;
    Sound *m_sound = &m_silent;
    QAction *m_soundAction = nullptr;
    Sound::Cue m_prizeCue = Sound::Cue::Fanfare;
};
