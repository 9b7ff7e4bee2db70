#pragma once

#include "bingodraw.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QMenuBar;
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

    BingoDraw &draw() { return m_draw; }
    bool isDrawing() const { return m_draw.isDrawing(); }
    // One pass of the draw, as a timer tick runs it.
    void step();
    // Opens at s times the design: place, size and fonts. Later resizes by the operator
    // leave the controls where they are.
    void setScale(double s);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QMenuBar *buildMenu();
    void placeWindow();
    void buildControls(QWidget *client);
    void Command1_Click(int index);
    void Command2_Click();
    void clear_Click();
    void ending_Click();
    void startDraw();
    void endAndClose();
    void render();

    ScaledLayout *m_layout = nullptr;
    Random &m_random;
    BingoDraw m_draw;
    QTimer m_timer;
    QLineEdit *m_text1 = nullptr;
    std::array<QPushButton *, 2> m_command1{};
    QPushButton *m_command2 = nullptr;
    std::array<QLabel *, BingoDraw::Numbers> m_label1{};
};
