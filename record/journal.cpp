#include "journal.h"

#include "journalformat.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <utility>

using JournalFormat::Magic;

namespace {
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

QString dateTime(const QDateTime &t)
{
    return t.toString(Qt::ISODateWithMs);
}

QByteArray compact(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

// The board's list: 56 entries, those without a prize empty.
QStringList padded(QStringList l)
{
    while (l.size() < Board::Cells)
        l << QString();
    return l;
}
} // namespace

QByteArray Journal::giftHash(const QByteArray &giftBytes)
{
    return QCryptographicHash::hash(giftBytes, QCryptographicHash::Sha256).toHex();
}

QByteArray Journal::headerLine(const QStringList &prizes, const QDateTime &began)
{
    QJsonObject o;
    o[QStringLiteral("journal")] = Magic;
    o[QStringLiteral("version")] = Version;
    o[QStringLiteral("prizes")] = QJsonArray::fromStringList(prizes.mid(0, Board::Cells));
    o[QStringLiteral("began")] = dateTime(began);
    return compact(o);
}

QByteArray Journal::entryLine(const Entry &e)
{
    QJsonObject o;
    o[QStringLiteral("change")] = JournalFormat::changeName(e.change);
    o[QStringLiteral("index")] = e.index;
    o[QStringLiteral("time")] = dateTime(e.time);
    o[QStringLiteral("round")] = e.round;
    if (!e.name.isEmpty())
        o[QStringLiteral("name")] = e.name;
    if (!e.department.isEmpty())
        o[QStringLiteral("department")] = e.department;
    o[QStringLiteral("state")] = stateObject(e.state, e.change == BoardChange::Card);
    return compact(o);
}

QByteArray Journal::bingoLine(const Bingo &b)
{
    const auto numbers = [](const QList<int> &l) {
        QJsonArray a;
        for (int n : l)
            a.append(n);
        return a;
    };
    QJsonObject o;
    o[QStringLiteral("bingo")] = numbers(b.taken);
    o[QStringLiteral("drawing")] = b.drawing;
    o[QStringLiteral("time")] = dateTime(b.time);
    // Left out until a draw has ended, so that a night of one draw reads as before.
    if (!b.draws.isEmpty()) {
        QJsonArray draws;
        for (const QList<int> &d : b.draws)
            draws.append(numbers(d));
        o[QStringLiteral("draws")] = draws;
    }
    return compact(o);
}

QByteArray Journal::viewLine(bool fullScreen, const QDateTime &time)
{
    QJsonObject o;
    o[QStringLiteral("view")] =
        fullScreen ? QStringLiteral("fullscreen") : QStringLiteral("window");
    o[QStringLiteral("time")] = dateTime(time);
    return compact(o);
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

const Journal::Entry *Journal::Contents::lastStop() const
{
    for (qsizetype i = entries.size() - 1; i >= 0; --i)
        if (entries[i].change == BoardChange::Stop)
            return &entries[i];
    return nullptr;
}

bool Journal::Contents::prizeOpen() const
{
    if (entries.isEmpty() || reachedClosing())
        return false;
    qsizetype card = -1;
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i].change == BoardChange::Card)
            card = i;
    if (card < 0)
        return false;
    // Only its 確 定 leads to the closing picture.
    if (entries.last().state.giftsLeft == 0)
        return true;
    for (qsizetype i = card + 1; i < entries.size(); ++i)
        if (entries[i].change == BoardChange::PrizeClosed)
            return false;
    // A version 1 journal does not say when the window closed: it was up if nothing came after.
    return version >= 2 || card == entries.size() - 1;
}

int Journal::Contents::prizeCell() const
{
    for (qsizetype i = entries.size() - 1; i >= 0; --i)
        if (entries[i].change == BoardChange::Card)
            return entries[i].state.stopCell;
    return 0;
}

QStringList Journal::Contents::nightPrizes() const
{
    if (version >= 2)
        return padded(prizes);
    // Those still in the list and those given out make up the list the night began with.
    QStringList all;
    for (const Entry &e : entries)
        if (e.change == BoardChange::Card)
            all << e.state.drawnGift;
    if (all.isEmpty())
        return {};
    const Board &last = entries.last().state;
    for (int i = 0; i < last.giftsLeft; ++i)
        all << last.gifts[std::size_t(i)];
    // A damaged or edited journal may hold more cards than a list has lines.
    return all.mid(0, Board::Cells);
}

int Journal::differingPrizes(const QStringList &night, const QStringList &other)
{
    QStringList rest = padded(other);
    int differ = 0;
    for (const QString &p : padded(night)) {
        const qsizetype at = rest.indexOf(p);
        if (at < 0)
            ++differ;
        else
            rest.removeAt(at);
    }
    return differ;
}
