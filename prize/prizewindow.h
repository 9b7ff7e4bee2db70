#pragma once

#include "growingwindow.h"

#include <QString>

#include <utility>

class BigNumber;
class QLabel;
class FaceButton;

// Announces the prize a card has just drawn. A window of its own that deletes itself
// when closed; given the board as parent, it stays in front of the board.
class PrizeWindow : public GrowingWindow
{
    Q_OBJECT
public:
    explicit PrizeWindow(QWidget *parent = nullptr);

    // For the hall: the window opens wider at s, the winning number above the prize, all
    // in large type. Set before it opens.
    void setHall(double s);
    double hallScale() const;
    // The winning number; shown in the hall only.
    void setNumber(const QString &number);
    // Who the number stands for, from the guest list; no line without one. What comes after
    // (the department in brackets) goes to a line of its own before the text breaks elsewhere.
    void setGuest(const QString &guest, const QString &after = {});
    // The prize's picture, a file beside the program: right of the words, the window opening
    // wider on the desk for it. Set before it opens; none, or one that cannot be read, and the
    // window is as it always was.
    void setPicture(const QString &path);
    bool hasPicture() const;

    // Grows onto the screen, paints the gradient and shows the prize. Once started,
    // a further call only brings the window to the front.
    void open();

    // Before the growth has finished the prize waits for it; afterwards it shows at once,
    // so a card drawn while the window is up is not lost.
    void setPrize(const QString &prize);
    QString prize() const { return m_prize; }

    // "確 定": the window closes and says so.
    void confirm();

    // Whether the prize label has a face for the character, and room for the prize at
    // its smallest type: the prize list is checked against both before the night starts.
    static bool canDraw(char32_t u);
    static bool showsWhole(const QString &prize);

Q_SIGNALS:
    // "確 定" has closed the window. The close box closes it without this.
    void confirmed();
    // The window has closed, by 確 定 or by its close box.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onOpened();
    void showPrize();
    // The guest's line shrinks, and wraps where its box has room, until it fits.
    void fitGuest();
    void placePicture();

    FaceButton *m_confirmButton = nullptr;
    QLabel *m_caption = nullptr;
    QLabel *m_prizeLabel = nullptr;
    QLabel *m_guest = nullptr;
    QLabel *m_picture = nullptr;
    BigNumber *m_number = nullptr;
    ScaledLayout *m_hallLayout = nullptr;
    QString m_prize;
    QString m_picturePath;
    std::pair<QString, QString> m_guestText;
    bool m_opened = false;
};
