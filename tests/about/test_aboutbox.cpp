#include "aboutbox.h"
#include "drag.h"
#include "fifowatch.h"
#include "fonts.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <optional>

class TestAboutBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Fonts::installSubstitutions(); }
    void init();
    void cleanup() { AboutBox::setLinkOpener({}); }
    void labelClicks_data();
    void labelClicks();
    void captionsFit();
    void dragArithmetic_data();
    void dragArithmetic();
    void dragWindow_data();
    void dragWindow();
    void dragOnlyFromBackground_data();
    void dragOnlyFromBackground();
    void systemMove_data();
    void systemMove();
    void missingPicture_data();
    void missingPicture();
    void okCloses();
    void keysClose_data();
    void keysClose();

private:
    QList<QUrl> m_opened;
};

void TestAboutBox::init()
{
    m_opened.clear();
    AboutBox::setLinkOpener([this](const QUrl &url) { m_opened.append(url); });
}

void TestAboutBox::labelClicks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url"); // empty: nothing is opened
    QTest::newRow("program name") << "lbl(0)"
                                  << "Zentavo" << QString();
    QTest::newRow("e-mail caption") << "lbl(1)"
                                    << "Email：" << QString();
    QTest::newRow("e-mail link") << "lbl(2)"
                                 << "lin@example.com"
                                 << "mailto:lin@example.com";
    QTest::newRow("programmer caption") << "lbl(3)"
                                        << "程式設計：" << QString();
    QTest::newRow("web-site caption") << "lbl(4)"
                                      << "我的個人網站：" << QString();
    QTest::newRow("web-site link") << "lbl(5)"
                                   << "http://example.com"
                                   << "http://example.com/";
    QTest::newRow("author") << "Label1"
                            << "林志明" << QString();
}

void TestAboutBox::labelClicks()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, url);
    QPointer<AboutBox> w = new AboutBox;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    auto *label = w->findChild<QLabel *>(name);
    QCOMPARE(label->text(), text);
    const QPoint before = w->pos();
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(label, Qt::RightButton, {}, QPoint(3, 3));
    QCOMPARE(m_opened, url.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(url)});
    QCOMPARE(w->pos(), before);
    delete w;
}

void TestAboutBox::captionsFit()
{
    AboutBox w;
    // The links keep their drawn widths, 1845 and 1770 twips; the addresses fit them.
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lbl(2)"))->width(), 123);
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lbl(5)"))->width(), 118);
    for (const QLabel *label : w.findChildren<QLabel *>()) {
        QVERIFY2(label->fontMetrics().boundingRect(label->text()).width() <=
                     label->contentsRect().width(),
                 qPrintable(label->objectName()));
    }
}

void TestAboutBox::dragArithmetic_data()
{
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("moves");
    // Window at (3720, 1485) twips, grabbed at (1200, 600).
    QTest::newRow("left, right and down") << QPointF(1500, 900) << int(Qt::LeftButton) << true;
    QTest::newRow("left, up and left") << QPointF(15, 15) << int(Qt::LeftButton) << true;
    QTest::newRow("left, a fraction of a twip")
        << QPointF(1200.5, 600.25) << int(Qt::LeftButton) << true;
    QTest::newRow("right") << QPointF(1500, 900) << int(Qt::RightButton) << false;
    QTest::newRow("left and right")
        << QPointF(1500, 900) << int(Qt::LeftButton | Qt::RightButton) << false;
    QTest::newRow("no button") << QPointF(1500, 900) << int(Qt::NoButton) << false;
}

void TestAboutBox::dragArithmetic()
{
    QFETCH(QPointF, cursor);
    QFETCH(int, buttons);
    QFETCH(bool, moves);
    const QPointF window(3720, 1485);
    const QPointF grab(1200, 600);
    const auto to = Drag::moved(window, cursor, grab, Qt::MouseButtons::fromInt(buttons));
    QCOMPARE(to.has_value(), moves);
    // The point grabbed ends up under the cursor.
    if (moves)
        QCOMPARE(*to + grab, window + cursor);
}

void TestAboutBox::dragWindow_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left") << Qt::LeftButton << true;
    QTest::newRow("right") << Qt::RightButton << false;
}

void TestAboutBox::dragWindow()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, moves);
    QPointer<AboutBox> w = new AboutBox;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QCOMPARE(w->geometry().topLeft(), QPoint(248, 99));
    const QPoint start = w->pos();
    const QPoint grab(10, 150); // bare background, left of the OK button
    QVERIFY(!w->childAt(grab));
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent event(type, at, w->mapToGlobal(at), b, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
    };
    send(QEvent::MouseButtonPress, grab, button, button);
    send(QEvent::MouseMove, grab + QPoint(30, -20), Qt::NoButton, button);
    // Each move is relative to the window where it now is.
    send(QEvent::MouseMove, grab + QPoint(5, 5), Qt::NoButton, button);
    send(QEvent::MouseButtonRelease, grab + QPoint(5, 5), button, Qt::NoButton);
    QCOMPARE(w->pos(), start + (moves ? QPoint(35, -15) : QPoint()));
    delete w;
}

void TestAboutBox::dragOnlyFromBackground_data()
{
    QTest::addColumn<QString>("pressOn"); // empty: the bare background
    QTest::addColumn<bool>("moves");
    QTest::newRow("background") << QString() << true;
    QTest::newRow("program name") << QStringLiteral("lbl(0)") << false;
    QTest::newRow("e-mail link") << QStringLiteral("lbl(2)") << false;
    QTest::newRow("web-site link") << QStringLiteral("lbl(5)") << false;
    QTest::newRow("author") << QStringLiteral("Label1") << false;
    QTest::newRow("picture") << QStringLiteral("Gif1") << false;
    QTest::newRow("OK button") << QStringLiteral("cmdOK") << false;
}

// A shaky click on a control must neither move the box nor lose the click; moves the
// controls pass on only count after a press on the background.
void TestAboutBox::dragOnlyFromBackground()
{
    QFETCH(QString, pressOn);
    QFETCH(bool, moves);
    QPointer<AboutBox> w = new AboutBox;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    // The earlier drag leaves its grab point behind.
    const QPoint bare(10, 150);
    QVERIFY(!w->childAt(bare));
    const auto sendTo = [](QWidget *to, QEvent::Type type, QPoint at, Qt::MouseButton b,
                           Qt::MouseButtons held) {
        QMouseEvent event(type, at, to->mapToGlobal(at), b, held, Qt::NoModifier);
        QApplication::sendEvent(to, &event);
    };
    sendTo(w, QEvent::MouseButtonPress, bare, Qt::LeftButton, Qt::LeftButton);
    sendTo(w, QEvent::MouseButtonRelease, bare, Qt::LeftButton, Qt::NoButton);
    QWidget *target = pressOn.isEmpty() ? w.data() : w->findChild<QWidget *>(pressOn);
    QVERIFY(target);
    const QPoint at = pressOn.isEmpty() ? bare : QPoint(4, 4);
    const QPoint start = w->pos();
    sendTo(target, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendTo(target, QEvent::MouseMove, at + QPoint(2, 1), Qt::NoButton, Qt::LeftButton);
    sendTo(target, QEvent::MouseMove, at + QPoint(3, 2), Qt::NoButton, Qt::LeftButton);
    // Each move is relative to the window where it now is.
    QCOMPARE(w->pos(), start + (moves ? QPoint(5, 3) : QPoint()));
    sendTo(target, QEvent::MouseButtonRelease, at + QPoint(3, 2), Qt::LeftButton, Qt::NoButton);
    // After the release, a move with the button held again but no press does nothing.
    const QPoint after = w->pos();
    sendTo(w, QEvent::MouseMove, bare + QPoint(20, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w->pos(), after);
    delete w;
}

void TestAboutBox::systemMove_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("system");
    QTest::newRow("wayland") << QStringLiteral("wayland") << true;
    QTest::newRow("wayland-egl") << QStringLiteral("wayland-egl") << true;
    QTest::newRow("xcb") << QStringLiteral("xcb") << false;
    QTest::newRow("windows") << QStringLiteral("windows") << false;
    QTest::newRow("offscreen") << QStringLiteral("offscreen") << false;
}

// Wayland does not let a program place its windows: there the compositor moves the box.
void TestAboutBox::systemMove()
{
    QFETCH(QString, platform);
    QFETCH(bool, system);
    QCOMPARE(Drag::usesSystemMove(platform), system);
}

void TestAboutBox::missingPicture_data()
{
    QTest::addColumn<QString>("kind"); // what lies where Atom1.gif belongs
    QTest::newRow("nothing") << QString();
    // Read as gift.txt is: a plain read would wait for a writer for good.
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("over the cap") << QStringLiteral("huge");
}

void TestAboutBox::missingPicture()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Atom1.gif"));
    std::optional<FifoWatch> fifo;
    if (kind == QLatin1String("fifo") && !fifo.emplace(path).ok)
        QSKIP("no FIFOs on this system");
    // A real animation, grown past the cap.
    if (kind == QLatin1String("huge"))
        QVERIFY(QFile::copy(QStringLiteral(ZENTAVO_RESOURCES "/Atom1.gif"), path) &&
                QFile::resize(path, 64 * 1024 * 1024));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    QPointer<AboutBox> w = new AboutBox(dir.path());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QCoreApplication::processEvents();
    QVERIFY(!fifo || !fifo->opened);
    QVERIFY(!w->findChild<QLabel *>(QStringLiteral("Gif1"))->movie()->isValid());
    delete w;
}

void TestAboutBox::okCloses()
{
    QPointer<AboutBox> w = new AboutBox;
    w->show();
    auto *ok = w->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    ok->click();
    QTRY_VERIFY(w.isNull());
}

void TestAboutBox::keysClose_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape, as the record") << int(Qt::Key_Escape) << true;
    QTest::newRow("the remote's Next") << int(Qt::Key_PageDown) << true;
    QTest::newRow("the remote's back") << int(Qt::Key_PageUp) << false;
}

void TestAboutBox::keysClose()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    QPointer<AboutBox> w = new AboutBox;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.data()));
    QTest::keyClick(w.data(), Qt::Key(key));
    QTRY_COMPARE(w.isNull(), closes);
    delete w;
}

QTEST_MAIN(TestAboutBox)
#include "test_aboutbox.moc"
