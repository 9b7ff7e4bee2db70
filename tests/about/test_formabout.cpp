#include "drag.h"
#include "fonts.h"
#include "formabout.h"

#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestFormAbout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void labelClicks_data();
    void labelClicks();
    void captionsFit();
    void dragArithmetic_data();
    void dragArithmetic();
    void dragWindow_data();
    void dragWindow();
    void missingPicture();
    void okCloses();

private:
    static void sendMouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                          Qt::MouseButtons held);

    QList<QUrl> m_opened;
};

void TestFormAbout::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestFormAbout::init()
{
    m_opened.clear();
    FormAbout::setLinkOpener([this](const QUrl &url) { m_opened.append(url); });
}

void TestFormAbout::cleanup()
{
    FormAbout::setLinkOpener({});
}

void TestFormAbout::sendMouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                              Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

void TestFormAbout::labelClicks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url"); // empty: nothing is opened
    QTest::newRow("program name") << "lbl(0)"
                                  << "Zentavo" << QString();
    QTest::newRow("e-mail caption") << "lbl(1)"
                                    << "Email：" << QString();
    QTest::newRow("e-mail link") << "lbl(2)"
                                 << "zentavo.party@example.com"
                                 << "mailto:zentavo.party@example.com";
    QTest::newRow("programmer caption") << "lbl(3)"
                                        << "程式設計：" << QString();
    QTest::newRow("web-site caption") << "lbl(4)"
                                      << "我的個人網站：" << QString();
    QTest::newRow("web-site link") << "lbl(5)"
                                   << "http://www.example.com/zentavo"
                                   << "http://www.example.com/zentavo/";
    QTest::newRow("author") << "Label1"
                            << "林志明" << QString();
}

void TestFormAbout::labelClicks()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, url);
    QPointer<FormAbout> w = new FormAbout;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    auto *label = w->findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    const QPoint before = w->pos();
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(label, Qt::RightButton, {}, QPoint(3, 3));
    if (url.isEmpty())
        QVERIFY(m_opened.isEmpty());
    else
        QCOMPARE(m_opened, QList<QUrl>{QUrl(url)});
    QCOMPARE(w->pos(), before);
    delete w;
}

void TestFormAbout::captionsFit()
{
    FormAbout w;
    const QList<QLabel *> labels = w.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 8);
    for (const QLabel *label : labels) {
        const QRect needed = label->fontMetrics().boundingRect(label->text());
        QVERIFY2(needed.width() <= label->contentsRect().width(), qPrintable(label->objectName()));
    }
}

void TestFormAbout::dragArithmetic_data()
{
    QTest::addColumn<QPointF>("window");
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<QPointF>("grab");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<QPointF>("expected");
    const QPointF win(3720, 1485);
    QTest::newRow("left drag right and down") << win << QPointF(1500, 900) << QPointF(1200, 600)
                                              << int(Qt::LeftButton) << true << QPointF(4020, 1785);
    QTest::newRow("left drag up and left") << win << QPointF(300, 150) << QPointF(1200, 600)
                                           << int(Qt::LeftButton) << true << QPointF(2820, 1035);
    QTest::newRow("left drag off the screen")
        << QPointF(0, 0) << QPointF(15, 15) << QPointF(1200, 600) << int(Qt::LeftButton) << true
        << QPointF(-1185, -585);
    QTest::newRow("cursor still on the grab point")
        << win << QPointF(1200, 600) << QPointF(1200, 600) << int(Qt::LeftButton) << true << win;
    QTest::newRow("fraction of a twip kept")
        << win << QPointF(1200.5, 600.25) << QPointF(1200, 600) << int(Qt::LeftButton) << true
        << QPointF(3720.5, 1485.25);
    QTest::newRow("right drag") << win << QPointF(1500, 900) << QPointF(1200, 600)
                                << int(Qt::RightButton) << false << win;
    QTest::newRow("left and right together")
        << win << QPointF(1500, 900) << QPointF(1200, 600) << int(Qt::LeftButton | Qt::RightButton)
        << false << win;
    QTest::newRow("middle drag") << win << QPointF(1500, 900) << QPointF(1200, 600)
                                 << int(Qt::MiddleButton) << false << win;
    QTest::newRow("no button") << win << QPointF(1500, 900) << QPointF(1200, 600)
                               << int(Qt::NoButton) << false << win;
}

void TestFormAbout::dragArithmetic()
{
    QFETCH(QPointF, window);
    QFETCH(QPointF, cursor);
    QFETCH(QPointF, grab);
    QFETCH(int, buttons);
    QFETCH(bool, moves);
    QFETCH(QPointF, expected);
    const std::optional<QPointF> to =
        Drag::moved(window, cursor, grab, Qt::MouseButtons::fromInt(buttons));
    QCOMPARE(to.has_value(), moves);
    if (moves) {
        QCOMPARE(*to, expected);
        // The grabbed point, seen from the new position, is where the cursor is.
        QCOMPARE(*to + grab, window + cursor);
    }
}

void TestFormAbout::dragWindow_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("right") << int(Qt::RightButton) << false;
}

void TestFormAbout::dragWindow()
{
    QFETCH(int, button);
    QFETCH(bool, moves);
    const auto b = Qt::MouseButton(button);
    QPointer<FormAbout> w = new FormAbout;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QCOMPARE(w->geometry().topLeft(), QPoint(248, 99));
    const QPoint start = w->pos();
    // Bare background below the captions, left of the OK button.
    const QPoint grab(10, 150);
    QVERIFY(w->childAt(grab) == nullptr);
    sendMouse(w, QEvent::MouseButtonPress, grab, b, b);
    sendMouse(w, QEvent::MouseMove, grab + QPoint(30, -20), Qt::NoButton, b);
    const QPoint shift = moves ? QPoint(30, -20) : QPoint();
    QCOMPARE(w->pos(), start + shift);
    // After the move the cursor sits on the grab point again; moving on follows it.
    sendMouse(w, QEvent::MouseMove, grab + QPoint(5, 5), Qt::NoButton, b);
    QCOMPARE(w->pos(), start + shift + (moves ? QPoint(5, 5) : QPoint()));
    sendMouse(w, QEvent::MouseButtonRelease, grab + QPoint(5, 5), b, Qt::NoButton);
    delete w;
}

void TestFormAbout::missingPicture()
{
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    QPointer<FormAbout> w = new FormAbout(empty.path());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QTest::qWait(20);
    auto *gif = w->findChild<QLabel *>(QStringLiteral("Gif1"));
    QVERIFY(gif);
    QVERIFY(gif->movie());
    QCOMPARE(gif->movie()->fileName(), empty.path() + QStringLiteral("/Atom1.gif"));
    QVERIFY(gif->grab().toImage().pixelColor(gif->width() / 2, gif->height() / 2) ==
            w->palette().color(QPalette::Window));
    delete w;
}

void TestFormAbout::okCloses()
{
    QPointer<FormAbout> w = new FormAbout;
    w->show();
    auto *ok = w->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    ok->click();
    QTRY_VERIFY(w.isNull());
    QVERIFY(m_opened.isEmpty());
}

QTEST_MAIN(TestFormAbout)
#include "test_formabout.moc"
