#include "workbook_bench.h"

#include "board.h"
#include "guestbook.h"
#include "guestlist.h"
#include "workbookwriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {
constexpr int Runs = 21;

// Rows of a number and a name, and further columns of text no list needs, to the size asked.
QByteArray workbook(int rows, int extraColumns)
{
    QRandomGenerator random(36);
    const auto text = [&random](int length) {
        QString s;
        for (int i = 0; i < length; ++i)
            s += QChar(char16_t(0x4E00 + random.bounded(0x5000)));
        return s;
    };
    QStringList header{QStringLiteral("號碼"), QStringLiteral("姓名"), QStringLiteral("部門")};
    for (int c = 0; c < extraColumns; ++c)
        header << QStringLiteral("備註%1").arg(c + 1);
    QList<QList<Workbook::Cell>> body;
    for (int r = 0; r < rows; ++r) {
        QList<Workbook::Cell> row{double(r % Board::Cells + 1), text(3), text(4)};
        for (int c = 0; c < extraColumns; ++c)
            row << text(12);
        body << row;
    }
    return Workbook::write(QStringLiteral("名單"), header, body).bytes;
}

// The median of Runs reads, in milliseconds, with the checks the program makes of every name
// (a face for each character, room on the show).
double medianRead(const QString &path)
{
    QList<double> ms;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer t;
        t.start();
        const GuestList::Result r = GuestList::load(path, GuestBook::display());
        ms << t.nsecsElapsed() / 1e6;
        if (!r.ok())
            return -1;
    }
    std::sort(ms.begin(), ms.end());
    return ms[Runs / 2];
}
} // namespace

void runWorkbookBench(QTextStream &out)
{
    QTemporaryDir dir;
    out << "\n**Guest list** (the median of " << Runs
        << " reads of names.xlsx, each name checked against the show's faces and room)\n\n";
    out << "| workbook | size | read | target |\n|---|---|---|---|\n";
    const struct
    {
        const char *what;
        int rows;
        int extra;
        double target;
    } cases[] = {{"56 rows, as read at start-up", Board::Cells, 0, 30},
                 {"about 1 MB", 4000, 8, 300}};
    for (const auto &c : cases) {
        const QString path = dir.filePath(QStringLiteral("names-%1.xlsx").arg(c.rows));
        const QByteArray bytes = workbook(c.rows, c.extra);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return;
        f.close();
        out << QStringLiteral("| %1 | %2 KiB | %3 ms | < %4 ms |\n")
                   .arg(QLatin1String(c.what))
                   .arg(bytes.size() / 1024)
                   .arg(medianRead(path), 0, 'f', 1)
                   .arg(c.target);
    }
}

QString writeStartupWorkbook(const QString &path)
{
    const QByteArray bytes = workbook(Board::Cells, 0);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
}
