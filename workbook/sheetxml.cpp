#include "sheetxml.h"

#include <QBuffer>
#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstring>

using SheetXml::Limits;
using SheetXml::Status;

namespace {
constexpr int ExcelRows = 1048576;
constexpr int ExcelColumns = 16384;

// QXmlStreamReader hands over a text only whole, however long: a 30 MB run of digits would
// be copied several times before any cap could see it. A cell's text of the longest kind,
// each character as a numeric reference, still fits between two tags this far apart.
bool hasLongRun(const QByteArray &xml, int cellLength)
{
    const qsizetype most = qsizetype(cellLength) * 10 + 1024;
    const char *at = xml.constData();
    const char *end = at + xml.size();
    while (at < end) {
        const void *next = std::memchr(at, '<', size_t(end - at));
        const char *tag = next ? static_cast<const char *>(next) : end;
        if (tag - at > most)
            return true;
        at = tag + 1;
    }
    return false;
}

// Every token through one place, so that no part escapes the checks.
class Tokens
{
public:
    Tokens(const QByteArray &xml, const Limits &limits) : m_limits(limits)
    {
        // Given the bytes themselves, the reader would decode them whole at once, twice their
        // size; from a device it decodes as it goes.
        m_bytes.setData(xml);
        m_bytes.open(QIODevice::ReadOnly);
        m_xml.setDevice(&m_bytes);
        if (hasLongRun(xml, limits.cellLength))
            m_status = Status::CellTooLong;
    }

    // False at the end of the document, or when it must not be read further.
    bool next()
    {
        if (m_status != Status::Ok)
            return false;
        switch (m_xml.readNext()) {
        case QXmlStreamReader::DTD:
            m_status = Status::Hostile;
            return false;
        case QXmlStreamReader::StartElement:
            if (++m_depth > m_limits.depth) {
                m_status = Status::Hostile;
                return false;
            }
            return true;
        case QXmlStreamReader::EndElement:
            --m_depth;
            return true;
        case QXmlStreamReader::Invalid:
            m_status = Status::Malformed;
            return false;
        case QXmlStreamReader::EndDocument:
            return false;
        default:
            return true;
        }
    }
    bool starts(QLatin1StringView name) const
    {
        return m_xml.isStartElement() && m_xml.name() == name;
    }
    bool ends(QLatin1StringView name) const { return m_xml.isEndElement() && m_xml.name() == name; }
    bool isText() const { return m_xml.isCharacters(); }
    QStringView text() const { return m_xml.text(); }
    QString attribute(QLatin1StringView name) const
    {
        return m_xml.attributes().value(QString(), name).toString();
    }
    // r:id, whichever prefix and namespace (transitional or strict) the file uses.
    QString relationshipId() const
    {
        for (const QXmlStreamAttribute &a : m_xml.attributes())
            if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                return a.value().toString();
        return {};
    }
    void fail(Status status) { m_status = status; }
    Status status() const { return m_status; }

private:
    QBuffer m_bytes;
    QXmlStreamReader m_xml;
    const Limits &m_limits;
    int m_depth = 0;
    Status m_status = Status::Ok;
};

// Excel writes a character XML cannot hold as _xHHHH_ (a line break inside a cell as
// _x000D_), and an underscore that would read as one as _x005F_.
QString unescaped(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of <si> or <is>: its runs, without the phonetic guide (<rPh>) that an East Asian
// Excel keeps beside a name.
class RunText
{
public:
    void take(Tokens &t, int cap)
    {
        if (t.starts(QLatin1String("rPh")))
            m_phonetic = true;
        else if (t.ends(QLatin1String("rPh")))
            m_phonetic = false;
        else if (t.starts(QLatin1String("t")))
            m_inText = true;
        else if (t.ends(QLatin1String("t")))
            m_inText = false;
        else if (t.isText() && m_inText && !m_phonetic) {
            m_text += t.text();
            if (m_text.size() > cap)
                t.fail(Status::CellTooLong);
        }
    }
    QString done()
    {
        QString out = unescaped(m_text);
        *this = {};
        return out;
    }

private:
    QString m_text;
    bool m_inText = false;
    bool m_phonetic = false;
};

// "BC12" → column 55 (1-based) and row 12; nothing when it is not a cell's place.
bool parsePlace(const QString &place, int &column, int &row)
{
    qsizetype i = 0;
    qint64 c = 0;
    while (i < place.size() && place[i].isLetter() && place[i].unicode() < 128 && c <= ExcelColumns)
        c = c * 26 + (place[i++].toUpper().unicode() - 'A' + 1);
    bool ok = false;
    const int r = place.mid(i).toInt(&ok);
    if (i == 0 || !ok || c > ExcelColumns || r < 1 || r > ExcelRows)
        return false;
    column = int(c);
    row = r;
    return true;
}
} // namespace

Status SheetXml::relationships(const QByteArray &xml, QList<Relationship> &out)
{
    const Limits limits;
    Tokens t(xml, limits);
    out.clear();
    while (t.next()) {
        if (!t.starts(QLatin1String("Relationship")))
            continue;
        QString type = t.attribute(QLatin1String("Type"));
        type = type.mid(type.lastIndexOf(u'/') + 1);
        out.append({t.attribute(QLatin1String("Id")), type, t.attribute(QLatin1String("Target"))});
        if (out.size() > limits.strings)
            t.fail(Status::TooManyStrings);
    }
    return t.status();
}

Status SheetXml::tabs(const QByteArray &xml, const Limits &limits, QList<Tab> &out)
{
    Tokens t(xml, limits);
    out.clear();
    while (t.next()) {
        if (!t.starts(QLatin1String("sheet")))
            continue;
        const QString state = t.attribute(QLatin1String("state"));
        out.append({t.attribute(QLatin1String("name")), t.relationshipId(),
                    state == QLatin1String("hidden") || state == QLatin1String("veryHidden")});
        if (out.last().relationshipId.isEmpty())
            t.fail(Status::Malformed);
        else if (out.size() > limits.strings)
            t.fail(Status::TooManyStrings);
    }
    if (t.status() == Status::Ok && out.isEmpty())
        return Status::Malformed;
    return t.status();
}

Status SheetXml::sharedStrings(const QByteArray &xml, const Limits &limits, QStringList &out)
{
    Tokens t(xml, limits);
    out.clear();
    RunText run;
    bool inItem = false;
    while (t.next()) {
        if (t.starts(QLatin1String("si"))) {
            inItem = true;
            run = {};
        } else if (t.ends(QLatin1String("si"))) {
            inItem = false;
            out.append(run.done());
            if (out.size() > limits.strings)
                t.fail(Status::TooManyStrings);
        } else if (inItem) {
            run.take(t, limits.cellLength);
        }
    }
    return t.status();
}

Status SheetXml::dateFormats(const QByteArray &xml, const Limits &limits, QList<bool> &out)
{
    // Built in: 14-22 and 45-47 everywhere, 27-36 and 50-58 the East Asian dates.
    const auto builtInDate = [](int id) {
        return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
               (id >= 50 && id <= 58);
    };
    Tokens t(xml, limits);
    out.clear();
    QHash<int, bool> custom; // a format's id: whether it is a date
    bool inCellFormats = false;
    while (t.next()) {
        if (t.starts(QLatin1String("numFmt"))) {
            custom.insert(t.attribute(QLatin1String("numFmtId")).toInt(),
                          isDateCode(t.attribute(QLatin1String("formatCode"))));
            if (custom.size() > limits.strings)
                t.fail(Status::TooManyStrings);
        } else if (t.starts(QLatin1String("cellXfs"))) {
            inCellFormats = true;
        } else if (t.ends(QLatin1String("cellXfs"))) {
            inCellFormats = false;
        } else if (inCellFormats && t.starts(QLatin1String("xf"))) {
            const int id = t.attribute(QLatin1String("numFmtId")).toInt();
            out.append(custom.value(id, builtInDate(id)));
            if (out.size() > limits.strings)
                t.fail(Status::TooManyStrings);
        }
    }
    return t.status();
}

Status SheetXml::sheet(const QByteArray &xml, const QStringList &shared,
                       const QList<bool> &dateFormats, const Limits &limits, QList<SheetRow> &rows)
{
    using Kind = SheetRow::Kind;
    Tokens t(xml, limits);
    rows.clear();
    int rowCount = 0;
    int lastRow = 0;
    SheetRow row;
    int lastColumn = 0;
    bool inCell = false;
    bool inValue = false;
    bool inInline = false;
    bool hasFormula = false;
    bool hasValue = false;
    int column = 0;
    QString type;
    QString style;
    QString value;
    RunText inlineText;
    while (t.next()) {
        if (t.starts(QLatin1String("row"))) {
            if (++rowCount > limits.rows) {
                t.fail(Status::TooManyRows);
                break;
            }
            const QString r = t.attribute(QLatin1String("r"));
            bool ok = true;
            row = {r.isEmpty() ? lastRow + 1 : r.toInt(&ok), {}, {}};
            if (!ok || row.number < 1 || row.number > ExcelRows) {
                t.fail(Status::Malformed);
                break;
            }
            lastRow = row.number;
            lastColumn = 0;
        } else if (t.ends(QLatin1String("row"))) {
            bool any = !row.kinds.isEmpty();
            for (const QString &c : std::as_const(row.cells))
                any = any || !c.isEmpty();
            if (any)
                rows.append(row);
        } else if (t.starts(QLatin1String("c"))) {
            inCell = true;
            hasFormula = hasValue = false;
            type = t.attribute(QLatin1String("t"));
            style = t.attribute(QLatin1String("s"));
            value.clear();
            inlineText = {};
            const QString place = t.attribute(QLatin1String("r"));
            int placeRow = 0;
            if (place.isEmpty()) {
                column = lastColumn + 1;
            } else if (!parsePlace(place, column, placeRow)) {
                t.fail(Status::Malformed);
                break;
            }
            lastColumn = column;
        } else if (t.ends(QLatin1String("c"))) {
            inCell = false;
            QString text;
            Kind kind = Kind::Text;
            if (type == QLatin1String("inlineStr")) {
                text = inlineText.done();
            } else if (hasFormula && (!hasValue || (value.isEmpty() && type.isEmpty()))) {
                // openpyxl writes an empty <v/>; an empty text from a formula is t="str".
                kind = Kind::FormulaWithoutValue;
            } else if (type == QLatin1String("s")) {
                bool ok = false;
                const int index = value.trimmed().toInt(&ok);
                if (!ok || index < 0 || index >= shared.size()) {
                    t.fail(Status::Malformed);
                    break;
                }
                text = shared[index];
            } else if (type == QLatin1String("b")) {
                kind = Kind::Boolean;
                text = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE")
                                                             : QStringLiteral("FALSE");
            } else if (type == QLatin1String("e")) {
                kind = Kind::Error;
                text = unescaped(value);
            } else if (type == QLatin1String("d")) {
                kind = Kind::Date;
                text = unescaped(value);
            } else if (type == QLatin1String("str")) {
                // A formula's cached text.
                text = unescaped(value);
            } else if (hasValue) {
                text = numberText(value);
                bool ok = false;
                const int format = style.toInt(&ok);
                kind = ok && dateFormats.value(format) ? Kind::Date : Kind::Number;
            }
            if (column <= limits.columns) {
                while (row.cells.size() < column)
                    row.cells.append(QString());
                row.cells[column - 1] = text;
                if (kind != Kind::Text || row.kinds.size() >= column) {
                    while (row.kinds.size() < column)
                        row.kinds.append(Kind::Text);
                    row.kinds[column - 1] = kind;
                }
            }
        } else if (inCell && t.starts(QLatin1String("f"))) {
            hasFormula = true;
        } else if (inCell && t.starts(QLatin1String("v"))) {
            inValue = hasValue = true;
        } else if (inCell && t.ends(QLatin1String("v"))) {
            inValue = false;
        } else if (inCell && t.starts(QLatin1String("is"))) {
            inInline = true;
        } else if (inCell && t.ends(QLatin1String("is"))) {
            inInline = false;
        } else if (inInline) {
            inlineText.take(t, limits.cellLength);
        } else if (inValue && t.isText()) {
            value += t.text();
            if (value.size() > limits.cellLength)
                t.fail(Status::CellTooLong);
        }
    }
    if (t.status() != Status::Ok)
        return t.status();
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SheetRow &a, const SheetRow &b) { return a.number < b.number; });
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (rows[i].number == rows[i - 1].number)
            return Status::Malformed; // Excel refuses a row given twice as well
    return Status::Ok;
}

QString SheetXml::resolve(const QString &fromPart, const QString &target)
{
    QStringList parts;
    if (!target.startsWith(u'/')) {
        parts = fromPart.split(u'/');
        parts.removeLast();
    }
    for (const QString &p : target.split(u'/', Qt::SkipEmptyParts)) {
        if (p == QLatin1String("."))
            continue;
        if (p == QLatin1String("..")) {
            if (parts.isEmpty())
                return {};
            parts.removeLast();
        } else {
            parts.append(p);
        }
    }
    return parts.join(u'/');
}

QString SheetXml::numberText(const QString &stored)
{
    bool ok = false;
    const double d = stored.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return stored.trimmed();
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    // As many digits as Excel itself shows.
    return QString::number(d, 'g', 15);
}

bool SheetXml::isDateCode(const QString &code)
{
    // A code may have sections for positive;negative;zero;text; any that shows a date counts.
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != u'"';
        } else if (bracket) {
            bracket = c != u']';
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u'[') {
            // [h], [mm] and [ss] are elapsed times, shown as such.
            const qsizetype close = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, close < 0 ? -1 : close - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside[0]) == inside.size() &&
                QStringLiteral("hms").contains(inside[0]))
                return true;
            bracket = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown as it is, or is padding
        } else if (QStringLiteral("dmyhsDMYHS").contains(c)) {
            return true;
        }
    }
    return false;
}
