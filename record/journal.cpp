#include "journal.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <optional>

namespace {
const QString Magic = QStringLiteral("zentavo-night");
constexpr qsizetype MaxLine = 1 << 16;
constexpr qint64 MaxDrawNo = qint64(1) << 40;

constexpr BoardChange Changes[] = {
    BoardChange::Stop,        BoardChange::EmptyStop,  BoardChange::Card,   BoardChange::Discard,
    BoardChange::SecondRound, BoardChange::Correction, BoardChange::Closing};
const char *const ChangeNames[] = {"stop",  "emptystop",  "card",   "discard",
                                   "round", "correction", "closing"};

QString changeName(BoardChange c)
{
    for (std::size_t i = 0; i < std::size(Changes); ++i)
        if (Changes[i] == c)
            return QLatin1String(ChangeNames[i]);
    return {};
}

std::optional<BoardChange> changeFromName(const QString &name)
{
    for (std::size_t i = 0; i < std::size(Changes); ++i)
        if (name == QLatin1String(ChangeNames[i]))
            return Changes[i];
    return std::nullopt;
}

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

QJsonObject stateObject(const Board &b, bool withGifts)
{
    QJsonObject o;
    QJsonArray cells;
    QJsonArray markers;
    for (int i = 0; i < Board::Cells; ++i) {
        cells.append(double(b.cells[std::size_t(i)]));
        if (b.markerVisible[std::size_t(i)])
            markers.append(i);
    }
    o[QStringLiteral("cells")] = cells;
    o[QStringLiteral("markers")] = markers;
    o[QStringLiteral("counter")] = b.counterCaption;
    o[QStringLiteral("drawNo")] = double(b.drawNo);
    o[QStringLiteral("awaitingPrize")] = b.awaitingPrize;
    o[QStringLiteral("spinLength")] = b.spinLength;
    o[QStringLiteral("stepCount")] = b.stepCount;
    o[QStringLiteral("lightPos")] = b.lightPos;
    o[QStringLiteral("stopCell")] = b.stopCell;
    o[QStringLiteral("giftsLeft")] = b.giftsLeft;
    o[QStringLiteral("chanceLeft")] = b.chanceLeft;
    o[QStringLiteral("fateLeft")] = b.fateLeft;
    o[QStringLiteral("drawnGift")] = b.drawnGift;
    o[QStringLiteral("giftTail")] = b.giftTail;
    o[QStringLiteral("idx")] = b.idx;
    o[QStringLiteral("text1")] = b.text1;
    o[QStringLiteral("startEnabled")] = b.startEnabled;
    if (withGifts) {
        QJsonArray gifts;
        for (const QString &g : b.gifts)
            gifts.append(g);
        o[QStringLiteral("gifts")] = gifts;
    }
    return o;
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

bool readEntry(const QJsonObject &o, Journal::Entry &e)
{
    const auto change = changeFromName(o.value(QStringLiteral("change")).toString());
    const auto index = whole(o.value(QStringLiteral("index")), 0, Board::Cells - 1);
    const auto round = whole(o.value(QStringLiteral("round")), 1, 2);
    const QDateTime time =
        QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    if (!change || !index || !round || !time.isValid())
        return false;
    if (*change == BoardChange::Card && *index > Board::Fate)
        return false;
    e.change = *change;
    e.index = int(*index);
    e.round = int(*round);
    e.time = time;
    return readState(o.value(QStringLiteral("state")).toObject(), e.state);
}
} // namespace

QByteArray Journal::giftHash(const QByteArray &giftBytes)
{
    return QCryptographicHash::hash(giftBytes, QCryptographicHash::Sha256).toHex();
}

QByteArray Journal::headerLine(const QByteArray &hash, const QDateTime &began)
{
    QJsonObject o;
    o[QStringLiteral("journal")] = Magic;
    o[QStringLiteral("version")] = Version;
    o[QStringLiteral("gifts")] = QString::fromLatin1(hash);
    o[QStringLiteral("began")] = began.toString(Qt::ISODateWithMs);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray Journal::entryLine(const Entry &e)
{
    QJsonObject o;
    o[QStringLiteral("change")] = changeName(e.change);
    o[QStringLiteral("index")] = e.index;
    o[QStringLiteral("time")] = e.time.toString(Qt::ISODateWithMs);
    o[QStringLiteral("round")] = e.round;
    o[QStringLiteral("state")] = stateObject(e.state, e.change == BoardChange::Card);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

bool Journal::Contents::reachedClosing() const
{
    return std::any_of(entries.begin(), entries.end(),
                       [](const Entry &e) { return e.change == BoardChange::Closing; });
}

qint64 Journal::Contents::stops() const
{
    return entries.isEmpty() ? 0 : entries.last().state.drawNo - 1;
}

Journal::Contents Journal::read(const QByteArray &bytes, const QStringList &giftLines)
{
    Contents c;
    qsizetype at = 0;
    Board state(giftLines);
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            break; // the last line was cut short
        const auto o = object(QByteArrayView(bytes).sliced(at, end - at));
        if (!o) {
            c.damaged = true;
            return c;
        }
        if (!c.headerOk) {
            if (o->value(QStringLiteral("journal")).toString() != Magic ||
                o->value(QStringLiteral("version")).toInt() != Version ||
                !o->value(QStringLiteral("gifts")).isString()) {
                c.damaged = true;
                return c;
            }
            c.headerOk = true;
            c.giftHash = o->value(QStringLiteral("gifts")).toString().toLatin1();
        } else {
            Entry e;
            e.state = state;
            if (!readEntry(*o, e)) {
                c.damaged = true;
                return c;
            }
            state = e.state;
            c.entries.append(e);
        }
        at = end + 1;
        c.wholeBytes = at;
    }
    c.damaged = c.damaged || at < bytes.size();
    return c;
}
