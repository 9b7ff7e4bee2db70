#include "journal.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Whatever a crash, a full disk or a stray editor leaves in the journal, reading it must
// not crash, and every board it hands back must be one the window can go on from.
namespace {
[[noreturn]] void broken(const char *what, const QByteArray &bytes)
{
    std::fprintf(stderr, "journal_fuzz: %s\ninput: %s\n", what, bytes.toHex(' ').constData());
    std::abort();
}

bool knownCell(ColourValue v)
{
    return v == Cell::Initial || v == Cell::Idle || v == Cell::Won || v == Cell::Held ||
           v == Cell::Excluded;
}

void checkBoard(const Board &b, const QByteArray &bytes)
{
    for (ColourValue c : b.cells)
        if (!knownCell(c))
            broken("a cell that is no state, or lit with no light running", bytes);
    if (b.giftsLeft < 0 || b.giftsLeft > Board::Cells || b.chanceLeft < 0 || b.fateLeft < 0 ||
        b.chanceLeft + b.fateLeft != b.giftsLeft)
        broken("stacks and prize list disagree", bytes);
    if (b.cardEnabled[0] != (b.chanceLeft > 0) || b.cardEnabled[1] != (b.fateLeft > 0))
        broken("a card button enabled for an empty stack", bytes);
    if (b.stopCell < 0 || b.stopCell >= Board::Cells || b.lightPos < 0 ||
        b.lightPos >= Board::Cells || b.drawNo < 1 || b.timer1Enabled)
        broken("board out of range", bytes);
}

void check(const QByteArray &bytes)
{
    const QStringList gifts{QStringLiteral("獎品一"), QStringLiteral("紀念獎")};
    const Journal::Contents c = Journal::read(bytes, gifts);
    if (c.wholeBytes < 0 || c.wholeBytes > bytes.size())
        broken("whole part outside the input", bytes);
    if (!c.headerOk && (!c.entries.isEmpty() || !c.bingo.taken.isEmpty()))
        broken("entries without a header", bytes);
    if (!c.damaged && c.wholeBytes != bytes.size())
        broken("bytes left over but not damaged", bytes);
    if (c.linesLost && !c.damaged)
        broken("lines lost but not damaged", bytes);
    if (c.lastLineUnended && (c.wholeBytes != bytes.size() || bytes.endsWith('\n')))
        broken("a line kept without its end that is not the last", bytes);
    if (c.prizes.size() > Board::Cells)
        broken("more prizes than cells", bytes);
    for (const Journal::Entry &e : c.entries) {
        checkBoard(e.state, bytes);
        if (e.round != 1 && e.round != 2)
            broken("round out of range", bytes);
    }
    QList<QList<int>> draws = c.bingo.draws;
    draws << c.bingo.taken;
    for (const QList<int> &draw : draws) {
        QList<int> seen;
        for (int n : draw) {
            if (n < 1 || n > 25 || seen.contains(n))
                broken("a bingo number out of range or taken twice", bytes);
            seen << n;
        }
    }
    // Asked of every journal that comes back.
    c.prizeOpen();
    const int differ = Journal::differingPrizes(c.nightPrizes(), gifts);
    if (differ < 0 || differ > Board::Cells)
        broken("more prizes differ than there are", bytes);
    // The kept part reads back the same on its own: resume cuts the file there.
    const Journal::Contents kept = Journal::read(bytes.left(c.wholeBytes), gifts);
    if (kept.damaged || kept.entries.size() != c.entries.size() || kept.bingo != c.bingo)
        broken("the whole part does not read back whole", bytes);
    // As resume leaves it: the last line given its end, the next line after it.
    if (c.headerOk) {
        QByteArray resumed = bytes.left(c.wholeBytes);
        if (c.lastLineUnended)
            resumed += '\n';
        resumed += Journal::viewLine(!c.fullScreen, QDateTime(QDate(2024, 1, 19), QTime(20, 0)));
        const Journal::Contents on = Journal::read(resumed, gifts);
        if (on.damaged || on.entries.size() != c.entries.size() || on.bingo != c.bingo ||
            on.fullScreen == c.fullScreen)
            broken("the journal does not go on after its whole part", bytes);
    }
    // What is read is written back line for line.
    if (!c.entries.isEmpty()) {
        const Journal::Entry &last = c.entries.last();
        QByteArray written = Journal::headerLine(c.prizes, last.time) + Journal::entryLine(last) +
                             Journal::viewLine(c.fullScreen, last.time);
        if (c.bingo.time.isValid())
            written += Journal::bingoLine(c.bingo);
        const Journal::Contents again = Journal::read(written, gifts);
        if (again.damaged || again.entries.size() != 1 ||
            again.entries[0].state.cells != last.state.cells ||
            again.entries[0].state.drawNo != last.state.drawNo ||
            again.entries[0].name != last.name || again.entries[0].department != last.department ||
            again.bingo != c.bingo || again.fullScreen != c.fullScreen)
            broken("an entry read does not survive being written again", bytes);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
