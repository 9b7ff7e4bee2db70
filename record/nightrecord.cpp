#include "nightrecord.h"

#include "board.h"
#include "workbookwriter.h"

namespace {
QString timeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The apostrophe makes a formula-like cell text (a prize such as =HYPERLINK(…) would run
// in a spreadsheet). Both the copied table and the CSV get the same cells.
QString asText(const QString &f)
{
    return Workbook::looksLikeFormula(f) ? u'\'' + f : f;
}

QString quoted(QString f)
{
    f.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + f + u'"';
}

QString csvField(const QString &value)
{
    const QString f = asText(value);
    if (!f.contains(u',') && !f.contains(u'"') && !f.contains(u'\n') && !f.contains(u'\r'))
        return f;
    return quoted(f);
}

// A tab or a line end inside a field would split the table. A reader of the copy takes a
// leading quote for the start of a quoted cell, as in the CSV: unmatched, it would run on
// into the next row.
QString tsvField(const QString &value)
{
    QString f = asText(value);
    for (QChar &c : f)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return f.contains(u'"') ? quoted(f) : f;
}
} // namespace

void NightRecord::apply(BoardChange change, int index, const Board &before, const Board &after,
                        int round, const QDateTime &time, const Guest &guest)
{
    switch (change) {
    case BoardChange::Stop:
        m_entries.append({Kind::Stop,
                          after.drawNo - 1,
                          after.stopCell + 1,
                          round,
                          -1,
                          {},
                          time,
                          {},
                          guest.name,
                          guest.department});
        m_pending = m_entries.size() - 1;
        break;
    case BoardChange::Card:
        if (m_pending >= 0) {
            m_entries[m_pending].card = index;
            m_entries[m_pending].prize = after.drawnGift;
            if (!guest.isEmpty()) {
                m_entries[m_pending].name = guest.name;
                m_entries[m_pending].department = guest.department;
            }
        }
        m_pending = -1;
        break;
    case BoardChange::Discard:
    case BoardChange::SecondRound:
        if (m_pending >= 0)
            m_entries[m_pending].kind = Kind::Discarded;
        m_pending = -1;
        break;
    case BoardChange::Correction:
        if (index >= 0 && index < Board::Cells)
            m_entries.append({Kind::Correction,
                              0,
                              index + 1,
                              round,
                              -1,
                              {},
                              time,
                              stateName(before.cells[std::size_t(index)]) + QStringLiteral(" → ") +
                                  stateName(after.cells[std::size_t(index)])});
        break;
    case BoardChange::EmptyStop:
    case BoardChange::Closing:
    case BoardChange::PrizeClosed:
        break;
    }
}

void NightRecord::noteOnLastStop(const QString &note)
{
    for (auto e = m_entries.rbegin(); e != m_entries.rend(); ++e)
        if (e->kind != Kind::Correction) {
            e->note = note;
            return;
        }
}

QString NightRecord::cardName(int card)
{
    if (card == Board::Chance)
        return QStringLiteral("機會");
    if (card == Board::Fate)
        return QStringLiteral("命運");
    return {};
}

QString NightRecord::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Stop:
        return QStringLiteral("搖出");
    case Kind::Discarded:
        return QStringLiteral("作廢");
    case Kind::Correction:
        return QStringLiteral("更正");
    }
    return {};
}

QString NightRecord::stateName(ColourValue cell)
{
    if (cell == Cell::Won)
        return QStringLiteral("中獎");
    if (cell == Cell::Held)
        return QStringLiteral("保留");
    if (cell == Cell::Excluded)
        return QStringLiteral("排除");
    return QStringLiteral("未抽");
}

NightRecord::Columns NightRecord::columns() const
{
    Columns c{};
    for (const Entry &e : m_entries) {
        c.names = c.names || !e.name.isEmpty();
        c.departments = c.departments || !e.department.isEmpty();
    }
    return c;
}

namespace {
// After 序號 and 號碼: who the number stood for.
QStringList withGuest(QStringList row, NightRecord::Columns c, const QString &name,
                      const QString &department)
{
    if (c.departments)
        row.insert(2, department);
    if (c.names || c.departments)
        row.insert(2, name);
    return row;
}
} // namespace

QStringList NightRecord::header(Columns columns)
{
    return withGuest({QStringLiteral("序號"), QStringLiteral("號碼"), QStringLiteral("輪次"),
                      QStringLiteral("卡片"), QStringLiteral("獎品"), QStringLiteral("時間"),
                      QStringLiteral("類別"), QStringLiteral("說明")},
                     columns, QStringLiteral("姓名"), QStringLiteral("部門"));
}

QStringList NightRecord::fields(const Entry &e, Columns columns)
{
    return withGuest({e.drawNo > 0 ? QString::number(e.drawNo) : QString(),
                      QString::number(e.number),
                      e.round == 2 ? QStringLiteral("第二輪") : QStringLiteral("第一輪"),
                      cardName(e.card), e.prize, timeText(e.time), kindName(e.kind), e.note},
                     columns, e.name, e.department);
}

QByteArray NightRecord::toXlsx(QString *reason) const
{
    const Columns c = columns();
    QList<QList<Workbook::Cell>> rows;
    for (const Entry &e : m_entries) {
        QList<Workbook::Cell> row;
        const QStringList f = fields(e, c);
        for (qsizetype i = 0; i < f.size(); ++i) {
            if (i == 0 && e.drawNo > 0)
                row << double(e.drawNo);
            else if (i == 1)
                row << double(e.number);
            else
                row << f[i];
        }
        rows << row;
    }
    const Workbook::Written w = Workbook::write(QStringLiteral("抽獎紀錄"), header(c), rows);
    if (!w.ok && reason)
        *reason = w.reason;
    return w.bytes;
}

QString NightRecord::toTsv() const
{
    const Columns c = columns();
    QString out = header(c).join(u'\t') + u'\n';
    for (const Entry &e : m_entries) {
        QStringList f = fields(e, c);
        for (QString &s : f)
            s = tsvField(s);
        out += f.join(u'\t') + u'\n';
    }
    return out;
}

QByteArray NightRecord::toCsv() const
{
    auto row = [](const QStringList &f) {
        QStringList q;
        for (const QString &s : f)
            q << csvField(s);
        return q.join(u',') + QStringLiteral("\r\n");
    };
    const Columns c = columns();
    QString out = row(header(c));
    for (const Entry &e : m_entries)
        out += row(fields(e, c));
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}
