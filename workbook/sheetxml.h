#pragma once

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
    TooManyStrings
};

struct Limits
{
    int rows = 10000; // lists of 56 numbers; far more is no list of ours
    int columns = 64; // cells further right are left out
    int strings = 100000;
    int depth = 32;
};

struct Relationship
{
    QString id;
    QString type; // only its last word: "officeDocument", "worksheet", "sharedStrings"
    QString target;
};
Status relationships(const QByteArray &xml, QList<Relationship> &out);
// The relationship id of the workbook's first sheet, in the order Excel shows the tabs.
Status firstSheet(const QByteArray &xml, const Limits &limits, QString &relationshipId);
Status sharedStrings(const QByteArray &xml, const Limits &limits, QStringList &out);
Status sheet(const QByteArray &xml, const QStringList &shared, const Limits &limits,
             QList<SheetRow> &rows);

// A target relative to the part that names it ("xl/workbook.xml" + "worksheets/sheet1.xml"),
// or absolute ("/xl/worksheets/sheet1.xml"); empty when it leaves the archive.
QString resolve(const QString &fromPart, const QString &target);
// The text Excel shows for a number it stores: 7 and 7.0 are "7".
QString numberText(const QString &stored);
} // namespace SheetXml
