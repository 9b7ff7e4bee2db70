#include "bounded_bench.h"

#include "board.h"
#include "guestlist.h"
#include "listlimits.h"
#include "procstats.h"
#include "workbookparts.h"

#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
// Under every cap, and as slow as a list can be to decode: each row a number and a long
// name of common characters.
QByteArray chinese(const char *encoding)
{
    QString name;
    for (int i = 0; i < 300; ++i)
        name += QChar(char16_t(0x4E00 + (i * 37) % 0x2000));
    QString text;
    for (int r = 1; r <= ListLimits::Rows; ++r)
        text += QString::number(r % Board::Cells + 1) + u',' + name + QStringLiteral("\r\n");
    QStringEncoder e(encoding);
    return e.encode(text);
}
// Every tab hidden but the last, every format looked up: nothing may cost the product of two
// counts.
QByteArray manyTabs()
{
    constexpr int Tabs = 90000;
    Parts parts = sheetParts("<row><c><v>1</v></c></row>", {}, [] {
        QByteArray formats = "<numFmts>";
        QByteArray cells = "<cellXfs>";
        for (int i = 0; i < Tabs; ++i) {
            const QByteArray id = QByteArray::number(164 + i);
            formats += "<numFmt numFmtId=\"" + id + "\" formatCode=\"d\"/>";
            cells += "<xf numFmtId=\"" + id + "\"/>";
        }
        return formats + "</numFmts>" + cells + "</cellXfs>";
    }());
    QByteArray sheets = "<workbook xmlns:r=\"" + Rel + "\"><sheets>";
    QByteArray rels = "<Relationships>";
    for (int i = 0; i < Tabs; ++i) {
        const QByteArray id = "h" + QByteArray::number(i);
        sheets += "<sheet name=\"" + id + "\" state=\"hidden\" r:id=\"" + id + "\"/>";
        rels += relationship(id, "worksheet", "worksheets/sheet1.xml");
    }
    parts[1].second = sheets + "<sheet name=\"s\" r:id=\"rId1\"/></sheets></workbook>";
    parts[2].second.replace("<Relationships>", rels);
    return zipOf(parts);
}
// Every cell as long as a cell may be, shared: small to store, costly to look at.
QByteArray longStrings()
{
    constexpr int Strings = 1000;
    QByteArray rows;
    for (int r = 1; r <= ListLimits::Rows; ++r) {
        rows += "<row>";
        for (int c = 0; c < 16; ++c)
            rows += "<c t=\"s\"><v>" + QByteArray::number((r * 16 + c) % Strings) + "</v></c>";
        rows += "</row>";
    }
    return workbookOf(rows, ("<si><t>" + QByteArray(32000, 'a') + "</t></si>").repeated(Strings));
}
} // namespace

int runBoundedChild(const QString &path)
{
    const qint64 before = ProcStats::peakKiB();
    const double t0 = ProcStats::cpuSeconds();
    const GuestList::Result r = GuestList::load(path);
    const double cpu = ProcStats::cpuSeconds() - t0;
    QTextStream(stdout) << cpu << ' ' << (ProcStats::peakKiB() - before) << ' '
                        << QString(r.refusal).replace(u'\n', u' ') << '\n';
    return 0;
}

void runBoundedBench(QTextStream &out, const QString &self)
{
    QTemporaryDir dir;
    out << "\n**Hostile guest lists** (each read once in a fresh process; peak memory above "
           "the process's own before reading; the caps: 1 s of processor time, 100 MB)\n\n";
    out << "| file | size | processor | peak memory | said |\n|---|---|---|---|---|\n";
    const struct
    {
        const char *what;
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"10 MB of line ends", "names.csv", QByteArray(10 << 20, '\n')},
        {"a 10-million-character name", "names.csv", "1," + QByteArray(10'000'000, 'a')},
        {"10 MB of commas", "names.csv", QByteArray(10 << 20, ',')},
        {"a workbook cell of 30 million digits", "names.xlsx",
         workbookOf("<row><c><v>" + QByteArray(30'000'000, '7') + "</v></c></row>")},
        {"90 000 hidden tabs, 90 000 date formats", "names.xlsx", manyTabs()},
        {"10 000 rows of 16 cells of 32 000 characters", "names.xlsx", longStrings()},
        {"10 000 rows of 300 Chinese characters, UTF-8", "names.csv", chinese("UTF-8")},
        {"the same in Big5", "names.csv", chinese("Big5")},
        {"the same in UTF-16 without its byte-order mark", "names.txt", chinese("UTF-16LE")},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        if (!write(path, c.bytes))
            return;
        QProcess p;
        p.start(self, {QStringLiteral("bounded-child"), path});
        p.waitForFinished(120000);
        const QStringList f = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(u' ');
        out << QStringLiteral("| %1 | %2 KiB | %3 s | %4 MB | %5 |\n")
                   .arg(QLatin1String(c.what))
                   .arg(c.bytes.size() / 1024)
                   .arg(f.value(0).toDouble(), 0, 'f', 2)
                   .arg(f.value(1).toLongLong() / 1024.0, 0, 'f', 1)
                   .arg(f.mid(2)
                            .join(u' ')
                            .section(QStringLiteral("（"), 1)
                            .section(QStringLiteral("）"), 0, 0));
    }
}
