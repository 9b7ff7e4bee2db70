#include "closingpicture.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

class TestClosingPicture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void redBanner();
    void clicks_data();
    void clicks();

private:
    static QPointer<ClosingPicture> opened()
    {
        auto *w = new ClosingPicture;
        w->open();
        w->finishOpening();
        return w;
    }
};

void TestClosingPicture::redBanner()
{
    QPointer<ClosingPicture> w = opened();
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

void TestClosingPicture::clicks_data()
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

void TestClosingPicture::clicks()
{
    QFETCH(bool, onPicture);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, release);
    QFETCH(bool, closes);
    QPointer<ClosingPicture> w = opened();
    // Widened so that part of the window lies outside the picture.
    w->resize(600, 300);
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QSignalSpy clicked(w.data(), &ClosingPicture::pictureClicked);
    QWidget *target = onPicture ? w->findChild<QWidget *>(QStringLiteral("Picture1")) : w.data();
    QTest::mousePress(target, button, {}, onPicture ? QPoint(200, 100) : release);
    QTest::mouseRelease(target, button, {}, release);
    QCOMPARE(clicked.count(), closes ? 1 : 0);
    if (closes) {
        QTRY_VERIFY(w.isNull());
    } else {
        // Nothing posted closes it either.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w && w->isVisible());
        delete w;
    }
}

QTEST_MAIN(TestClosingPicture)
#include "test_closingpicture.moc"
