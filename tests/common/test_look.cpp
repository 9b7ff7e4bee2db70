#include "board.h"
#include "look.h"

#include <QPoint>
#include <QSet>
#include <QTest>

namespace {
// A cell's square on the ring's grid, 18 columns by 12 rows; a side's cell by the column at its
// edge.
QPoint square(int cell)
{
    const Ring::Place at = Ring::place(cell);
    switch (at.side) {
    case Ring::Side::Top:
        return {at.along, 0};
    case Ring::Side::Right:
        return {Ring::Across - 1, 1 + at.along};
    case Ring::Side::Bottom:
        return {at.along, Ring::Down + 1};
    case Ring::Side::Left:
        break;
    }
    return {0, 1 + at.along};
}
} // namespace

class TestLook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void corners_data();
    void corners();
    void clockwiseRing();
};

void TestLook::corners_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("along");
    const auto row = [](const char *name, int cell, Ring::Side side, int along) {
        QTest::newRow(name) << cell << int(side) << along;
    };
    row("1 at the top-left corner", 0, Ring::Side::Top, 0);
    row("18 at the top-right corner", 17, Ring::Side::Top, 17);
    row("19 first down the right", 18, Ring::Side::Right, 0);
    row("28 last down the right", 27, Ring::Side::Right, 9);
    row("29 at the bottom-right corner", 28, Ring::Side::Bottom, 17);
    row("46 at the bottom-left corner", 45, Ring::Side::Bottom, 0);
    row("47 first up the left", 46, Ring::Side::Left, 9);
    row("56 last up the left", 55, Ring::Side::Left, 0);
}

void TestLook::corners()
{
    QFETCH(int, cell);
    QFETCH(int, side);
    QFETCH(int, along);
    const Ring::Place at = Ring::place(cell);
    QCOMPARE(int(at.side), side);
    QCOMPARE(at.along, along);
}

// The light runs from each cell to the next beside it, round to the first, over every cell once.
void TestLook::clockwiseRing()
{
    QCOMPARE(Ring::Cells, Board::Cells);
    QSet<QPoint> seen;
    for (int i = 0; i < Ring::Cells; ++i) {
        seen.insert(square(i));
        QVERIFY2((square((i + 1) % Ring::Cells) - square(i)).manhattanLength() == 1,
                 qPrintable(QStringLiteral("cell %1").arg(i + 1)));
    }
    QCOMPARE(seen.size(), Ring::Cells);
}

QTEST_APPLESS_MAIN(TestLook)
#include "test_look.moc"
