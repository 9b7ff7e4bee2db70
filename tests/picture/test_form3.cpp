#include "form3.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

class TestForm3 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void redBanner();
    void clicks_data();
    void clicks();

private:
    static QPointer<Form3> opened()
    {
        auto *w = new Form3;
        w->open();
        w->finishOpening();
        return w;
    }
};

void TestForm3::redBanner()
{
    QPointer<Form3> w = opened();
    // 8100 x 3600 twips at top 1500, no frame.
    QCOMPARE(w->frameGeometry().size(), QSize(540, 240));
    QCOMPARE(w->frameGeometry().top(), 100);
    const QImage bands = w->background();
    for (int y = 0; y < bands.height(); ++y) {
        if (bands.pixel(0, y) != qRgb(0xFF, 0, 0) ||
            bands.pixel(bands.width() - 1, y) != qRgb(0xFF, 0, 0))
            QFAIL(qPrintable(QStringLiteral("not red in row %1").arg(y)));
    }
    auto *picture = w->findChild<QLabel *>(QStringLiteral("Picture1"));
    QVERIFY(picture->autoFillBackground());
    QCOMPARE(picture->palette().color(QPalette::Window), QColor(0xFF, 0, 0));
    delete w;
}

void TestForm3::clicks_data()
{
    QTest::addColumn<bool>("onPicture");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("closes");
    QTest::newRow("left on the picture") << true << Qt::LeftButton << QPoint(200, 100) << true;
    QTest::newRow("right on the picture") << true << Qt::RightButton << QPoint(200, 100) << false;
    QTest::newRow("middle on the picture") << true << Qt::MiddleButton << QPoint(200, 100) << false;
    QTest::newRow("left released off the picture")
        << true << Qt::LeftButton << QPoint(700, 100) << false;
    QTest::newRow("left on the window beside the picture")
        << false << Qt::LeftButton << QPoint(580, 280) << false;
}

void TestForm3::clicks()
{
    QFETCH(bool, onPicture);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, release);
    QFETCH(bool, closes);
    QPointer<Form3> w = opened();
    // Widened so that part of the window lies outside the picture.
    w->resize(600, 300);
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QSignalSpy clicked(w.data(), &Form3::pictureClicked);
    QWidget *target = onPicture ? w->findChild<QWidget *>(QStringLiteral("Picture1")) : w.data();
    QTest::mousePress(target, button, {}, onPicture ? QPoint(200, 100) : release);
    QTest::mouseRelease(target, button, {}, release);
    QCOMPARE(clicked.count(), closes ? 1 : 0);
    if (closes) {
        QTRY_VERIFY(w.isNull());
    } else {
        QTest::qWait(10);
        QVERIFY(w && w->isVisible());
        delete w;
    }
}

QTEST_MAIN(TestForm3)
#include "test_form3.moc"
