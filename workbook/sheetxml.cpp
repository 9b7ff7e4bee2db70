#include "sheetxml.h"

#include <QXmlStreamReader>

#include <cmath>

using SheetXml::Limits;
using SheetXml::Status;

namespace {
constexpr int ExcelRows = 1048576;
constexpr int ExcelColumns = 16384;

// Every token through one place, so that no part escapes the checks.
class Tokens
{
public:
    Tokens(const QByteArray &xml, const Limits &limits) : m_xml(xml), m_limits(limits) {}

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
    void take(const Tokens &t)
    {
        if (t.starts(QLatin1String("rPh")))
            m_phonetic = true;
        else if (t.ends(QLatin1String("rPh")))
            m_phonetic = false;
        else if (t.starts(QLatin1String("t")))
            m_inText = true;
        else if (t.ends(QLatin1String("t")))
            m_inText = false;
        else if (t.isText() && m_inText && !m_phonetic)
            m_text += t.text();
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

Status SheetXml::firstSheet(const QByteArray &xml, const Limits &limits, QString &relationshipId)
{
    Tokens t(xml, limits);
    relationshipId.clear();
    while (t.next()) {
        if (t.starts(QLatin1String("sheet"))) {
            relationshipId = t.relationshipId();
            break;
        }
    }
    if (t.status() == Status::Ok && relationshipId.isEmpty())
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
            run.take(t);
        }
    }
    return t.status();
}

Status SheetXml::sheet(const QByteArray &xml, const QStringList &shared, const Limits &limits,
                       QList<SheetRow> &rows)
{
    Tokens t(xml, limits);
    rows.clear();
    int rowCount = 0;
    SheetRow row;
    int lastColumn = 0;
    bool inCell = false;
    bool inValue = false;
    bool inInline = false;
    int column = 0;
    QString type;
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
            row = {r.isEmpty() ? (rows.isEmpty() ? rowCount : rows.last().number + 1)
                               : r.toInt(&ok),
                   {}};
            if (!ok || row.number < 1 || row.number > ExcelRows) {
                t.fail(Status::Malformed);
                break;
            }
            lastColumn = 0;
        } else if (t.ends(QLatin1String("row"))) {
            bool any = false;
            for (const QString &c : std::as_const(row.cells))
                any = any || !c.isEmpty();
            if (any)
                rows.append(row);
        } else if (t.starts(QLatin1String("c"))) {
            inCell = true;
            type = t.attribute(QLatin1String("t"));
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
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int index = value.trimmed().toInt(&ok);
                if (!ok || index < 0 || index >= shared.size()) {
                    t.fail(Status::Malformed);
                    break;
                }
                text = shared[index];
            } else if (type == QLatin1String("inlineStr")) {
                text = inlineText.done();
            } else if (type == QLatin1String("b")) {
                text = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE")
                                                             : QStringLiteral("FALSE");
            } else if (type == QLatin1String("str") || type == QLatin1String("e") ||
                       type == QLatin1String("d")) {
                // A formula's cached text, an error such as #N/A, a date as text.
                text = unescaped(value);
            } else {
                text = numberText(value);
            }
            if (column <= limits.columns) {
                while (row.cells.size() < column)
                    row.cells.append(QString());
                row.cells[column - 1] = text;
            }
        } else if (inCell && t.starts(QLatin1String("v"))) {
            inValue = true;
        } else if (inCell && t.ends(QLatin1String("v"))) {
            inValue = false;
        } else if (inCell && t.starts(QLatin1String("is"))) {
            inInline = true;
        } else if (inCell && t.ends(QLatin1String("is"))) {
            inInline = false;
        } else if (inInline) {
            inlineText.take(t);
        } else if (inValue && t.isText()) {
            value += t.text();
        }
    }
    return t.status();
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
