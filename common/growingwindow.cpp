#include "growingwindow.h"

#include "clock.h"
#include "colourui.h"
#include "scale.h"
#include "twips.h"

#include <QPainter>
#include <QScreen>

#include <algorithm>

GrowingWindow::GrowingWindow(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    m_layout = new ScaledLayout(this);
    // Growing, only what each step adds is painted: the rest stands where it was.
    setAttribute(Qt::WA_StaticContents);
}

void GrowingWindow::setScale(double s)
{
    m_layout->apply(s);
    m_openingScale = s;
}

void GrowingWindow::setOpeningScale(double s)
{
    m_openingScale = s;
}

double GrowingWindow::scale() const
{
    return m_layout->scale();
}

double GrowingWindow::screenWidthTwips(const QWidget *w)
{
    // Grown inside another window, it opens across that window.
    if (!w->isWindow() && w->parentWidget())
        return double(w->parentWidget()->width()) * Twips::PerPixel;
    const QScreen *screen = w->screen();
    return screen ? double(screen->geometry().width()) * Twips::PerPixel : 0.0;
}

void GrowingWindow::open(const OpeningPlan &plan)
{
    // Opens once; asked again, the window only comes to the front.
    if (m_started) {
        // A minimised window would keep the next prize out of sight.
        if (isMinimized())
            setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        show();
        raise();
        activateWindow();
        return;
    }
    m_started = true;
    m_plan = plan;
    m_plan.scale = m_openingScale;
    m_steps = Opening::growth(m_plan, screenWidthTwips(this));
    m_next = 0;
    m_banded = false;
    m_growingFrom = Clock::current().now();
    step(); // visible from the first step on
}

void GrowingWindow::finishOpening()
{
    while (m_next < m_steps.size())
        step();
}

void GrowingWindow::step()
{
    if (m_next >= m_steps.size())
        return;
    // Each step is due StepIntervalMs after the one before. A window too large to be drawn
    // in that time takes the steps that are due together, drawn once: the growth keeps its
    // length on a large screen instead of dragging on. A step that would end past the whole
    // growth's length goes straight to the last.
    const qint64 started = Clock::current().now() - m_growingFrom;
    const qsizetype due = m_started ? started / StepIntervalMs + 1 : 0;
    const bool last = m_started && m_next > 0 &&
                      started + m_lastStepMs >= qint64(m_steps.size() - 1) * StepIntervalMs;
    do {
        // The last step's paint is the bands' own: the window is drawn whole once, not grey
        // and then banded.
        if (m_next == m_steps.size() - 1) {
            m_banded = true;
            update();
        }
        applyOuterGeometry(m_steps[m_next++]);
    } while ((m_next < due || last) && m_next < m_steps.size());
    if (!isVisible())
        show();
    const qint64 now = Clock::current().now() - m_growingFrom;
    m_lastStepMs = now - started;
    if (m_next == m_steps.size()) {
        Q_EMIT opened();
        return;
    }
    // Late, the next step comes at once rather than an interval after this one.
    stepAfter(now / StepIntervalMs + 1 > m_next ? 0 : StepIntervalMs);
}

void GrowingWindow::stepAfter(int ms)
{
    // One step waits at a time: the steps that finishOpening() runs ask for none of their own.
    if (m_stepDue)
        return;
    m_stepDue = true;
    Clock::current().after(ms, Qt::PreciseTimer, this, [this] {
        m_stepDue = false;
        step();
    });
}

void GrowingWindow::applyOuterGeometry(const TwipsRect &r)
{
    // The steps give the outer size; the frame is whatever the window manager adds.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    // Never empty: Qt leaves a window of no size unmapped and maps it at a later resize, and
    // under load the window manager then lost the window while Qt held it as shown.
    const int w = std::max(Twips::toPixels(r.width) - frame.width(), 1);
    const int h = std::max(Twips::toPixels(r.height) - frame.height(), 1);
    // Across and down the screen the window opens on, wherever that lies on the desktop.
    const QPoint origin = isWindow() && screen() ? screen()->geometry().topLeft() : QPoint();
    move(origin + QPoint(Twips::toPixels(r.left), Twips::toPixels(r.top)));
    resize(w, h);
}

void GrowingWindow::paintBands(QPainter &p) const
{
    const QSizeF client = size();
    for (int j = 1; j <= Opening::Bands; ++j) {
        const QColor c = Colour::toQColor(m_plan.bandColour(j), palette());
        // Outline and fill share the colour, so the band is one solid box.
        p.fillRect(Opening::band(j, client), c);
    }
}

QImage GrowingWindow::background() const
{
    if (!m_banded)
        return {};
    const qreal dpr = devicePixelRatioF();
    QImage image(size() * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(palette().color(backgroundRole()));
    QPainter p(&image);
    paintBands(p);
    return image;
}

void GrowingWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // While it grows the window shows its back colour, never what the screen held before;
    // opened, the bands, drawn anew at every paint (64 solid boxes cost less than keeping
    // a picture of a window as large as three quarters of a 4K screen).
    if (m_banded)
        paintBands(p);
    else
        p.fillRect(rect(), palette().color(backgroundRole()));
}
