#pragma once

#include "bingodraw.h"
#include "prompt.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QMenuBar;
class FaceButton;
class QPushButton;
class Random;
class ScaledLayout;

// The bingo number window. The draw runs on the event loop, one pass per timer tick,
// so the take button, the menu and every other window keep working meanwhile.
class BingoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit BingoWindow(Random &random, QWidget *parent = nullptr);
    // Deleted mid-draw (the board going away) still ends the draw's roll.
    ~BingoWindow() override { stopLoop(); }

    BingoDraw &rules() { return m_draw; }
    bool isDrawing() const { return m_draw.isDrawing(); }
    // One pass of the draw, as a timer tick runs it.
    void step();
    // Opens at s times the design: place, size and fonts. Later resizes by the operator
    // leave the controls where they are.
    void setScale(double s);
    // Brings back a draw with these numbers taken, its loop running again if it ran.
    void restore(const QList<int> &taken, bool drawing);
    // The keys (a presenter remote's) that answer the question before a new draw.
    void setAnswerKeys(const Prompt::AnswerKeys &keys) { m_answerKeys = keys; }
    // Some number of this draw is in a box.
    bool hasTaken() const;

    static QString newDrawQuestion();
    // As 開  始 and 取得號碼, which stay without effect while disabled; a draw over numbers
    // taken asks first.
    void draw();
    void take();
    // A new draw the operator has already said yes to, elsewhere (in the hall's show).
    void startAnsweredDraw();
    // The rolling holds on the number shown, and goes on from there; a take waits for it.
    void pauseDraw();
    void resumeDraw();
    bool isPaused() const { return m_draw.isDrawing() && !m_timer.isActive(); }
    // As 結  束: asks first when numbers would go. answered: the operator has said yes
    // elsewhere.
    void endAndClose(bool answered = false);

Q_SIGNALS:
    // For the sound: the draw's loop runs, has stopped, has put a number in a box.
    void drawStarted();
    void drawEnded();
    void numberTaken();
    // The numbers taken have changed: one more, cleared, or gone with the window.
    void takenChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QMenuBar *buildMenu();
    void placeWindow();
    void buildControls(QWidget *client);
    void clear();
    void beginDraw();
    bool mayClose();
    void render();
    void stopLoop();

    ScaledLayout *m_layout = nullptr;
    Random &m_random;
    BingoDraw m_draw;
    QTimer m_timer;
    QLineEdit *m_display = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_endButton = nullptr;
    FaceButton *m_takeButton = nullptr;
    std::array<QLabel *, BingoDraw::Numbers> m_boxes{};
    bool m_closeAsked = false;
    Prompt::AnswerKeys m_answerKeys;
};
