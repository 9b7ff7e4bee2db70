#pragma once

#include "listlimits.h"
#include "sheetrow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The parts of a workbook that the first sheet's texts need, each read with
// QXmlStreamReader. Excel writes no DTD and nests a few levels deep: a DTD (whose entities
// could multiply a text) or deep nesting means a file made to hurt, and is refused.
namespace SheetXml {
enum class Status
{
    Ok,
    Malformed,
    Hostile, // a DTD, or nesting deeper than Excel's
    TooManyRows,
    TooManyStrings,
    CellTooLong
};

struct Limits
{
    int rows = ListLimits::Rows;
    int columns = ListLimits::Columns;
    int strings = 100000;
    int depth = 32;
    int cellLength = ListLimits::CellText;
};

struct Relationship
{
    QString id;
    QString type; // only its last word: "officeDocument", "worksheet", "sharedStrings"
    QString target;
};
Status relationships(const QByteArray &xml, QList<Relationship> &out);
// The workbook's tabs, in the order Excel shows them.
struct Tab
{
    QString name;
    QString relationshipId;
    bool hidden = false; // hidden or very hidden: not what the user sees on opening
};
Status tabs(const QByteArray &xml, const Limits &limits, QList<Tab> &out);
Status sharedStrings(const QByteArray &xml, const Limits &limits, QStringList &out);
// Of each cell format (a cell's s="n"), whether it shows a number as a date or a time.
Status dateFormats(const QByteArray &xml, const Limits &limits, QList<bool> &out);
// Rows in the order of their numbers, whatever order the file stores them in.
Status sheet(const QByteArray &xml, const QStringList &shared, const QList<bool> &dateFormats,
             const Limits &limits, QList<SheetRow> &rows);

// A target relative to the part that names it ("xl/workbook.xml" + "worksheets/sheet1.xml"),
// or absolute ("/xl/worksheets/sheet1.xml"); empty when it leaves the archive.
QString resolve(const QString &fromPart, const QString &target);
// The text Excel shows for a number it stores: 7 and 7.0 are "7".
QString numberText(const QString &stored);
// Whether a number format's code shows a date or a time: d, m, y, h or s outside quoted
// text, [colours] and escaped characters.
bool isDateCode(const QString &code);
} // namespace SheetXml
