#pragma once

#include "boardlayout.h"
#include "night.h"

#include <QMainWindow>
#include <QTimer>

class BigNumber;
class CellButton;
class QLabel;
class QPushButton;

// The draw board: the operator's window. It builds the controls, forwards the operator's
// actions to the night, and shows the night's state in render().
class BoardWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit BoardWindow(Night &night, QWidget *parent = nullptr);

    Night &night() const { return m_night; }

    // The operator's actions, public so that tests can act without the mouse. Each may
    // answer with the board's refusal box.
    void start();
    void drawCard(int stack);
    void cellReleased(int cell, Qt::MouseButton button);
    void discardStop();
    // Every half second the cells are enabled and numbered again.
    void numberCells();

    CellButton *cell(int i) const { return m_controls.cells[std::size_t(i)]; }
    QLabel *marker(int i) const { return m_controls.markers[std::size_t(i)]; }
    QPushButton *startButton() const { return m_controls.startButton; }
    QPushButton *cardButton(int stack) const { return m_controls.cardButtons[std::size_t(stack)]; }
    BigNumber *hallNumber() const { return m_controls.hallNumber; }
    QLabel *hintLabel() const { return m_controls.hint; }
    QTimer &numberTimer() { return m_numberTimer; }

    // How much the board is enlarged to fill its window; the other windows open at it.
    double scale() const;
    // The board enlarged for the hall: full screen or maximised. The winning number then
    // stands large in the centre panel, and the prize window and closing picture open large.
    bool isHall() const;
    // What the close box asks once a number has been drawn, in place of the warning that
    // the night is not kept.
    void setCloseQuestion(const QString &question) { m_closeQuestion = question; }
    QString closeQuestion() const;

Q_SIGNALS:
    // The operator ended the program ("結束" or the close box).
    void exitRequested();
    void aboutRequested();
    void bingoRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void connectControls();
    void render(Night::Aspects aspects);
    void renderHall();
    void toggleFullScreen();
    void fitCount();
    void fitScreen();

    Night &m_night;
    BoardControls m_controls;
    QTimer m_numberTimer;
    QMetaObject::Connection m_screenArea;
    QString m_closeQuestion;
};
