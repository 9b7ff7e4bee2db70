#include "bingodraw.h"
#include "random.h"

#include <QStringList>
#include <QTest>

#include <algorithm>

namespace {
const float LargestBelowOne = 1.0f - 1.0f / 16777216.0f;

// Plays a given list of values over and over.
class ScriptedRandom : public Random
{
public:
    explicit ScriptedRandom(QList<float> values) : m_values(std::move(values)) {}
    float next() override { return m_values[m_next++ % m_values.size()]; }

private:
    QList<float> m_values;
    qsizetype m_next = 0;
};

QString pool(const BingoDraw &d)
{
    QStringList s;
    for (qint16 n : d.numberPool)
        s << QString::number(n);
    return s.join(u' ');
}

QString boxes(const BingoDraw &d)
{
    return QStringList(d.boxCaptions.begin(), d.boxCaptions.end()).join(u' ');
}

QString ascending(int from, int to)
{
    QStringList s;
    for (int n = from; n <= to; ++n)
        s << QString::number(n);
    return s.join(u' ');
}

// Starts a draw and runs it with a take on every pass; returns the numbers in the
// order they were on display when taken.
QStringList drawWithTakes(BingoDraw &d, Random &random)
{
    QStringList taken;
    d.begin();
    d.pick(random);
    do {
        taken << d.displayText;
        d.requestTake();
    } while (d.advance(random));
    return taken;
}
} // namespace

class TestBingoDraw : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void takeOnEveryPassFillsBoxesInOrder_data();
    void takeOnEveryPassFillsBoxesInOrder();
    void oneTakeShiftsThePool_data();
    void oneTakeShiftsThePool();
    void lastNumberStandsStill();
    void twoTakesInOnePassRemoveOne();
    void takeWhileIdleIsForgottenByStart();
    void clearWhileIdle();
    void takeAroundClearMidDrawIsDropped_data();
    void takeAroundClearMidDrawIsDropped();
    void freshGeneratorsDrawAlike();
};

void TestBingoDraw::takeOnEveryPassFillsBoxesInOrder_data()
{
    QTest::addColumn<QList<float>>("script");
    QTest::addColumn<QString>("expectedBoxes"); // empty: only "each number once" is known
    QTest::newRow("always first slot") << QList<float>{0.0f} << ascending(1, 25);
    // Picks stay below numbersLeft even for the largest value under 1.
    QTest::newRow("always last slot") << QList<float>{LargestBelowOne}
                                      << QStringLiteral("25 24 23 22 21 20 19 18 17 16 15 14 13 "
                                                        "12 11 10 9 8 7 6 5 4 3 2 1");
    QTest::newRow("middle") << QList<float>{0.5f}
                            << QStringLiteral("13 14 12 15 11 16 10 17 9 18 8 19 7 20 6 21 5 22 4 "
                                              "23 3 24 2 25 1");
    QTest::newRow("mixed") << QList<float>{0.9f, 0.1f, 0.37f, 0.73f, 0.0f} << QString();
}

void TestBingoDraw::takeOnEveryPassFillsBoxesInOrder()
{
    QFETCH(QList<float>, script);
    QFETCH(QString, expectedBoxes);
    ScriptedRandom random(script);
    BingoDraw d;
    const QStringList taken = drawWithTakes(d, random);

    QCOMPARE(taken.size(), 25);
    QCOMPARE(boxes(d), taken.join(u' ')); // the n-th take lands in box n-1
    QList<int> numbers;
    for (const QString &s : taken)
        numbers << s.toInt();
    std::sort(numbers.begin(), numbers.end());
    for (int n = 1; n <= 25; ++n)
        QCOMPARE(numbers[n - 1], n);
    if (!expectedBoxes.isEmpty())
        QCOMPARE(boxes(d), expectedBoxes);
    QVERIFY(!d.isDrawing());
    QCOMPARE(d.numbersLeft, qint16(0));
    QCOMPARE(d.displayText, taken.last()); // the last number stays on display
}

void TestBingoDraw::oneTakeShiftsThePool_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("poolAfter");
    QTest::newRow("first slot") << 0.0f << QStringLiteral("1")
                                << ascending(2, 25) + QStringLiteral(" 25");
    QTest::newRow("middle slot") << 0.5f << QStringLiteral("13")
                                 << ascending(1, 12) + u' ' + ascending(14, 25) +
                                        QStringLiteral(" 25");
    // Nothing moves: the stale slot keeps its value.
    QTest::newRow("last live slot") << LargestBelowOne << QStringLiteral("25") << ascending(1, 25);
}

void TestBingoDraw::oneTakeShiftsThePool()
{
    QFETCH(float, r);
    QFETCH(QString, shown);
    QFETCH(QString, poolAfter);
    ScriptedRandom random({r});
    BingoDraw d;
    d.begin();
    d.pick(random);
    QCOMPARE(d.displayText, shown);
    d.requestTake();
    QVERIFY(d.serveTake());
    QCOMPARE(pool(d), poolAfter);
    QCOMPARE(d.boxCaptions[0], shown);
    QCOMPARE(d.numbersLeft, qint16(24));
    QCOMPARE(d.takeRequested, qint16(0));
}

void TestBingoDraw::lastNumberStandsStill()
{
    ScriptedRandom random({0.3f, LargestBelowOne, 0.0f, 0.61f});
    BingoDraw d;
    d.begin();
    d.pick(random);
    while (d.numbersLeft > 1) {
        d.requestTake();
        QVERIFY(d.advance(random));
    }
    const QString last = d.displayText;
    for (int i = 0; i < 8; ++i) {
        QVERIFY(d.advance(random));
        QCOMPARE(d.pickIndex, qint16(0));
        QCOMPARE(d.displayText, last);
    }
    d.requestTake();
    QVERIFY(!d.advance(random));
    QCOMPARE(d.boxCaptions[24], last);
}

void TestBingoDraw::twoTakesInOnePassRemoveOne()
{
    ScriptedRandom random({0.2f});
    BingoDraw d;
    d.begin();
    d.pick(random);
    d.requestTake();
    d.requestTake();
    QVERIFY(d.advance(random));
    QCOMPARE(d.numbersLeft, qint16(24));
    QCOMPARE(d.boxCaptions[0], QStringLiteral("6"));
    QCOMPARE(d.boxCaptions[1], QString());
}

void TestBingoDraw::takeWhileIdleIsForgottenByStart()
{
    ScriptedRandom random({0.2f});
    BingoDraw d;
    d.requestTake();
    QVERIFY(!d.serveTake());
    d.requestTake();
    d.begin();
    d.pick(random);
    QVERIFY(d.advance(random));
    QCOMPARE(d.numbersLeft, qint16(25));
    QCOMPARE(boxes(d).trimmed(), QString());
}

void TestBingoDraw::clearWhileIdle()
{
    ScriptedRandom random({0.7f, 0.2f});
    BingoDraw d;
    QCOMPARE(pool(d), QStringLiteral("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"));
    drawWithTakes(d, random);
    const QString shown = d.displayText;
    d.reset();
    QCOMPARE(pool(d), ascending(1, 25));
    QCOMPARE(boxes(d).trimmed(), QString());
    QCOMPARE(d.numbersLeft, qint16(25));
    QCOMPARE(d.pickIndex, qint16(26));
    QCOMPARE(d.displayText, shown);
    QVERIFY(!d.isDrawing());
}

void TestBingoDraw::takeAroundClearMidDrawIsDropped_data()
{
    QTest::addColumn<bool>("takeBeforeClear");
    QTest::addColumn<bool>("takeAfterClear");
    QTest::newRow("before") << true << false;
    QTest::newRow("after") << false << true;
    QTest::newRow("both") << true << true;
}

void TestBingoDraw::takeAroundClearMidDrawIsDropped()
{
    QFETCH(bool, takeBeforeClear);
    QFETCH(bool, takeAfterClear);
    ScriptedRandom random({0.0f});
    BingoDraw d;
    d.begin();
    d.pick(random);
    d.requestTake();
    QVERIFY(d.advance(random)); // "1" taken
    if (takeBeforeClear)
        d.requestTake();
    d.reset();
    if (takeAfterClear)
        d.requestTake();
    QVERIFY(d.advance(random));
    QCOMPARE(d.numbersLeft, qint16(25));
    QCOMPARE(d.takeRequested, qint16(0));
    QCOMPARE(boxes(d).trimmed(), QString());
    QVERIFY(d.isDrawing());
    // The draw goes on from all 25.
    d.requestTake();
    QVERIFY(d.advance(random));
    QCOMPARE(d.boxCaptions[0], QStringLiteral("1"));
}

void TestBingoDraw::freshGeneratorsDrawAlike()
{
    Random a, b, reseeded;
    reseeded.reseed(36000.5);
    BingoDraw da, db, dr;
    const QStringList first = drawWithTakes(da, a);
    QCOMPARE(drawWithTakes(db, b), first);
    QVERIFY(drawWithTakes(dr, reseeded) != first);
}

QTEST_GUILESS_MAIN(TestBingoDraw)
#include "test_bingodraw.moc"
