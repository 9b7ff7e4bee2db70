#include "opening.h"

#include <QTest>

class TestOpening : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void growth_data();
    void growth();
    void bandsTileTheClientArea_data();
    void bandsTileTheClientArea();
};

void TestOpening::growth_data()
{
    QTest::addColumn<int>("heightStep");
    QTest::addColumn<int>("widthStep");
    QTest::addColumn<int>("top");
    QTest::addColumn<double>("screen");
    QTest::addColumn<int>("finalLeft");
    QTest::addColumn<int>("firstLeft");
    // Prize window: 10 / 16 per step to 4800 x 3000 at top 1200.
    QTest::newRow("prize, 1024 px screen") << 10 << 16 << 1200 << 15360.0 << 5280 << 7680;
    QTest::newRow("prize, odd difference") << 10 << 16 << 1200 << 15361.0 << 5280 << 7680;
    QTest::newRow("prize, half rounds to even") << 10 << 16 << 1200 << 15360.5 << 5280 << 7680;
    QTest::newRow("prize, half rounds to even upwards")
        << 10 << 16 << 1200 << 15361.5 << 5281 << 7681;
    QTest::newRow("prize, narrow screen") << 10 << 16 << 1200 << 3000.0 << -900 << 1500;
    QTest::newRow("prize, narrow odd screen") << 10 << 16 << 1200 << 3001.0 << -899 << 1500;
    // Closing picture: 12 / 27 per step to 8100 x 3600 at top 1500.
    QTest::newRow("picture, 800 px screen") << 12 << 27 << 1500 << 12000.0 << 1950 << 6000;
    QTest::newRow("picture, too narrow") << 12 << 27 << 1500 << 7500.0 << -300 << 3750;
}

void TestOpening::growth()
{
    QFETCH(int, heightStep);
    QFETCH(int, widthStep);
    QFETCH(int, top);
    QFETCH(double, screen);
    QFETCH(int, finalLeft);
    QFETCH(int, firstLeft);
    OpeningPlan plan{heightStep, widthStep, top, {}};
    const QList<TwipsRect> steps = Opening::growth(plan, screen);
    QCOMPARE(steps.size(), 31);
    QCOMPARE(steps.first(), (TwipsRect{firstLeft, top, 0, 0}));
    QCOMPARE(steps.last(), (TwipsRect{finalLeft, top, 300 * widthStep, 300 * heightStep}));
    for (qsizetype i = 1; i < steps.size(); ++i) {
        QCOMPARE(steps[i].height - steps[i - 1].height, 10 * heightStep);
        QCOMPARE(steps[i].width - steps[i - 1].width, 10 * widthStep);
    }
}

void TestOpening::bandsTileTheClientArea_data()
{
    QTest::addColumn<QSizeF>("client");
    QTest::newRow("prize window") << QSizeF(312, 178);
    QTest::newRow("picture window") << QSizeF(540, 240);
    QTest::newRow("tiny") << QSizeF(3, 5);
}

void TestOpening::bandsTileTheClientArea()
{
    QFETCH(QSizeF, client);
    QCOMPARE(Opening::band(1, client).top(), 0.0);
    QCOMPARE(Opening::band(64, client).bottom(), client.height());
    for (int j = 1; j <= 64; ++j) {
        const QRectF b = Opening::band(j, client);
        QCOMPARE(b.left(), 0.0);
        QCOMPARE(b.width(), client.width());
        if (j > 1)
            QCOMPARE(b.top(), Opening::band(j - 1, client).bottom());
    }
}

QTEST_GUILESS_MAIN(TestOpening)
#include "test_opening.moc"
