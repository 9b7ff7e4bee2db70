#include "workbookwriter.h"

#include "cfilename.h"
#include "listlimits.h"
#include "safefile.h"

#include <QTemporaryDir>

#include <xlsxwriter.h>

using Workbook::Cell;
using Workbook::Written;

namespace {
constexpr int MinWidth = 6;
constexpr int MaxWidth = 80;

Written failed(const QString &reason)
{
    Written w;
    w.reason = reason;
    return w;
}

// Excel refuses a sheet name with []:*?/\ in it or longer than 31 characters.
QByteArray sheetName(const QString &name)
{
    QString n = name.left(31);
    for (QChar &c : n)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = u'_';
    return n.toUtf8();
}

QString cellText(const Cell &cell)
{
    if (const QString *text = std::get_if<QString>(&cell))
        return *text;
    return QString::number(std::get<double>(cell), 'g', 15);
}
} // namespace

int Workbook::displayWidth(const QString &text)
{
    int width = 0;
    for (char32_t u : text.toUcs4()) {
        // Hangul Jamo, the CJK blocks from radicals to Yi and Hangul syllables, the
        // compatibility ideographs and forms, and full-width forms; not half-width katakana.
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x20000 && u <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

bool Workbook::looksLikeFormula(const QString &f)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    qsizetype at = 0;
    while (at < f.size() && (f[at] == u'"' || f[at].isSpace()) && !formulaStarts.contains(f[at]))
        ++at;
    return at < f.size() && formulaStarts.contains(f[at]);
}

Written Workbook::write(const QString &name, const QStringList &header,
                        const QList<QList<Cell>> &rows)
{
    // libxlsxwriter writes to a file by name: one of our own, read back whole, so that the
    // caller saves it the same careful way as any other record.
    QTemporaryDir dir;
    if (!dir.isValid())
        return failed(QStringLiteral("無法建立暫存資料夾"));
    const QByteArray file = CFileName::of(dir.path(), QStringLiteral("record.xlsx"));
    QByteArray tmp = CFileName::of(dir.path());
    lxw_workbook_options options = {};
    options.tmpdir = tmp.data();
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return failed(QStringLiteral("無法建立活頁簿"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, sheetName(name).constData());
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    // Text format ("@"): an edit of the cell in Excel stays text. Debian's libxlsxwriter
    // (1.1.4) has no quote prefix, which would do the same.
    lxw_format *asText = workbook_add_format(book);
    format_set_num_format_index(asText, 49);

    lxw_error error = LXW_NO_ERROR;
    QList<int> widths(header.size(), MinWidth);
    const auto fit = [&widths](qsizetype column, int width) {
        if (column >= widths.size())
            widths.resize(column + 1, MinWidth);
        widths[column] = qBound(widths[column], width + 2, MaxWidth);
    };
    for (qsizetype c = 0; c < header.size() && !error; ++c) {
        error =
            worksheet_write_string(sheet, 0, lxw_col_t(c), header[c].toUtf8().constData(), bold);
        fit(c, displayWidth(header[c]) + 1);
    }
    for (qsizetype r = 0; r < rows.size() && !error; ++r) {
        const auto at = lxw_row_t(r + 1);
        for (qsizetype c = 0; c < rows[r].size() && !error; ++c) {
            const Cell &cell = rows[r][c];
            if (const QString *text = std::get_if<QString>(&cell)) {
                if (!text->isEmpty())
                    error = worksheet_write_string(
                        sheet, at, lxw_col_t(c),
                        text->left(ListLimits::CellText).toUtf8().constData(),
                        looksLikeFormula(*text) ? asText : nullptr);
            } else {
                error = worksheet_write_number(sheet, at, lxw_col_t(c), std::get<double>(cell),
                                               nullptr);
            }
            fit(c, displayWidth(cellText(cell)));
        }
    }
    for (qsizetype c = 0; c < widths.size() && !error; ++c)
        error = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    if (!error)
        worksheet_freeze_panes(sheet, 1, 0);
    // Closing frees the workbook, whether or not it was written.
    const lxw_error closed = workbook_close(book);
    if (error || closed)
        return failed(QStringLiteral("活頁簿寫不出來（libxlsxwriter 錯誤 %1）")
                          .arg(int(error ? error : closed)));
    const SafeFile::Read read =
        SafeFile::read(dir.filePath(QStringLiteral("record.xlsx")), 256 * 1024 * 1024);
    if (!read.ok())
        return failed(read.reason.isEmpty() ? QStringLiteral("活頁簿寫不出來") : read.reason);
    Written w;
    w.ok = true;
    w.bytes = read.bytes;
    return w;
}
