#pragma once

#include "cfilename.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <zip.h>

#include <utility>

// Workbooks made part by part, so that a test can hold exactly what Excel writes (cached
// formula values, phonetic runs, inline strings) or what a hostile file would.
using Parts = QList<std::pair<QString, QByteArray>>;

inline QByteArray zipOf(const Parts &parts)
{
    QTemporaryDir dir;
    zipFile zip = zipOpen64(CFileName::of(dir.path(), QStringLiteral("parts.zip")).constData(),
                            APPEND_STATUS_CREATE);
    if (!zip)
        return {};
    for (const auto &[name, data] : parts) {
        zip_fileinfo info = {};
        if (zipOpenNewFileInZip64(zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0,
                                  nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1) != ZIP_OK ||
            zipWriteInFileInZip(zip, data.constData(), unsigned(data.size())) != ZIP_OK ||
            zipCloseFileInZip(zip) != ZIP_OK)
            return {};
    }
    zipClose(zip, nullptr);
    QFile f(dir.filePath(QStringLiteral("parts.zip")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline const QByteArray Rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

inline QByteArray relationship(const QByteArray &id, const QByteArray &type, const QByteArray &to)
{
    return "<Relationship Id=\"" + id + "\" Type=\"" + Rel + "/" + type + "\" Target=\"" + to +
           "\"/>";
}

// One sheet (sheet1.xml), and shared strings and styles when given.
inline Parts sheetParts(const QByteArray &sheetData, const QByteArray &sharedStrings = {},
                        const QByteArray &styles = {})
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    Parts parts{
        {QStringLiteral("_rels/.rels"),
         rels + relationship("rId1", "officeDocument", "xl/workbook.xml") + "</Relationships>"},
        {QStringLiteral("xl/workbook.xml"),
         "<workbook " + ns + " xmlns:r=\"" + Rel +
             "\"><sheets><sheet name=\"名單\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         rels + relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
             relationship("rId2", "sharedStrings", "sharedStrings.xml") +
             (styles.isNull() ? QByteArray() : relationship("rId3", "styles", "styles.xml")) +
             "</Relationships>"},
        {QStringLiteral("xl/worksheets/sheet1.xml"),
         "<worksheet " + ns + "><sheetData>" + sheetData + "</sheetData></worksheet>"}};
    if (!sharedStrings.isNull())
        parts.append({QStringLiteral("xl/sharedStrings.xml"),
                      "<sst " + ns + ">" + sharedStrings + "</sst>"});
    if (!styles.isNull())
        parts.append({QStringLiteral("xl/styles.xml"),
                      "<styleSheet " + ns + ">" + styles + "</styleSheet>"});
    return parts;
}

inline QByteArray workbookOf(const QByteArray &sheetData, const QByteArray &sharedStrings = {},
                             const QByteArray &styles = {})
{
    return zipOf(sheetParts(sheetData, sharedStrings, styles));
}
