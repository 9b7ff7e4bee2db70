#include "random.h"

#include <QTest>

class TestRandom : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sameSeedSameSequence();
    void reseedChangesSequence();
    void valuesInUnitInterval();
    void pickStaysInRange_data();
    void pickStaysInRange();
};

void TestRandom::sameSeedSameSequence()
{
    Random a, b;
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(a.next(), b.next());
    a.reseed(43200.25);
    b.reseed(43200.25);
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(a.next(), b.next());
}

void TestRandom::reseedChangesSequence()
{
    Random a, b;
    a.reseed(100.5);
    b.reseed(100.75); // only the fraction differs
    int same = 0;
    for (int i = 0; i < 100; ++i)
        same += a.next() == b.next();
    QVERIFY(same < 5);
}

void TestRandom::valuesInUnitInterval()
{
    Random r;
    double sum = 0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const float v = r.next();
        QVERIFY(v >= 0.0f && v < 1.0f);
        sum += v;
    }
    QVERIFY(qAbs(sum / n - 0.5) < 0.005);
}

void TestRandom::pickStaysInRange_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("expected");
    const float largest = 1.0f - 1.0f / 16777216.0f;
    QTest::newRow("zero") << 0.0f << 56 << 0;
    QTest::newRow("largest float below one, n 56") << largest << 56 << 55;
    QTest::newRow("largest float below one, n 55") << largest << 55 << 54;
    QTest::newRow("largest float below one, n 25") << largest << 25 << 24;
    QTest::newRow("largest float below one, n 5") << largest << 5 << 4;
    QTest::newRow("one item") << largest << 1 << 0;
    QTest::newRow("exact boundary") << 0.5f << 56 << 28;
    QTest::newRow("just below boundary") << std::nextafter(0.5f, 0.0f) << 56 << 27;
}

void TestRandom::pickStaysInRange()
{
    QFETCH(float, r);
    QFETCH(int, n);
    QFETCH(int, expected);
    QCOMPARE(Random::pick(r, n), expected);
}

QTEST_GUILESS_MAIN(TestRandom)
#include "test_random.moc"
