#include "guestlist.h"

#include "guesttext.h"
#include "prizelist.h"
#include "safefile.h"
#include "workbookreader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

using GuestList::Display;
using GuestList::Problem;
using GuestList::Result;

namespace {
Result refused(const QString &path, const QString &text)
{
    Result r;
    r.path = path;
    r.refusal = text + QStringLiteral("：\n") +
                QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return r;
}

Result unreadable(const QString &path, const QString &reason)
{
    return refused(path, QStringLiteral("無法讀取名單檔案（%1），今晚不顯示姓名").arg(reason));
}

// Header words are compared without blanks: "姓　名" is 姓名.
QString bare(const QString &cell)
{
    QString out;
    for (QChar c : cell)
        if (!c.isSpace())
            out += c;
    return out;
}

struct Columns
{
    int number = 0;
    int name = 1;
    int department = 2;
    QString departmentWord = QStringLiteral("部門");
};

// The first row is a header when one of its cells is a header word; then it must name the
// number's and the name's columns.
std::optional<Columns> header(const SheetRow &row, QString &missing)
{
    static const QStringList numberWords{QStringLiteral("號碼"), QStringLiteral("編號")};
    static const QStringList nameWords{QStringLiteral("姓名"), QStringLiteral("名字")};
    static const QStringList departmentWords{QStringLiteral("部門"), QStringLiteral("單位"),
                                             QStringLiteral("桌次")};
    Columns c{-1, -1, -1, QStringLiteral("部門")};
    bool any = false;
    for (int i = 0; i < int(row.cells.size()); ++i) {
        const QString word = bare(row.cells[i]);
        if (numberWords.contains(word) && c.number < 0)
            c.number = i;
        else if (nameWords.contains(word) && c.name < 0)
            c.name = i;
        else if (departmentWords.contains(word) && c.department < 0) {
            c.department = i;
            c.departmentWord = word;
        } else
            continue;
        any = true;
    }
    if (!any)
        return std::nullopt;
    if (c.number < 0)
        missing = QStringLiteral("「號碼」或「編號」");
    else if (c.name < 0)
        missing = QStringLiteral("「姓名」或「名字」");
    return c;
}

// 7, 07, 7.0 and full-width ７ are all 7; nothing when the cell is no whole number.
std::optional<qint64> wholeNumber(const QString &cell)
{
    // Normalising a long cell on every row would cost more than the whole list should.
    if (cell.size() > 64)
        return std::nullopt;
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,12})(\\.0+)?$"));
    const QRegularExpressionMatch m =
        form.match(cell.normalized(QString::NormalizationForm_KC).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toLongLong();
}

QString clean(const QString &cell)
{
    return cell.normalized(QString::NormalizationForm_C).trimmed();
}

// Blank in every format: a workbook's cell of spaces, or a CSV's line of commas.
bool isBlank(const SheetRow &row)
{
    for (qsizetype i = 0; i < row.cells.size(); ++i)
        if (!row.cells[i].trimmed().isEmpty() || row.kind(i) != SheetRow::Kind::Text)
            return false;
    return true;
}

// Why a cell of a workbook holds no text or number that names, the end of a sentence after
// "第 n 列"; nothing for a text or a number.
std::optional<QString> notText(const SheetRow &row, qsizetype column, const QString &what)
{
    using Kind = SheetRow::Kind;
    const QString cell = row.cells.value(column);
    switch (row.kind(column)) {
    case Kind::Text:
    case Kind::Number:
        return std::nullopt;
    case Kind::Error: {
        // Excel's own error values only ("#N/A", "#DIV/0!"): the text comes from the file.
        static const QRegularExpression excel(QStringLiteral("^#[A-Z0-9/!?_]{1,15}$"));
        return excel.match(cell).hasMatch() ? QStringLiteral("的%1是錯誤值「%2」。").arg(what, cell)
                                            : QStringLiteral("的%1是錯誤值。").arg(what);
    }
    case Kind::Boolean:
        return QStringLiteral("的%1是 TRUE/FALSE 值「%2」。").arg(what, cell);
    case Kind::Date:
        return QStringLiteral("的%1是日期，不是文字或數字。").arg(what);
    case Kind::FormulaWithoutValue:
        return QStringLiteral("%1欄的公式沒有存下的值，請在 Excel 中開啟並存檔。").arg(what);
    }
    return std::nullopt;
}

// A cell shown in a message: short, and only once its characters are known to show.
QString quoted(const QString &text)
{
    constexpr int Shown = 20;
    return text.size() <= Shown ? text : text.left(Shown) + QStringLiteral("…");
}

class Checker
{
public:
    Checker(const Display &display, const Columns &columns) : m_display(display), m_columns(columns)
    {
    }

    // The guest of a row, or its problem.
    std::optional<Guest> check(const SheetRow &row, int number, QList<Problem> &problems) const
    {
        const auto said = [&](const QString &text) {
            problems.append({row.number, QStringLiteral("第 %1 列").arg(row.number) + text});
            return std::nullopt;
        };
        const auto tooLong = [](const QString &what) {
            return QStringLiteral("的%1超過 %2 個字。").arg(what).arg(GuestList::MaxTextLength);
        };
        // Far too long before it is normalised or looked at character by character: a
        // composed text is at most a few times shorter than its raw cell.
        if (row.cells.value(m_columns.name).size() > 4 * GuestList::MaxTextLength)
            return said(tooLong(QStringLiteral("姓名")));
        if (row.cells.value(m_columns.department).size() > 4 * GuestList::MaxTextLength)
            return said(tooLong(m_columns.departmentWord));
        Guest g{clean(row.cells.value(m_columns.name)),
                m_columns.department >= 0 ? clean(row.cells.value(m_columns.department))
                                          : QString()};
        if (const auto why = notText(row, m_columns.name, QStringLiteral("姓名")))
            return said(*why);
        if (m_columns.department >= 0)
            if (const auto why = notText(row, m_columns.department, m_columns.departmentWord))
                return said(*why);
        // "葉青 (2)" on the hall's screen would read as a second number.
        if (m_columns.departmentWord == QStringLiteral("桌次"))
            if (const std::optional<qint64> table = wholeNumber(g.department))
                g.department = QStringLiteral("第 %1 桌").arg(*table);
        if (g.name.isEmpty())
            return said(QStringLiteral("（號碼 %1）沒有姓名。").arg(number));
        for (const auto &[text, what] : {std::pair{g.name, QStringLiteral("姓名")},
                                         std::pair{g.department, m_columns.departmentWord}}) {
            if (const auto why = PrizeList::unshowable(text, m_display.canDraw, false))
                return said(QStringLiteral("的%1：%2。").arg(what, *why));
            if (text.size() > GuestList::MaxTextLength)
                return said(tooLong(what));
        }
        if (const auto part = m_display.tooLong ? m_display.tooLong(g) : std::nullopt) {
            const bool name = *part == GuestPart::Name;
            return said(QStringLiteral("的%1「%2」太長，抽獎畫面放不下。")
                            .arg(name ? QStringLiteral("姓名") : m_columns.departmentWord,
                                 quoted(name ? g.name : g.department)));
        }
        return g;
    }

private:
    const Display &m_display;
    const Columns &m_columns;
};
} // namespace

bool GuestList::shows(const Guest &guest, const Display &display)
{
    const Columns columns;
    QList<Problem> problems;
    const SheetRow row{1, {QStringLiteral("1"), guest.name, guest.department}, {}};
    return Checker(display, columns).check(row, 1, problems).has_value();
}

QList<int> Result::unnamed() const
{
    QList<int> out;
    for (int n = 1; n <= GuestList::MaxNumber; ++n)
        if (!guests.contains(n))
            out << n;
    return out;
}

QString Result::foundAt() const
{
    QStringList where;
    if (!sheetName.isEmpty())
        where << QStringLiteral("讀的是工作表「%1」").arg(sheetName);
    // A header on the first row goes without saying.
    if (headerRow > 1)
        where << QStringLiteral("標題在第 %1 列").arg(headerRow);
    return where.join(QStringLiteral("，"));
}

bool Result::hasDepartments() const
{
    for (const Guest &g : guests)
        if (!g.department.isEmpty())
            return true;
    return false;
}

Result GuestList::fromRows(const QList<SheetRow> &rows, const QString &path, const Display &display)
{
    Result r;
    r.path = path;
    Columns columns;
    qsizetype first = 0;
    // The header may sit under a title row ("2026 年終晚會名單"); what is above it is no list.
    for (qsizetype i = 0, seen = 0; i < rows.size() && seen < HeaderSearchRows; ++i) {
        if (isBlank(rows[i]))
            continue;
        ++seen;
        QString missing;
        if (const std::optional<Columns> c = header(rows[i], missing)) {
            if (!missing.isEmpty())
                return refused(path, QStringLiteral("名單的第 %1 列是標題列，但沒有%2欄")
                                         .arg(rows[i].number)
                                         .arg(missing));
            columns = *c;
            first = i + 1;
            r.headerRow = rows[i].number;
            break;
        }
    }
    const Checker checker(display, columns);
    QMap<int, QList<int>> rowsOf; // number → the rows that give it
    QMap<int, Guest> named;
    for (qsizetype i = first; i < rows.size(); ++i) {
        const SheetRow &row = rows[i];
        if (isBlank(row))
            continue;
        const QString cell = row.cells.value(columns.number).trimmed();
        const auto said = [&](const QString &text) {
            r.problems.append({row.number, QStringLiteral("第 %1 列").arg(row.number) + text});
        };
        const std::optional<qint64> number = wholeNumber(cell);
        if (const auto why = notText(row, columns.number, QStringLiteral("號碼"))) {
            said(*why);
        } else if (cell.isEmpty()) {
            said(QStringLiteral("沒有號碼。"));
        } else if (!number) {
            const QString shown = quoted(cell);
            if (PrizeList::unshowable(shown))
                said(QStringLiteral("的號碼不是數字。"));
            else
                said(QStringLiteral("的號碼「%1」不是數字。").arg(shown));
        } else if (*number < 1 || *number > MaxNumber) {
            said(QStringLiteral("的號碼 %1 不在 1 到 %2 之間。").arg(*number).arg(MaxNumber));
        } else {
            rowsOf[int(*number)] << row.number;
            if (const std::optional<Guest> g = checker.check(row, int(*number), r.problems))
                named.insert(int(*number), *g);
        }
    }
    for (auto it = rowsOf.cbegin(); it != rowsOf.cend(); ++it) {
        if (it.value().size() < 2) {
            if (named.contains(it.key()))
                r.guests.insert(it.key(), named[it.key()]);
            continue;
        }
        QStringList all;
        for (int row : it.value())
            all << QString::number(row);
        for (int row : it.value())
            r.problems.append(
                {row, QStringLiteral("第 %1 列的號碼 %2 重複了（第 %3 列都是這個號碼），"
                                     "這個號碼不顯示姓名。")
                          .arg(row)
                          .arg(it.key())
                          .arg(all.join(QStringLiteral("、")))});
    }
    std::stable_sort(r.problems.begin(), r.problems.end(),
                     [](const Problem &a, const Problem &b) { return a.row < b.row; });
    return r;
}

Result GuestList::parse(const QByteArray &bytes, const QString &path, const Display &display)
{
    if (Workbook::isZip(bytes) || Workbook::isCompoundFile(bytes)) {
        const Workbook::Sheet sheet = Workbook::read(bytes, {MaxRows, 16});
        if (!sheet.ok())
            return unreadable(path, sheet.reason);
        Result r = fromRows(sheet.rows, path, display);
        r.sheetName = sheet.name;
        return r;
    }
    const GuestText::Table table = GuestText::read(bytes, MaxRows);
    if (!table.ok())
        return unreadable(path, table.reason);
    return fromRows(table.rows, path, display);
}

Result GuestList::load(const QString &path, const Display &display)
{
    const SafeFile::Read file = SafeFile::read(path, Workbook::MaxFileBytes);
    switch (file.status) {
    case SafeFile::Status::Ok:
        return parse(file.bytes, path, display);
    case SafeFile::Status::Missing:
        return refused(path, QStringLiteral("找不到名單檔案"));
    case SafeFile::Status::TooLarge:
        return unreadable(
            path, QStringLiteral("檔案超過 %1 MB，不像是名單").arg(Workbook::MaxFileBytes >> 20));
    case SafeFile::Status::NotRegular:
    case SafeFile::Status::Unreadable:
        break;
    }
    return unreadable(path, file.reason);
}

QString GuestList::defaultPath(const QString &folder)
{
    // The workbook first: it is where a list is kept, and a .csv or .txt beside it is most
    // likely an older export of it. Any kind of file counts, so that a folder or a FIFO of
    // that name is reported rather than passed over for another list.
    const QDir dir(folder);
    for (const char *name : {"names.xlsx", "names.csv", "names.txt"}) {
        const QString path = dir.filePath(QLatin1String(name));
        const QFileInfo f(path);
        if (f.exists() || f.isSymLink())
            return path;
    }
    return {};
}
