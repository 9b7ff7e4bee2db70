#include "workbookreader.h"

#include "cappedzip.h"
#include "safefile.h"
#include "sheetxml.h"

#include <QSet>

#include <optional>

using Workbook::Sheet;
using Workbook::Status;

namespace {
Sheet failed(Status status, const QString &detail = {})
{
    Sheet s;
    s.status = status;
    switch (status) {
    case Status::Ok:
        break;
    case Status::Missing:
        s.reason = QStringLiteral("檔案不存在");
        break;
    case Status::Unreadable:
        s.reason = detail;
        break;
    case Status::TooLarge:
        s.reason = QStringLiteral("檔案超過 %1 MB，太大了").arg(Workbook::MaxFileBytes >> 20);
        break;
    case Status::OldExcel:
        s.reason = QStringLiteral("它是舊版的 Excel 97-2003 活頁簿 (.xls)，本程式只能讀 .xlsx。"
                                  "請在 Excel 用「另存新檔」，存檔類型選「Excel 活頁簿 (*.xlsx)」"
                                  "或「CSV UTF-8 (逗號分隔) (*.csv)」");
        break;
    case Status::Encrypted:
        s.reason = QStringLiteral("活頁簿設了開啟密碼，本程式無法讀取。請在 Excel 打開它，"
                                  "在「檔案 → 資訊 → 保護活頁簿 → 以密碼加密」把密碼清空再存檔，"
                                  "或另存成「CSV UTF-8 (逗號分隔) (*.csv)」");
        break;
    case Status::NotWorkbook:
        s.reason = QStringLiteral("它不是 Excel 活頁簿 (.xlsx)");
        break;
    case Status::Damaged:
        s.reason = QStringLiteral("活頁簿已損壞，或不是 Excel 存的檔案");
        if (!detail.isEmpty())
            s.reason += QStringLiteral("：") + detail;
        break;
    case Status::Inflated:
        // detail: the cap passed, in MB
        s.reason = QStringLiteral("活頁簿解壓縮後超過 %1 MB，不是 Excel 存的名單").arg(detail);
        break;
    case Status::Hostile:
        s.reason = QStringLiteral("活頁簿裡的 XML 有 DTD 宣告或層次太深，不是 Excel 存的檔案");
        break;
    case Status::TooManyRows:
        s.reason = QStringLiteral("第一個工作表超過 %1 列").arg(detail);
        break;
    case Status::CellTooLong:
        s.reason = QStringLiteral("活頁簿裡有一段文字超過 %1 個字，比 Excel 一格能放的還長，"
                                  "不是 Excel 存的名單")
                       .arg(detail);
        break;
    }
    return s;
}

// UTF-16 as the compound file's directory names its streams.
const QByteArray &encryptedPackage()
{
    static const QByteArray name = [] {
        QByteArray b;
        for (char c : QByteArrayLiteral("EncryptedPackage"))
            b.append(c).append('\0');
        return b;
    }();
    return name;
}

class Parts
{
public:
    Parts(const QByteArray &bytes, const Workbook::Limits &limits)
        : m_zip(bytes, Workbook::MaxTotalBytes), m_limits{limits.rows, limits.columns}
    {
    }
    bool isOpen() const { return m_zip.isOpen(); }
    const SheetXml::Limits &limits() const { return m_limits; }

    // A missing part is damage unless the caller asks whether it is there.
    std::optional<Sheet> read(const QString &name, QByteArray &out, bool *found = nullptr)
    {
        if (found)
            *found = true;
        switch (m_zip.read(name, Workbook::MaxPartBytes, out)) {
        case CappedZip::Status::Ok:
            return std::nullopt;
        case CappedZip::Status::Missing:
            if (found) {
                *found = false;
                return std::nullopt;
            }
            return failed(Status::Damaged, QStringLiteral("少了 %1").arg(name));
        case CappedZip::Status::TooLarge:
            return failed(Status::Inflated, QString::number(Workbook::MaxPartBytes >> 20));
        case CappedZip::Status::TotalTooLarge:
            return failed(Status::Inflated, QString::number(Workbook::MaxTotalBytes >> 20));
        case CappedZip::Status::NotZip:
        case CappedZip::Status::Damaged:
            break;
        }
        return failed(Status::Damaged, QStringLiteral("%1 讀不出來").arg(name));
    }

    std::optional<Sheet> check(SheetXml::Status status, const QString &name) const
    {
        switch (status) {
        case SheetXml::Status::Ok:
            return std::nullopt;
        case SheetXml::Status::Hostile:
            return failed(Status::Hostile);
        case SheetXml::Status::TooManyRows:
            return failed(Status::TooManyRows, QString::number(m_limits.rows));
        case SheetXml::Status::TooManyStrings:
            return failed(Status::Inflated, QString::number(Workbook::MaxTotalBytes >> 20));
        case SheetXml::Status::CellTooLong:
            return failed(Status::CellTooLong, QString::number(m_limits.cellLength));
        case SheetXml::Status::Malformed:
            break;
        }
        return failed(Status::Damaged, QStringLiteral("%1 的內容不對").arg(name));
    }

    // The parts' relationships file: "xl/workbook.xml" → "xl/_rels/workbook.xml.rels".
    std::optional<Sheet> relationships(const QString &part, QList<SheetXml::Relationship> &out)
    {
        const qsizetype slash = part.lastIndexOf(u'/');
        const QString name = part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
                             QStringLiteral(".rels");
        QByteArray xml;
        if (auto f = read(name, xml))
            return f;
        return check(SheetXml::relationships(xml, out), name);
    }

private:
    CappedZip m_zip;
    SheetXml::Limits m_limits;
};

QString target(const QList<SheetXml::Relationship> &rels, const QString &from, const QString &type,
               const QString &id = {})
{
    for (const SheetXml::Relationship &r : rels)
        if ((id.isEmpty() ? r.type == type : r.id == id))
            return SheetXml::resolve(from, r.target);
    return {};
}
} // namespace

bool Workbook::isCompoundFile(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

bool Workbook::isZip(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayView("PK\x03\x04", 4));
}

Sheet Workbook::read(const QByteArray &bytes, const Limits &limits)
{
    if (isCompoundFile(bytes))
        return failed(bytes.contains(encryptedPackage()) ? Status::Encrypted : Status::OldExcel);
    if (!isZip(bytes))
        return failed(Status::NotWorkbook);
    Parts parts(bytes, limits);
    if (!parts.isOpen())
        return failed(Status::Damaged);

    QList<SheetXml::Relationship> rels;
    if (auto f = parts.relationships(QString(), rels))
        return *f;
    // The package's own relationships name the workbook part; Excel calls it xl/workbook.xml.
    QString book = target(rels, QString(), QStringLiteral("officeDocument"));
    if (book.isEmpty())
        return failed(Status::NotWorkbook);
    QByteArray xml;
    if (auto f = parts.read(book, xml))
        return *f;
    QList<SheetXml::Tab> tabs;
    if (auto f = parts.check(SheetXml::tabs(xml, parts.limits(), tabs), book))
        return *f;
    if (auto f = parts.relationships(book, rels))
        return *f;
    // The first tab the user sees: not hidden, and a worksheet rather than a chart.
    QSet<QString> worksheets; // by relationship id
    for (const SheetXml::Relationship &r : std::as_const(rels))
        if (r.type == QLatin1String("worksheet"))
            worksheets.insert(r.id);
    const SheetXml::Tab *tab = nullptr;
    for (const SheetXml::Tab &candidate : std::as_const(tabs)) {
        if (!candidate.hidden && worksheets.contains(candidate.relationshipId)) {
            tab = &candidate;
            break;
        }
    }
    const QString sheetPart = tab ? target(rels, book, {}, tab->relationshipId) : QString();
    const QString stringsPart = target(rels, book, QStringLiteral("sharedStrings"));
    const QString stylesPart = target(rels, book, QStringLiteral("styles"));
    if (sheetPart.isEmpty())
        return failed(Status::Damaged, QStringLiteral("找不到看得見的工作表"));

    // A workbook of numbers alone has no shared strings; one written by a program may have
    // no styles, and then no dates.
    QStringList shared;
    bool found = false;
    if (!stringsPart.isEmpty()) {
        if (auto f = parts.read(stringsPart, xml, &found))
            return *f;
        if (found)
            if (auto f =
                    parts.check(SheetXml::sharedStrings(xml, parts.limits(), shared), stringsPart))
                return *f;
    }
    QList<bool> dates;
    if (!stylesPart.isEmpty()) {
        if (auto f = parts.read(stylesPart, xml, &found))
            return *f;
        if (found)
            if (auto f = parts.check(SheetXml::dateFormats(xml, parts.limits(), dates), stylesPart))
                return *f;
    }
    if (auto f = parts.read(sheetPart, xml))
        return *f;
    Sheet sheet;
    if (auto f =
            parts.check(SheetXml::sheet(xml, shared, dates, parts.limits(), sheet.rows), sheetPart))
        return *f;
    sheet.name = tab->name;
    return sheet;
}

Sheet Workbook::load(const QString &path, const Limits &limits)
{
    const SafeFile::Read file = SafeFile::read(path, MaxFileBytes);
    switch (file.status) {
    case SafeFile::Status::Ok:
        return read(file.bytes, limits);
    case SafeFile::Status::Missing:
        return failed(Status::Missing);
    case SafeFile::Status::TooLarge:
        return failed(Status::TooLarge);
    case SafeFile::Status::NotRegular:
    case SafeFile::Status::Unreadable:
        break;
    }
    return failed(Status::Unreadable, file.reason);
}
