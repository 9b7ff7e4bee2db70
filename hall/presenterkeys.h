#pragma once

#include "prompt.h"
#include "remote.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class Night;

// The remote's keys, in every window that shows the night, act on the night itself. What
// only a window can do (confirm its prize, run the bingo draw, end the show) it asks for.
class PresenterKeys : public QObject
{
    Q_OBJECT
public:
    // What the bingo window is asked to do: each may ask in a box over numbers taken. The
    // rest of the draw the keys ask of the night.
    enum class BingoCommand
    {
        Draw, // as 開  始
        Close // as 結  束
    };

    explicit PresenterKeys(Night &night, QObject *parent = nullptr);

    // The board's keys act while the given window has the focus.
    void attach(QWidget *window);
    // The bingo window's keys; the remote's come before its text field's own.
    void attachBingo(QWidget *window, QWidget *textField);
    // The closing picture and the ground it stands on; leave ends the finale.
    void attachFinale(QWidget *window, const std::function<void()> &leave);

    void press(int key);
    void pressInBingo(int key);

    // Of the keys a remote sends, those that answer a question yes or no.
    static Prompt::AnswerKeys answerKeys();

Q_SIGNALS:
    void confirmRequested();
    void showRequested(bool on);
    void leaveFullScreenRequested();
    void bingoCommand(PresenterKeys::BingoCommand command);

private:
    void askInShow(Presenter::Question question);

    Night &m_night;
    QPointer<QWidget> m_bingo;
    QPointer<QWidget> m_bingoText;
};
