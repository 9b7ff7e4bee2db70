#include "form3.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

class TestForm3 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void window();
    void background();
    void clicks_data();
    void clicks();
    void secondOpenDoesNotGrowAgain();

private:
    static QPointer<Form3> opened();
};

QPointer<Form3> TestForm3::opened()
{
    auto *w = new Form3;
    w->open();
    w->finishOpening();
    return w;
}

void TestForm3::window()
{
    QPointer<Form3> w = opened();
    QCOMPARE(w->windowTitle(), QStringLiteral("Form3"));
    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    // 8100 x 3600 twips, top 1500; the picture box is a little larger and is cut off.
    QCOMPARE(w->geometry().size(), QSize(540, 240));
    QCOMPARE(w->geometry().top(), 100);
    auto *picture = w->findChild<QLabel *>(QStringLiteral("Picture1"));
    QVERIFY(picture);
    QCOMPARE(picture->geometry(), QRect(0, 0, 545, 241));
    delete w;
}

void TestForm3::background()
{
    QPointer<Form3> w = opened();
    const QImage bands = w->background();
    QVERIFY(!bands.isNull());
    for (int y = 0; y < bands.height(); ++y) {
        for (int x : {0, bands.width() - 1}) {
            if (bands.pixel(x, y) != qRgb(0xFF, 0, 0))
                QFAIL(qPrintable(QStringLiteral("not red at %1,%2").arg(x).arg(y)));
        }
    }
    auto *picture = w->findChild<QLabel *>(QStringLiteral("Picture1"));
    QCOMPARE(picture->palette().color(QPalette::Window), QColor(0xFF, 0, 0));
    QVERIFY(picture->autoFillBackground());
    delete w;
}

void TestForm3::clicks_data()
{
    QTest::addColumn<bool>("onPicture");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("closes");
    QTest::newRow("left on the picture")
        << true << Qt::LeftButton << QPoint(200, 100) << QPoint(200, 100) << true;
    QTest::newRow("left on the picture's border")
        << true << Qt::LeftButton << QPoint(0, 0) << QPoint(1, 1) << true;
    QTest::newRow("right on the picture")
        << true << Qt::RightButton << QPoint(200, 100) << QPoint(200, 100) << false;
    QTest::newRow("middle on the picture")
        << true << Qt::MiddleButton << QPoint(200, 100) << QPoint(200, 100) << false;
    QTest::newRow("left pressed, released off the picture")
        << true << Qt::LeftButton << QPoint(200, 100) << QPoint(700, 100) << false;
    QTest::newRow("left on the window beside the picture")
        << false << Qt::LeftButton << QPoint(580, 280) << QPoint(580, 280) << false;
}

void TestForm3::clicks()
{
    QFETCH(bool, onPicture);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, closes);
    QPointer<Form3> w = opened();
    // Widened so that part of the window lies outside the picture.
    w->resize(600, 300);
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QSignalSpy clicked(w.data(), &Form3::pictureClicked);
    QWidget *target = onPicture ? w->findChild<QWidget *>(QStringLiteral("Picture1")) : w.data();
    QTest::mousePress(target, button, {}, press);
    QTest::mouseRelease(target, button, {}, release);
    QCOMPARE(clicked.count(), closes ? 1 : 0);
    if (closes) {
        QTRY_VERIFY(w.isNull());
    } else {
        QTest::qWait(10);
        QVERIFY(!w.isNull());
        QVERIFY(w->isVisible());
        delete w;
    }
}

void TestForm3::secondOpenDoesNotGrowAgain()
{
    QPointer<Form3> w = opened();
    const QImage first = w->background();
    QSignalSpy grown(w.data(), &GrowingWindow::opened);
    w->open();
    QVERIFY(!w->isOpening());
    QTest::qWait(3 * GrowingWindow::StepIntervalMs);
    QCOMPARE(grown.count(), 0);
    QCOMPARE(w->background().cacheKey(), first.cacheKey());
    delete w;
}

QTEST_MAIN(TestForm3)
#include "test_form3.moc"
