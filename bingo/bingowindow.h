#pragma once

#include "night.h"
#include "prompt.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QMenuBar;
class FaceButton;
class QPushButton;
class ScaledLayout;

// The bingo number window: it opens the night's bingo draw, forwards the operator's actions to
// it and draws what the night says; it closes when the night's draw does.
class BingoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit BingoWindow(Night &night, QWidget *parent = nullptr);

    const BingoDraw &rules() const { return m_night.bingoDraw(); }
    bool isDrawing() const { return m_night.bingo().drawing; }
    // Where the draw's number is shown: it takes the keyboard.
    QWidget *display() const;
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
    // The rolling holds on the number shown, and goes on from there; a take waits for it.
    void pauseDraw();
    void resumeDraw();
    bool isPaused() const { return m_night.bingo().paused; }
    // As 結  束: asks first when numbers would go. answered: the operator has said yes
    // elsewhere.
    void endAndClose(bool answered = false);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QMenuBar *buildMenu();
    void placeWindow();
    void buildControls(QWidget *client);
    bool mayClose();
    void render();

    ScaledLayout *m_layout = nullptr;
    Night &m_night;
    QLineEdit *m_display = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_endButton = nullptr;
    FaceButton *m_takeButton = nullptr;
    std::array<QLabel *, BingoDraw::Numbers> m_boxes{};
    bool m_closeAsked = false;
    Prompt::AnswerKeys m_answerKeys;
};
