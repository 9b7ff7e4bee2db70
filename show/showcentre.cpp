#include "showwindow.h"

#include "bignumber.h"
#include "picturereader.h"
#include "showgeometry.h"

#include <QLabel>

using ShowGeometry::setShown;

// What stands inside the ring: the winning number, the winner's name and photo, the logo.

void ShowWindow::placeNumber()
{
    const int h = height();
    const QRect centre = ShowGeometry::ringOf(size()).centre;
    const int line = h / 15;
    // The number a quarter of the screen high, twice what the back row needs; with a guest
    // list, the winner's name under it, on two lines if it must; a question over the board
    // below both, clear of them. The winner's photo stands left of both, a quarter of the
    // screen high or more; a name too long beside it goes under the photo too.
    const bool photo = !m_photo.path.isEmpty();
    const int photoWidth = photo ? centre.width() / 3 : 0;
    const int gap = photo ? line / 2 : 0;
    int nameWidth = centre.width() - photoWidth - gap;
    int nameHeight = m_night.hasGuests() ? h / 10 : 0;
    const auto setName = [&] {
        const auto set =
            ShowGeometry::nameSet(m_named.name, m_named.after(), {nameWidth, nameHeight}, h);
        m_name->setFont(set ? set->font : ShowGeometry::hallFont(std::max(1, h / 15)));
        m_name->setText(set ? set->text : m_named.text());
        m_nameHeight = set ? set->size.height() : 0;
        return set.has_value();
    };
    bool nameBeside = true;
    if (nameHeight && !m_named.isEmpty() &&
        (m_setFor != m_named || m_setAt != QSize(nameWidth, h))) {
        m_setFor = m_named;
        m_setAt = QSize(nameWidth, h);
        if (!setName() && photo) {
            nameWidth = centre.width();
            m_setAt = QSize(nameWidth, h);
            setName();
        }
    }
    nameBeside = m_setAt.width() != centre.width() || !photo;
    if (!nameBeside)
        nameWidth = centre.width();
    if (nameHeight && !m_named.isEmpty())
        nameHeight = std::max(nameHeight, m_nameHeight);
    const int lineHeight = lineShown() ? 2 * line : 0;
    const int room = centre.height() - 2 * line - lineHeight;
    const int numberHeight = std::max(1, std::min(h / 4, room - nameHeight));
    const int numberTop = centre.top() + line + (room - numberHeight - nameHeight) / 2;
    const int right = centre.left() + photoWidth + gap;
    m_number->setGeometry(right, numberTop, centre.width() - photoWidth - gap, numberHeight);
    m_name->setGeometry(nameBeside ? right : centre.left(), numberTop + numberHeight, nameWidth,
                        nameHeight);
    showPicture(m_photo, QRect(centre.left(), numberTop, photoWidth,
                               numberHeight + (nameBeside ? nameHeight : 0)));
    // The logo where the number would stand, as large.
    QRect logo(0, 0, centre.width() / 2, std::max(1, std::min(h / 4, room)));
    logo.moveCenter(QPoint(centre.center().x(), centre.top() + line + room / 2));
    showPicture(m_logo, logo);
}

void ShowWindow::showPicture(Picture &picture, const QRect &box)
{
    const bool wanted = !picture.path.isEmpty() && !box.isEmpty();
    if (wanted && (picture.path != picture.readPath || box.size() != picture.readSize)) {
        picture.readPath = picture.path;
        picture.readSize = box.size();
        const QImage image = PictureReader::read(picture.path, box.size());
        picture.label->setPixmap(QPixmap::fromImage(image));
    }
    picture.label->setGeometry(box);
    setShown(picture.label, wanted && !picture.label->pixmap().isNull());
}
