#pragma once

#include "opening.h"

#include <QImage>
#include <QWidget>

class ScaledLayout;

// A top-level window that opens by growing onto the screen and then keeps a banded
// background that survives repaints. The steps run on the event loop, a few
// milliseconds apart, so the audience sees the frame grow.
class GrowingWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StepIntervalMs = 12;

    explicit GrowingWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    // Shows the window at the first step and starts the growth; a window that has
    // already opened only comes to the front.
    void open(const OpeningPlan &plan);
    bool isOpening() const { return m_next < m_steps.size(); }
    // Runs whatever steps are left at once.
    void finishOpening();

    // The bands as the window paints them once it has opened; null before.
    QImage background() const;
    // The window's controls at s times their design; set before it opens.
    void setScale(double s);
    double scale() const;
    ScaledLayout *layout() const { return m_layout; }
    // The growth's own scale when the window opens larger than its controls' table says.
    void setOpeningScale(double s);
    static double screenWidthTwips(const QWidget *w);

Q_SIGNALS:
    // The last step is done and the bands are painted.
    void opened();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void step();
    void stepAfter(int ms);
    void applyOuterGeometry(const TwipsRect &r);
    void paintBands(QPainter &p) const;

    OpeningPlan m_plan;
    QList<TwipsRect> m_steps;
    qsizetype m_next = 0;
    bool m_started = false;
    bool m_stepDue = false;   // a step waits on the clock
    qint64 m_growingFrom = 0; // on the clock
    bool m_banded = false;
    qint64 m_lastStepMs = 0;
    ScaledLayout *m_layout = nullptr;
    double m_openingScale = 1.0;
};
