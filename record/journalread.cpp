#include "journal.h"

#include "journalformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <optional>
#include <utility>

using JournalFormat::Magic;

namespace {
// Room for a line with 56 prizes of the longest the list allows (1000 characters each).
constexpr qsizetype MaxLine = 1 << 18;
constexpr qint64 MaxDrawNo = qint64(1) << 40;
// Far past any name the guest list lets through.
constexpr qsizetype MaxNameLength = 1000;

bool knownCell(ColourValue v)
{
    return v == Cell::Initial || v == Cell::Idle || v == Cell::Lit || v == Cell::Won ||
           v == Cell::Held || v == Cell::Excluded;
}

// A whole number in [low, high], or nothing.
std::optional<qint64> whole(const QJsonValue &v, qint64 low, qint64 high)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!(d >= double(low) && d <= double(high)) || d != double(qint64(d)))
        return std::nullopt;
    return qint64(d);
}

// Reads a state over `b`, which holds the previous entry's prize list.
bool readState(const QJsonObject &o, Board &b)
{
    const QJsonArray cells = o.value(QStringLiteral("cells")).toArray();
    if (cells.size() != Board::Cells)
        return false;
    for (int i = 0; i < Board::Cells; ++i) {
        const auto v = whole(cells[i], 0, 0xFFFFFFFF);
        if (!v || !knownCell(ColourValue(*v)))
            return false;
        // A spin cut short by the crash does not come back: the light is not running.
        b.cells[std::size_t(i)] = ColourValue(*v) == Cell::Lit ? Cell::Idle : ColourValue(*v);
    }
    b.markerVisible.fill(false);
    const QJsonValue markers = o.value(QStringLiteral("markers"));
    if (!markers.isArray())
        return false;
    for (const QJsonValue &m : markers.toArray()) {
        const auto i = whole(m, 0, Board::Cells - 1);
        if (!i)
            return false;
        b.markerVisible[std::size_t(*i)] = true;
    }
    auto integer = [&o](const char *key, qint64 low, qint64 high) {
        return whole(o.value(QLatin1String(key)), low, high);
    };
    auto text = [&o](const char *key, QString &out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isString())
            return false;
        out = v.toString();
        return true;
    };
    auto flag = [&o](const char *key, bool &out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isBool())
            return false;
        out = v.toBool();
        return true;
    };
    const auto drawNo = integer("drawNo", 1, MaxDrawNo);
    const auto spinLength = integer("spinLength", 0, 202);
    const auto stepCount = integer("stepCount", 0, 202);
    const auto lightPos = integer("lightPos", 0, Board::Cells - 1);
    const auto stopCell = integer("stopCell", 0, Board::Cells - 1);
    const auto giftsLeft = integer("giftsLeft", 0, Board::Cells);
    const auto chanceLeft = integer("chanceLeft", 0, Board::CardsPerStack);
    const auto fateLeft = integer("fateLeft", 0, Board::CardsPerStack);
    const auto idx = integer("idx", 0, Board::Cells);
    if (!drawNo || !spinLength || !stepCount || !lightPos || !stopCell || !giftsLeft ||
        !chanceLeft || !fateLeft || !idx)
        return false;
    // The board's own invariant: every card left has a prize left to draw.
    if (*chanceLeft + *fateLeft != *giftsLeft)
        return false;
    if (!text("counter", b.counterCaption) || !text("drawnGift", b.drawnGift) ||
        !text("giftTail", b.giftTail) || !text("text1", b.text1) ||
        !flag("awaitingPrize", b.awaitingPrize) || !flag("startEnabled", b.startEnabled))
        return false;
    b.drawNo = *drawNo;
    b.spinLength = int(*spinLength);
    b.stepCount = int(*stepCount);
    b.lightPos = int(*lightPos);
    b.stopCell = int(*stopCell);
    b.giftsLeft = int(*giftsLeft);
    b.chanceLeft = int(*chanceLeft);
    b.fateLeft = int(*fateLeft);
    b.idx = int(*idx);
    b.cardEnabled = {b.chanceLeft > 0, b.fateLeft > 0};
    // No light runs after a resume, so Start follows the prizes alone, whatever a line
    // written during a spin or by an older program says.
    b.startEnabled = b.prizesToCome();
    b.timer1Enabled = false;
    b.timer1Interval = 0;
    if (o.contains(QStringLiteral("gifts"))) {
        const QJsonArray gifts = o.value(QStringLiteral("gifts")).toArray();
        if (gifts.size() != Board::Cells)
            return false;
        for (int i = 0; i < Board::Cells; ++i) {
            if (!gifts[i].isString())
                return false;
            b.gifts[std::size_t(i)] = gifts[i].toString();
        }
    }
    return true;
}

std::optional<QJsonObject> object(QByteArrayView line)
{
    if (line.size() > MaxLine)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

QDateTime timeOf(const QJsonObject &o)
{
    return QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
}

bool readEntry(const QJsonObject &o, Journal::Entry &e)
{
    const auto change = JournalFormat::changeFromName(o.value(QStringLiteral("change")).toString());
    const auto index = whole(o.value(QStringLiteral("index")), 0, Board::Cells - 1);
    const auto round = whole(o.value(QStringLiteral("round")), 1, 2);
    const QDateTime time = timeOf(o);
    if (!change || !index || !round || !time.isValid())
        return false;
    if (*change == BoardChange::Card && *index > Board::Fate)
        return false;
    e.change = *change;
    e.index = int(*index);
    e.round = int(*round);
    e.time = time;
    // Left out of a line without a name, and of every line an older program wrote.
    for (const auto &[key, out] :
         {std::pair{"name", &e.name}, std::pair{"department", &e.department}}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            continue;
        if (!v.isString() || v.toString().size() > MaxNameLength)
            return false;
        *out = v.toString();
    }
    return readState(o.value(QStringLiteral("state")).toObject(), e.state);
}

// One draw's numbers: each 1..25, none twice.
bool readNumbers(const QJsonValue &v, QList<int> &numbers)
{
    if (!v.isArray())
        return false;
    numbers.clear();
    for (const QJsonValue &e : v.toArray()) {
        const auto n = whole(e, 1, 25);
        if (!n || numbers.contains(int(*n)))
            return false;
        numbers << int(*n);
    }
    return true;
}

bool readBingo(const QJsonObject &o, Journal::Bingo &b)
{
    const QJsonValue drawing = o.value(QStringLiteral("drawing"));
    b.time = timeOf(o);
    if (!readNumbers(o.value(QStringLiteral("bingo")), b.taken) || !drawing.isBool() ||
        !b.time.isValid())
        return false;
    b.drawing = drawing.toBool();
    // Written only once a draw has ended; a journal of the first programs has none.
    b.draws.clear();
    if (!o.contains(QStringLiteral("draws")))
        return true;
    const QJsonValue draws = o.value(QStringLiteral("draws"));
    if (!draws.isArray())
        return false;
    for (const QJsonValue &d : draws.toArray()) {
        QList<int> numbers;
        if (!readNumbers(d, numbers) || numbers.isEmpty())
            return false;
        b.draws << numbers;
    }
    return true;
}

bool readView(const QJsonObject &o, bool &fullScreen)
{
    const QString view = o.value(QStringLiteral("view")).toString();
    if (!timeOf(o).isValid() ||
        (view != QLatin1String("fullscreen") && view != QLatin1String("window")))
        return false;
    fullScreen = view == QLatin1String("fullscreen");
    return true;
}

bool readHeader(const QJsonObject &o, Journal::Contents &c)
{
    if (o.value(QStringLiteral("journal")).toString() != Magic)
        return false;
    c.version = o.value(QStringLiteral("version")).toInt();
    if (c.version == 1) {
        if (!o.value(QStringLiteral("gifts")).isString())
            return false;
        c.giftHash = o.value(QStringLiteral("gifts")).toString().toLatin1();
        return true;
    }
    if (c.version != 2)
        return false;
    const QJsonValue prizes = o.value(QStringLiteral("prizes"));
    if (!prizes.isArray() || prizes.toArray().size() > Board::Cells)
        return false;
    for (const QJsonValue &p : prizes.toArray()) {
        if (!p.isString())
            return false;
        c.prizes << p.toString();
    }
    return true;
}
} // namespace

Journal::Contents Journal::read(const QByteArray &bytes, const QStringList &giftLines)
{
    Contents c;
    qsizetype at = 0;
    bool wholeLineLost = false;
    Board state(giftLines);
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        const bool unended = end < 0;
        if (unended)
            end = bytes.size();
        const auto o = object(QByteArrayView(bytes).sliced(at, end - at));
        // Every line is written with its end in one write. A last line without it that is
        // not a whole object is the change a crash cut short: it never reached the screen.
        // One that is a whole object was written out in full (only its end is missing,
        // cut off by a crash or an editor): valid, it is kept, since it may be the change
        // the room saw last and keeping it loses nothing (resume writes the line end
        // first); unreadable, it is damage like any other line, and the whole file is
        // copied before it is cut.
        if (unended && !o)
            break;
        bool ok = o.has_value();
        if (ok && !c.headerOk) {
            ok = c.headerOk = readHeader(*o, c);
            if (ok && c.version >= 2)
                state = Board(c.prizes);
        } else if (ok && o->contains(QStringLiteral("bingo"))) {
            Bingo b;
            ok = readBingo(*o, b);
            if (ok)
                c.bingo = b;
        } else if (ok && o->contains(QStringLiteral("view"))) {
            ok = readView(*o, c.fullScreen);
        } else if (ok) {
            Entry e;
            e.state = state;
            ok = readEntry(*o, e);
            if (ok) {
                state = e.state;
                c.entries.append(e);
            }
        }
        if (!ok) {
            // A line with its end is followed by the rest; the last without it was whole.
            wholeLineLost = unended;
            break;
        }
        at = unended ? end : end + 1;
        c.wholeBytes = at;
        c.lastLineUnended = unended;
    }
    c.damaged = at < bytes.size();
    c.linesLost = wholeLineLost || bytes.indexOf('\n', at) >= 0;
    if (!c.headerOk) {
        c.version = 0;
        c.prizes.clear();
        c.giftHash.clear();
    }
    return c;
}