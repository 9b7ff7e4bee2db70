#include "bingowindow.h"
#include "night.h"
#include "prompt.h"
#include "random.h"
#include "twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {
QStringList g_warnings;

void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
}

template <typename T> T *child(QWidget *w, const QString &name)
{
    T *c = w->findChild<T *>(name);
    if (!c)
        qFatal("no child %s", qPrintable(name));
    return c;
}

QPushButton *button(QWidget *w, const char *name)
{
    return child<QPushButton>(w, QLatin1String(name));
}

QAction *action(QWidget *w, const char *name)
{
    return child<QAction>(w, QLatin1String(name));
}

QString text1(QWidget *w)
{
    return child<QLineEdit>(w, QStringLiteral("Text1"))->text();
}

QString box(QWidget *w, int i)
{
    return child<QLabel>(w, QStringLiteral("Label1(%1)").arg(i))->text();
}
} // namespace

class TestBingoWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void opensInDesignState();
    void controls_data();
    void controls();
    void tabOrder();
    void resizeKeepsControls();
    void startDisablesButtonsUntilLastTake();
    void clearMidDrawStartsOver();
    void takeOnTheEventLoopTakesTheShownNumber();
    void closing_data();
    void closing();
    void closingAsksOnceTaken_data();
    void closingAsksOnceTaken();
    void newDrawAsksOverNumbersTaken_data();
    void newDrawAsksOverNumbersTaken();
    void takeLooksItsColour();

private:
    BingoWindow *open();

    Random m_random;
    Night m_night{{}, m_random};
    QPointer<BingoWindow> m_window;
    QStringList m_questions;
    bool m_answer = true;
};

void TestBingoWindow::initTestCase()
{
    qInstallMessageHandler(recordWarnings);
}

void TestBingoWindow::init()
{
    g_warnings.clear();
    m_questions.clear();
    m_answer = true;
    Prompt::setConfirmHandler([this](QWidget *, const QString &text) {
        m_questions << text;
        return m_answer;
    });
}

void TestBingoWindow::cleanup()
{
    m_answer = true;
    if (m_window)
        m_window->close();
    QTRY_VERIFY(m_window.isNull());
    Prompt::setConfirmHandler({});
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u'\n')));
}

BingoWindow *TestBingoWindow::open()
{
    m_window = new BingoWindow(m_night);
    m_window->show();
    return m_window;
}

void TestBingoWindow::opensInDesignState()
{
    BingoWindow *w = open();
    QCOMPARE(w->objectName(), QStringLiteral("大樂透"));
    QCOMPARE(w->windowTitle(), QStringLiteral("賓果遊戲"));
    QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(w->windowFlags() & Qt::WindowMinMaxButtonsHint);
    QCOMPARE(text1(w), QStringLiteral("0"));
    for (int i = 0; i < 25; ++i)
        QCOMPARE(box(w, i), QString());
    QVERIFY(button(w, "Command1(0)")->isEnabled());
    QVERIFY(button(w, "Command1(1)")->isEnabled());
    QCOMPARE(w->focusWidget(), child<QWidget>(w, QStringLiteral("Text1")));

    // The area under the menu bar, where the controls are placed.
    const QWidget *client = child<QWidget>(w, QStringLiteral("Text1"))->parentWidget();
    QCOMPARE(client->size(), Twips::rect(0, 0, 6915, 5715).size());
    QCOMPARE(client->mapToGlobal(QPoint(0, 0)), QPoint(170, 162));
    QCOMPARE(action(w, "clear")->text(), QStringLiteral("清除"));
    QCOMPARE(action(w, "ending")->text(), QStringLiteral("結束"));
    QCOMPARE(child<QMenu>(w, QStringLiteral("Func"))->title(), QStringLiteral("功能"));
}

void TestBingoWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("visible");

    const int boxLefts[] = {120, 960, 1800, 2640, 3480, 4320, 5160, 6000};
    const int boxTops[] = {360, 1560, 2760};
    for (int i = 0; i < 24; ++i) {
        const QString name = QStringLiteral("Label1(%1)").arg(i);
        QTest::newRow(qPrintable(name))
            << name << QRect(boxLefts[i % 8], boxTops[i / 8], 735, 735) << QString() << true;
    }
    QTest::newRow("Label1(24)") << QStringLiteral("Label1(24)") << QRect(2280, 4920, 735, 735)
                                << QString() << false;

    struct Tag
    {
        int index, left, top, caption;
    };
    // By array index, which is not the order on screen.
    const Tag tags[] = {
        {0, 480, 50, 1},      {1, 1320, 50, 2},     {2, 2880, 50, 4},     {3, 2040, 50, 3},
        {4, 4560, 50, 6},     {5, 3720, 50, 5},     {6, 6240, 50, 8},     {7, 5400, 50, 7},
        {8, 5400, 1250, 15},  {9, 6240, 1250, 16},  {10, 3720, 1250, 13}, {11, 4560, 1250, 14},
        {12, 2040, 1250, 11}, {13, 2880, 1250, 12}, {14, 1200, 1250, 10}, {15, 360, 1250, 9},
        {16, 360, 2520, 17},  {17, 1200, 2520, 18}, {18, 2880, 2520, 20}, {19, 2040, 2520, 19},
        {20, 4560, 2520, 22}, {21, 3720, 2520, 21}, {22, 6240, 2520, 24}, {23, 5400, 2520, 23},
    };
    for (const Tag &t : tags) {
        const QString name = QStringLiteral("Label2(%1)").arg(t.index);
        QTest::newRow(qPrintable(name))
            << name << QRect(t.left, t.top, 255, 255) << QString::number(t.caption) << true;
    }

    QTest::newRow("Text1") << QStringLiteral("Text1") << QRect(120, 3600, 2055, 1935)
                           << QStringLiteral("0") << true;
    QTest::newRow("Start") << QStringLiteral("Command1(0)") << QRect(5280, 3960, 1215, 615)
                           << QStringLiteral("開  始") << true;
    QTest::newRow("End") << QStringLiteral("Command1(1)") << QRect(5280, 4800, 1215, 615)
                         << QStringLiteral("結  束") << true;
    QTest::newRow("Command2") << QStringLiteral("Command2") << QRect(2880, 3960, 1695, 1455)
                              << QStringLiteral("取得號碼") << true;
}

void TestBingoWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(bool, visible);
    BingoWindow *w = open();
    QWidget *c = child<QWidget>(w, name);
    QCOMPARE(c->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(c->isVisible(), visible);
    QCOMPARE(c->property("text").toString(), text);
}

void TestBingoWindow::tabOrder()
{
    BingoWindow *w = open();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    const QStringList expected = {QStringLiteral("Text1"), QStringLiteral("Command1(0)"),
                                  QStringLiteral("Command1(1)"), QStringLiteral("Command2"),
                                  QStringLiteral("Text1")};
    for (const QString &name : expected) {
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void TestBingoWindow::resizeKeepsControls()
{
    BingoWindow *w = open();
    QList<QWidget *> controls = w->findChildren<QWidget *>(
        QRegularExpression(QStringLiteral("^(Label1|Label2|Text1|Command1|Command2)")));
    QCOMPARE(controls.size(), 25 + 24 + 1 + 2 + 1);
    QList<QRect> before;
    for (QWidget *c : controls)
        before << c->geometry();
    for (const QSize &s : {QSize(900, 700), QSize(200, 120)}) {
        w->resize(s);
        QTRY_COMPARE(w->size(), s);
        for (qsizetype i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->geometry(), before[i]);
    }
}

void TestBingoWindow::startDisablesButtonsUntilLastTake()
{
    BingoWindow *w = open();
    QPushButton *start = button(w, "Command1(0)");
    QPushButton *end = button(w, "Command1(1)");
    start->click();
    QVERIFY(w->isDrawing());
    QStringList taken;
    for (int n = 1; n <= 25; ++n) {
        QVERIFY(!start->isEnabled());
        QVERIFY(!end->isEnabled());
        m_night.bingoStep(); // a pass without a take only rolls the display
        QCOMPARE(w->rules().numbersLeft, qint16(26 - n));
        taken << text1(w);
        button(w, "Command2")->click();
        m_night.bingoStep();
        QCOMPARE(box(w, n - 1), taken.last());
    }
    QVERIFY(!w->isDrawing());
    QVERIFY(start->isEnabled());
    QVERIFY(end->isEnabled());
    QCOMPARE(text1(w), taken.last());
    QVERIFY(!child<QWidget>(w, QStringLiteral("Label1(24)"))->isVisible());
}

void TestBingoWindow::clearMidDrawStartsOver()
{
    BingoWindow *w = open();
    button(w, "Command1(0)")->click();
    for (int i = 0; i < 3; ++i) {
        button(w, "Command2")->click();
        m_night.bingoStep();
    }
    QCOMPARE(w->rules().numbersLeft, qint16(22));
    button(w, "Command2")->click();
    action(w, "clear")->trigger();
    for (int i = 0; i < 25; ++i)
        QCOMPARE(box(w, i), QString());
    m_night.bingoStep();
    QVERIFY(w->isDrawing());
    QCOMPARE(w->rules().numbersLeft, qint16(25));
    QVERIFY(!button(w, "Command1(0)")->isEnabled());
}

void TestBingoWindow::takeOnTheEventLoopTakesTheShownNumber()
{
    BingoWindow *w = open();
    button(w, "Command1(0)")->click();
    QCoreApplication::processEvents();
    const QString shown = text1(w);
    QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
    // The next tick serves the take before it picks again.
    QTRY_COMPARE(w->rules().numbersLeft, qint16(24));
    QCOMPARE(box(w, 0), shown);
}

void TestBingoWindow::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("midDraw");
    QTest::addColumn<bool>("closes");
    QTest::newRow("close box while idle") << QStringLiteral("close box") << false << true;
    QTest::newRow("close box mid-draw") << QStringLiteral("close box") << true << true;
    QTest::newRow("ending while idle") << QStringLiteral("ending") << false << true;
    QTest::newRow("ending mid-draw") << QStringLiteral("ending") << true << true;
    QTest::newRow("End while idle") << QStringLiteral("End") << false << true;
    QTest::newRow("End mid-draw is disabled") << QStringLiteral("End") << true << false;
}

void TestBingoWindow::closing()
{
    QFETCH(QString, how);
    QFETCH(bool, midDraw);
    QFETCH(bool, closes);
    BingoWindow *w = open();
    QPushButton *start = button(w, "Command1(0)");
    if (midDraw) {
        start->click();
        m_night.bingoStep();
        QVERIFY(w->isDrawing());
    }
    if (how == QLatin1String("close box"))
        w->close();
    else if (how == QLatin1String("ending"))
        action(w, "ending")->trigger();
    else
        QTest::mouseClick(button(w, "Command1(1)"), Qt::LeftButton);

    if (!closes) {
        QCoreApplication::processEvents();
        QVERIFY(!m_window.isNull());
        QVERIFY(w->isDrawing());
        return;
    }
    QVERIFY(!w->isDrawing());
    QCOMPARE(w->rules().numbersLeft, qint16(0));
    m_night.bingoStep(); // a tick that was already queued
    QCOMPARE(start->isEnabled(), !midDraw);
    QTRY_VERIFY(m_window.isNull());

    // Opening it again gives a fresh window that draws at once.
    w = open();
    QCOMPARE(text1(w), QStringLiteral("0"));
    button(w, "Command1(0)")->click();
    QVERIFY(w->isDrawing());
    QVERIFY(m_night.bingoTimer().isActive());
}

void TestBingoWindow::closingAsksOnceTaken_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("takes");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("close box, nothing taken") << QStringLiteral("close box") << 0 << false << true;
    QTest::newRow("close box, one taken, yes") << QStringLiteral("close box") << 1 << true << true;
    QTest::newRow("close box, one taken, no") << QStringLiteral("close box") << 1 << false << false;
    QTest::newRow("ending, nothing taken") << QStringLiteral("ending") << 0 << false << true;
    QTest::newRow("ending, two taken, yes") << QStringLiteral("ending") << 2 << true << true;
    QTest::newRow("ending, two taken, no") << QStringLiteral("ending") << 2 << false << false;
    QTest::newRow("End after all 25, yes") << QStringLiteral("End") << 25 << true << true;
    QTest::newRow("End after all 25, no") << QStringLiteral("End") << 25 << false << false;
}

// The numbers called so far are what the players check their cards against.
void TestBingoWindow::closingAsksOnceTaken()
{
    QFETCH(QString, how);
    QFETCH(int, takes);
    QFETCH(bool, answer);
    QFETCH(bool, closes);
    BingoWindow *w = open();
    if (takes > 0) {
        button(w, "Command1(0)")->click();
        for (int n = 0; n < takes; ++n) {
            w->take();
            m_night.bingoStep();
        }
        QCOMPARE(box(w, 0).isEmpty(), false);
    }
    const bool drawing = w->isDrawing();
    m_answer = answer;
    if (how == QLatin1String("close box"))
        w->close();
    else if (how == QLatin1String("ending"))
        action(w, "ending")->trigger();
    else
        QTest::mouseClick(button(w, "Command1(1)"), Qt::LeftButton);
    QCOMPARE(m_questions.size(), takes > 0 ? 1 : 0);
    if (takes > 0)
        QCOMPARE(m_questions.first(),
                 QStringLiteral("已取得的號碼將不會保留。\n確定要結束賓果遊戲嗎?"));
    if (closes) {
        QTRY_VERIFY(m_window.isNull());
        return;
    }
    QCoreApplication::processEvents();
    QVERIFY(!m_window.isNull());
    QVERIFY(w->isVisible());
    // No: the draw goes on as it was, and the taken numbers stay.
    QCOMPARE(w->isDrawing(), drawing);
    QVERIFY(!box(w, 0).isEmpty());
}

void TestBingoWindow::newDrawAsksOverNumbersTaken_data()
{
    QTest::addColumn<int>("takes");
    QTest::addColumn<bool>("brought");
    QTest::addColumn<bool>("answer");
    QTest::newRow("nothing taken") << 0 << false << false;
    QTest::newRow("all 25, yes") << 25 << false << true;
    QTest::newRow("all 25, no") << 25 << false << false;
    // A draw brought back with a resumed night, its loop not running.
    QTest::newRow("three of an unfinished draw, yes") << 3 << true << true;
    QTest::newRow("three of an unfinished draw, no") << 3 << true << false;
}

// One more 開  始 after the numbers taken would wipe what the players check their cards
// against: it asks first, and 否 leaves the draw as it was.
void TestBingoWindow::newDrawAsksOverNumbersTaken()
{
    QFETCH(int, takes);
    QFETCH(bool, brought);
    QFETCH(bool, answer);
    BingoWindow *w = open();
    QList<int> taken;
    if (brought) {
        taken = {7, 1, 25};
        w->restore(taken, false);
    } else if (takes > 0) {
        button(w, "Command1(0)")->click();
        for (int n = 0; n < takes; ++n) {
            w->take();
            m_night.bingoStep();
        }
        taken = w->rules().taken();
    }
    QCOMPARE(taken.size(), takes);
    QVERIFY(!w->isDrawing());
    QVERIFY(button(w, "Command1(0)")->isEnabled());
    m_answer = answer;
    QTest::mouseClick(button(w, "Command1(0)"), Qt::LeftButton);
    QCOMPARE(m_questions,
             takes > 0
                 ? QStringList{QStringLiteral("已取得的號碼將會清除。\n確定要開始新的賓果遊戲嗎?")}
                 : QStringList());
    const bool starts = takes == 0 || answer;
    QCOMPARE(w->isDrawing(), starts);
    QCOMPARE(w->rules().taken(), starts ? QList<int>() : taken);
    for (int i = 0; i < takes; ++i)
        QCOMPARE(box(w, i), starts ? QString() : QString::number(taken[i]));
    QCOMPARE(button(w, "Command1(0)")->isEnabled(), !starts);
}

// The take button is graphical: its face is its own colour, not the style's shade of it.
void TestBingoWindow::takeLooksItsColour()
{
    BingoWindow *w = open();
    QPushButton *take = button(w, "Command2");
    const QImage face = take->grab().toImage();
    QCOMPARE(face.pixelColor(8, face.height() / 2), QColor(0xFF, 0x80, 0x80));
    QCOMPARE(face.pixelColor(face.width() - 8, face.height() - 8), QColor(0xFF, 0x80, 0x80));
}

QTEST_MAIN(TestBingoWindow)
#include "test_bingowindow.moc"
