#pragma once

#include <QFont>
#include <QPixmap>
#include <QWidget>

// The winning number for the back of the hall: digits in a heavy face whose ink fills
// InkShare of the widget's height, centred. The font is worked out when the size or the
// number changes, never while painting.
class BigNumber : public QWidget
{
    Q_OBJECT
public:
    static constexpr double InkShare = 0.8;

    explicit BigNumber(QWidget *parent = nullptr);

    // The digits in a box as the hall reads them: the font whose ink fills InkShare of the
    // box's height (less, where the box is too narrow), and the baseline's start that
    // centres the ink.
    struct Fit
    {
        QFont font;
        QRectF ink;
        QPointF origin;
    };
    static Fit fit(const QString &digits, QSizeF box);

    void setNumber(const QString &digits);
    QString number() const { return m_digits; }
    // Where the digits' ink lies in the widget, for tests and screenshots.
    QRectF inkRect() const;
    const QFont &digitFont() const { return m_fit.font; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refit();

    QString m_digits;
    Fit m_fit;
    // The digits drawn once: glyphs this large are not cached by the painter, and a growing
    // window or a light step would draw them anew each time.
    QPixmap m_drawn;
    QColor m_drawnInk;
};
