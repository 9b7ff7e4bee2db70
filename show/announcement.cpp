#include "announcement.h"

#include "background.h"
#include "growingwindow.h"
#include "picturereader.h"
#include "prizeart.h"
#include "scale.h"
#include "twips.h"

#include <QPainter>

#include <future>

Announcement::Announcement(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ShowPrize"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(GrowingWindow::StepIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &Announcement::step);
    hide();
}

void Announcement::announce(const QString &number, const QString &prize, const Guest &guest,
                            const QString &picture)
{
    m_number = number;
    m_prize = prize;
    m_guest = guest;
    m_picturePath = picture;
    if (!m_steps.isEmpty()) {
        draw();
        update();
        return;
    }
    const QWidget *over = parentWidget();
    m_scale = Scale::hall(over->size());
    OpeningPlan plan = PrizeArt::opening(true);
    plan.scale = m_scale;
    for (const TwipsRect &r : Opening::growth(plan, double(over->width()) * Twips::PerPixel))
        m_steps.append(QRect(Twips::toPixels(r.left), Twips::toPixels(r.top),
                             std::max(1, Twips::toPixels(r.width)),
                             std::max(1, Twips::toPixels(r.height))));
    draw();
    m_next = 0;
    m_growing.start();
    step(); // seen from the first step on
    show();
    raise();
    if (m_next < m_steps.size())
        m_timer.start();
}

void Announcement::draw()
{
    // Fonts measured and pictures read here, once per prize: never in a step of the growth.
    // A picture that cannot be read leaves its room to the words: laid out again without it.
    for (;;) {
        m_layout = PrizeArt::hallLayout(m_scale, m_prize, m_guest.name, m_guest.after(),
                                        !m_picturePath.isEmpty(), !m_guest.photo.isEmpty());
        // The photo is read beside the picture: at 4K each takes some 50 ms of the growth.
        std::future<QImage> photo;
        if (!m_layout.photo.isEmpty())
            photo = Background::run([path = m_guest.photo, size = m_layout.photo.size()] {
                return PictureReader::read(path, size, nullptr);
            });
        m_picture = m_layout.picture.isEmpty()
                        ? QImage()
                        : PictureReader::read(m_picturePath, m_layout.picture.size());
        m_photo = photo.valid() ? photo.get() : QImage();
        const bool pictureLost = m_picture.isNull() && !m_picturePath.isEmpty();
        const bool photoLost = m_photo.isNull() && !m_guest.photo.isEmpty();
        if (!pictureLost && !photoLost)
            break;
        if (pictureLost)
            m_picturePath.clear();
        if (photoLost)
            m_guest.photo.clear();
    }
    const QSize size = m_steps.last().size();
    const qreal ratio = devicePixelRatioF();
    QPixmap art(size * ratio);
    art.setDevicePixelRatio(ratio);
    QPainter p(&art);
    PrizeArt::paintHall(p, size, m_layout, m_number, m_prize, m_picture, m_photo);
    p.end();
    m_art = art;
}

void Announcement::step()
{
    if (m_next >= m_steps.size())
        return;
    // As the prize window does: steps that are due together are put once, so the growth
    // keeps its length on a large screen.
    const qsizetype due = m_growing.elapsed() / GrowingWindow::StepIntervalMs + 1;
    do
        setGeometry(m_steps[m_next++]);
    while (m_next < due && m_next < m_steps.size());
    if (m_next == m_steps.size()) {
        m_timer.stop();
        Q_EMIT grown();
    }
}

void Announcement::finishGrowing()
{
    while (m_next < m_steps.size())
        step();
}

void Announcement::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Each step the whole announcement at that size; scaled without smoothing, as a step
    // stands for 12 ms.
    if (m_art.deviceIndependentSize().toSize() == size())
        p.drawPixmap(0, 0, m_art);
    else
        p.drawPixmap(rect(), m_art);
}
