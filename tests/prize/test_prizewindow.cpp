#include "fonts.h"
#include "manualclock.h"
#include "prizewindow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestPrizeWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Fonts::installSubstitutions(); }
    void showsPrize_data();
    void showsPrize();
    void gradient_data();
    void gradient();
    void confirmClosesAndSignals();
    void closeBoxDoesNotConfirm();
    void newPrizeWhileOpen();
    void prizeWaitsForGrowth();
    void designValues_data();
    void designValues();
    void confirmLooksItsColour();
    void fixedDialog();
    void minimisedComesBack();
    void plainText_data();
    void plainText();
    void canDraw_data();
    void canDraw();
    void showsWhole_data();
    void showsWhole();

private:
    static QPointer<PrizeWindow> openWith(const QString &prize)
    {
        auto *w = new PrizeWindow;
        w->setPrize(prize);
        w->open();
        w->finishOpening();
        return w;
    }
    static QLabel *label1(QWidget *w) { return w->findChild<QLabel *>(QStringLiteral("Label1")); }

    ManualClock m_clock; // the growth's steps go by it
};

void TestPrizeWindow::showsPrize_data()
{
    QTest::addColumn<QString>("prize");
    QTest::addColumn<bool>("fullSize"); // in the label's own 18 pt
    QTest::newRow("short") << QStringLiteral("電冰箱") << true;
    QTest::newRow("empty line") << QString() << true;
    QTest::newRow("twenty characters")
        << QStringLiteral("頭獎：最新款十六吋筆記型電腦一台及無線滑鼠") << false;
    QTest::newRow("latin and digits") << QStringLiteral("iPhone 15 Pro 256GB x1") << true;
}

void TestPrizeWindow::showsPrize()
{
    QFETCH(QString, prize);
    QFETCH(bool, fullSize);
    QPointer<PrizeWindow> w = openWith(prize);
    QCOMPARE(w->windowTitle(), QStringLiteral("好禮大方送--"));
    // 4800 x 3000 twips outside, 1200 from the top, and no longer resizable.
    QCOMPARE(w->frameGeometry().size(), QSize(320, 200));
    QCOMPARE(w->frameGeometry().top(), 80);
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QLabel *label = label1(w);
    QCOMPARE(label->text(), prize);
    // Nothing of the prize may fall outside the label.
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(label->contentsRect(),
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, prize);
    QVERIFY(label->contentsRect().contains(needed));
    QCOMPARE(label->font().pointSizeF() == 18.0, fullSize);
    delete w;
}

void TestPrizeWindow::gradient_data()
{
    QTest::addColumn<double>("where"); // fraction of the client height
    QTest::addColumn<QColor>("colour");
    QTest::newRow("first band") << 0.0 << QColor(0xFF, 0xFF, 0xFC);
    QTest::newRow("second band") << 1.5 / 64 << QColor(0xFF, 0xFF, 0xF8);
    QTest::newRow("middle band") << 32.5 / 64 << QColor(0xFF, 0xFF, 0x7C);
    QTest::newRow("last band") << 1.0 << QColor(0xFF, 0xFF, 0x00);
}

void TestPrizeWindow::gradient()
{
    QFETCH(double, where);
    QFETCH(QColor, colour);
    QPointer<PrizeWindow> w = openWith(QString());
    const QImage bands = w->background();
    QCOMPARE(bands.size(), w->size() * w->devicePixelRatio());
    const int y = std::min(int(where * bands.height()), bands.height() - 1);
    for (int x : {0, bands.width() - 1})
        QCOMPARE(bands.pixelColor(x, y), colour);
    delete w;
}

void TestPrizeWindow::confirmClosesAndSignals()
{
    QPointer<PrizeWindow> w = openWith(QStringLiteral("電冰箱"));
    bool hiddenWhenConfirmed = false;
    connect(w.data(), &PrizeWindow::confirmed, this,
            [&] { hiddenWhenConfirmed = !w->isVisible(); });
    auto *button = w->findChild<QPushButton *>(QStringLiteral("Command1"));
    QCOMPARE(button->text(), QStringLiteral("確 定"));
    button->click();
    QVERIFY(hiddenWhenConfirmed);
    QTRY_VERIFY(w.isNull());
}

void TestPrizeWindow::closeBoxDoesNotConfirm()
{
    QPointer<PrizeWindow> w = openWith(QStringLiteral("電冰箱"));
    QSignalSpy confirmed(w.data(), &PrizeWindow::confirmed);
    QVERIFY(w->close());
    QTRY_VERIFY(w.isNull());
    QCOMPARE(confirmed.count(), 0);
}

void TestPrizeWindow::newPrizeWhileOpen()
{
    QPointer<PrizeWindow> w = openWith(QStringLiteral("電冰箱"));
    QSignalSpy opened(w.data(), &GrowingWindow::opened);
    w->setPrize(QStringLiteral("腳踏車"));
    w->open();
    QCOMPARE(label1(w)->text(), QStringLiteral("腳踏車"));
    // Brought to the front only: no second growth.
    QVERIFY(!w->isOpening());
    m_clock.advance(3 * GrowingWindow::StepIntervalMs);
    QCOMPARE(opened.count(), 0);
    delete w;
}

void TestPrizeWindow::prizeWaitsForGrowth()
{
    auto *w = new PrizeWindow;
    w->setPrize(QStringLiteral("電冰箱"));
    w->open();
    QVERIFY(w->isOpening());
    // Mapped from its first step: Qt maps a window of no size only at a later resize, which
    // the window manager could miss under load.
    QVERIFY(!w->testAttribute(Qt::WA_OutsideWSRange));
    QCOMPARE(w->windowTitle(), QStringLiteral("Form2"));
    QVERIFY(label1(w)->text().isEmpty());
    QSignalSpy opened(w, &GrowingWindow::opened);
    m_clock.advance(Opening::Steps * GrowingWindow::StepIntervalMs);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(label1(w)->text(), QStringLiteral("電冰箱"));
    delete w;
}

void TestPrizeWindow::designValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<QColor>("text"); // invalid: the default text colour
    QTest::addColumn<QRect>("place");
    QTest::newRow("Label2 heading")
        << QStringLiteral("Label2") << QStringLiteral("您的獎品是:") << QStringLiteral("Tahoma")
        << 18.0 << QColor(0xC0, 0, 0) << QRect(16, 24, 137, 41);
    QTest::newRow("Label1 prize") << QStringLiteral("Label1") << QStringLiteral("電冰箱")
                                  << QStringLiteral("新細明體") << 18.0 << QColor()
                                  << QRect(16, 64, 273, 41);
    QTest::newRow("Command1 button") << QStringLiteral("Command1") << QStringLiteral("確 定")
                                     << QString() << 0.0 << QColor() << QRect(240, 144, 57, 25);
}

void TestPrizeWindow::designValues()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(QColor, text);
    QFETCH(QRect, place);
    QPointer<PrizeWindow> w = openWith(QStringLiteral("電冰箱"));
    auto *c = w->findChild<QWidget *>(name);
    QVERIFY(c);
    if (auto *l = qobject_cast<QLabel *>(c))
        QCOMPARE(l->text(), caption);
    else
        QCOMPARE(qobject_cast<QPushButton *>(c)->text(), caption);
    QCOMPARE(c->geometry(), place);
    if (!family.isEmpty()) {
        QCOMPARE(c->font().family(), family);
        QCOMPARE(c->font().pointSizeF(), points);
        QVERIFY(!c->font().bold());
    } else {
        QCOMPARE(c->font(), w->font()); // the window's default
    }
    const QColor expected = text.isValid() ? text : w->palette().color(QPalette::WindowText);
    QCOMPARE(c->palette().color(QPalette::WindowText), expected);
    delete w;
}

// A graphical-style button: its face is its colour exactly, not the style's shade of it.
void TestPrizeWindow::confirmLooksItsColour()
{
    QPointer<PrizeWindow> w = openWith(QString());
    auto *button = w->findChild<QPushButton *>(QStringLiteral("Command1"));
    const QImage face = button->grab().toImage();
    for (QPoint p : {QPoint(4, face.height() / 2), QPoint(face.width() - 5, face.height() - 5),
                     QPoint(face.width() - 5, 4)})
        QCOMPARE(face.pixelColor(p), QColor(0x80, 0xFF, 0x80));
    delete w;
}

void TestPrizeWindow::fixedDialog()
{
    QPointer<PrizeWindow> w = openWith(QString());
    // The type window managers read: a dialog, with a close box and no other button.
    QCOMPARE(w->windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(w->windowIcon().pixmap(16).toImage().pixelColor(0, 0).alpha() == 0);
    delete w;
}

void TestPrizeWindow::minimisedComesBack()
{
    QPointer<PrizeWindow> w = openWith(QStringLiteral("電冰箱"));
    w->showMinimized();
    QVERIFY(w->isMinimized());
    w->open();
    QVERIFY(!w->isMinimized());
    QVERIFY(w->isVisible());
    delete w;
}

void TestPrizeWindow::plainText_data()
{
    QTest::addColumn<QString>("prize");
    QTest::newRow("strike") << QStringLiteral("<S>x</S>");
    QTest::newRow("picture") << QStringLiteral("<img src=a.gif>");
    QTest::newRow("strike inside a prize") << QStringLiteral("特獎 <S>號T恤三件 </S>尺寸可換");
    QTest::newRow("style element") << QStringLiteral("<Style>時尚</Style>");
    QTest::newRow("entity") << QStringLiteral("<b>A&amp;B</b>");
}

void TestPrizeWindow::plainText()
{
    QFETCH(QString, prize);
    QVERIFY(Qt::mightBeRichText(prize));
    QPointer<PrizeWindow> w = openWith(prize);
    QLabel *label = label1(w);
    QCOMPARE(label->text(), prize);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    // A name from the guest list is as plain, and only there with a list.
    auto *guest = w->findChild<QLabel *>(QStringLiteral("Guest"));
    QVERIFY(!guest->isVisibleTo(w));
    w->setGuest(prize);
    QVERIFY(guest->isVisibleTo(w));
    QCOMPARE(guest->textFormat(), Qt::PlainText);
    delete w;
}

void TestPrizeWindow::canDraw_data()
{
    QTest::addColumn<uint>("character");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("Chinese") << uint(U'獎') << true;
    QTest::newRow("Latin") << uint(U'A') << true;
    QTest::newRow("blank") << uint(U' ') << true;
    QTest::newRow("full-width colon") << uint(U'：') << true;
    QTest::newRow("emoji") << uint(0x1F381) << false;
    QTest::newRow("rare CJK beyond the BMP") << uint(0x2B740) << false;
}

void TestPrizeWindow::canDraw()
{
    QFETCH(uint, character);
    QFETCH(bool, drawn);
    QCOMPARE(PrizeWindow::canDraw(character), drawn);
}

void TestPrizeWindow::showsWhole_data()
{
    QTest::addColumn<QString>("prize");
    QTest::addColumn<bool>("whole");
    QTest::newRow("short") << QStringLiteral("電冰箱") << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("twenty characters")
        << QStringLiteral("頭獎：最新款十六吋筆記型電腦一台及無線滑鼠") << true;
    QTest::newRow("eighty characters") << QString(80, QChar(u'獎')) << false;
    QTest::newRow("ten thousand characters") << QString(10000, QChar(u'獎')) << false;
}

void TestPrizeWindow::showsWhole()
{
    QFETCH(QString, prize);
    QFETCH(bool, whole);
    QCOMPARE(PrizeWindow::showsWhole(prize), whole);
    if (!whole)
        return;
    // What the check accepts, the window shows in full.
    QPointer<PrizeWindow> w = openWith(prize);
    QLabel *label = label1(w);
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(label->contentsRect(),
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, prize);
    QVERIFY(label->contentsRect().contains(needed));
    delete w;
}

QTEST_MAIN(TestPrizeWindow)
#include "test_prizewindow.moc"
