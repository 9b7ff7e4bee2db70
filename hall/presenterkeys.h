#pragma once

#include "remote.h"

#include <QObject>

#include <functional>

class BingoWindow;
class Night;
class QWidget;

// The remote's keys, in every window that shows the night, act on the night itself.
class PresenterKeys : public QObject
{
    Q_OBJECT
public:
    explicit PresenterKeys(Night &night, QObject *parent = nullptr);

    // The board's keys act while the given window has the focus.
    void attach(QWidget *window);
    void attachBingo(BingoWindow *window);
    // The closing picture and the ground it stands on; leave ends the finale.
    void attachFinale(QWidget *window, const std::function<void()> &leave);

    void press(int key);

private:
    void askInShow(BingoWindow *window, Presenter::Question question);
    void answerInShow(BingoWindow *window, Presenter::Question question, Presenter::Answer answer);

    Night &m_night;
};
