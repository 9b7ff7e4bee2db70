#include "guestlist.h"
#include "workbookreader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Whatever a names file holds, reading it must not crash, must stay within its caps, and
// may name only numbers on the board.
namespace {
[[noreturn]] void broken(const char *what)
{
    std::fprintf(stderr, "workbook_fuzz: %s\n", what);
    std::abort();
}

void check(const QByteArray &bytes)
{
    const Workbook::Limits limits{50, 4};
    const Workbook::Sheet sheet = Workbook::read(bytes, limits);
    if (sheet.ok() != sheet.reason.isEmpty())
        broken("a reason without a failure, or a failure without one");
    if (sheet.rows.size() > limits.rows || (!sheet.ok() && !sheet.rows.isEmpty()))
        broken("rows past the cap, or beside a failure");
    for (const SheetRow &r : sheet.rows)
        if (r.number < 1 || r.number > 1048576 || r.cells.size() > limits.columns)
            broken("a row outside the sheet");
    const GuestList::Result guests = GuestList::parse(bytes, QStringLiteral("names.csv"));
    for (auto it = guests.guests.cbegin(); it != guests.guests.cend(); ++it)
        if (it.key() < 1 || it.key() > GuestList::MaxNumber || it->name.isEmpty())
            broken("a number named that the board does not have");
    if (!guests.ok() && (!guests.guests.isEmpty() || !guests.problems.isEmpty()))
        broken("names from a refused file");
    for (const GuestList::Problem &p : guests.problems)
        if (p.row < 1 || p.message.isEmpty())
            broken("a problem without its row");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
