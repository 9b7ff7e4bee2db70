#pragma once

#include "guest.h"
#include "prizeart.h"

#include <QElapsedTimer>
#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The prize announced in the hall's show: it grows across the show as the prize window grows
// on the desk, and every step of the growth is the whole banded announcement at that size.
// Drawn once at its full size when the card comes; each step only puts that picture.
class Announcement : public QWidget
{
    Q_OBJECT
public:
    explicit Announcement(QWidget *parent);

    // Starts the growth; a prize arriving while one is up shows at once where it stands. The
    // prize's picture and the guest's photo, when there are any, stand beside the words.
    void announce(const QString &number, const QString &prize, const Guest &guest = {},
                  const QString &picture = {});
    bool isGrowing() const { return m_timer.isActive(); }
    void finishGrowing();
    QString number() const { return m_number; }
    QString prize() const { return m_prize; }
    QString guest() const { return m_guest.text(); }
    // The pictures as drawn; null when there is none, or it could not be read.
    QImage picture() const { return m_picture; }
    QImage photo() const { return m_photo; }
    QFont prizeFont() const { return m_layout.prizeFont; }
    // Where the whole announcement puts each part, at its full size.
    const PrizeArt::HallLayout &layout() const { return m_layout; }

Q_SIGNALS:
    // The last step is on the screen.
    void grown();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void step();
    void draw();

    QString m_number;
    QString m_prize;
    Guest m_guest;
    QString m_picturePath;
    QImage m_picture;
    QImage m_photo;
    double m_scale = 1.0;
    PrizeArt::HallLayout m_layout;
    QPixmap m_art;
    QList<QRect> m_steps;
    qsizetype m_next = 0;
    QTimer m_timer;
    QElapsedTimer m_growing;
};
