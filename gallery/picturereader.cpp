#include "picturereader.h"

#include "board.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QtEndian>

namespace {
// An iPhone's photo, whatever its name says: an ISO box "ftyp" naming a HEIF brand. AVIF
// shares mif1 but is no iPhone's; it is merely unreadable.
bool isHeif(const QByteArray &head)
{
    if (head.size() < 12 || head.mid(4, 4) != "ftyp")
        return false;
    static const QList<QByteArray> brands{"heic", "heix", "hevc", "hevx",
                                          "mif1", "msf1", "heim", "heis"};
    const QByteArray major = head.mid(8, 4);
    if (major.startsWith("avi"))
        return false;
    if (brands.contains(major))
        return true;
    const qsizetype end =
        std::min<qsizetype>(qFromBigEndian<quint32>(head.constData()), head.size());
    for (qsizetype at = 16; at + 4 <= end; at += 4)
        if (brands.contains(head.mid(at, 4)))
            return true;
    return false;
}

QString unreadable()
{
    return QStringLiteral("無法讀取");
}

// libjpeg pads a JPEG cut short with grey and Qt keeps it: a half-copied photo would go on
// screen. The end marker must follow the first scan (bytes after it, as phones add, are fine).
QString jpegProblem(QFile &file)
{
    if (!file.seek(2))
        return unreadable();
    for (;;) {
        const QByteArray m = file.read(4);
        if (m.size() != 4 || uchar(m[0]) != 0xFF)
            return unreadable();
        const int length = (uchar(m[2]) << 8) | uchar(m[3]);
        if (length < 2 || !file.seek(file.pos() + length - 2))
            return unreadable();
        if (uchar(m[1]) == 0xDA)
            break;
    }
    char last = 0;
    for (;;) {
        const QByteArray chunk = file.read(1 << 16);
        if (chunk.isEmpty())
            return QStringLiteral("無法讀取（檔案不完整）");
        if ((uchar(last) == 0xFF && uchar(chunk[0]) == 0xD9) || chunk.contains("\xFF\xD9"))
            return {};
        last = chunk.back();
    }
}

// Everything short of decoding; the reader is left ready to read.
QString open(const QString &path, QFile &file, QImageReader &reader, bool whole)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        return QStringLiteral("找不到檔案");
    // Before opening: a FIFO would wait for a writer.
    if (!fi.isFile())
        return QStringLiteral("不是檔案（資料夾或特殊檔案）");
    if (fi.size() > PictureReader::MaxFileBytes)
        return QStringLiteral("檔案太大（超過 %1 MB）").arg(PictureReader::MaxFileBytes >> 20);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("無法開啟");
    const QString ext = fi.suffix().toLower();
    if (isHeif(file.peek(64)) || ext == QLatin1String("heic") || ext == QLatin1String("heif"))
        return Gallery::heicAdvice();
    if (whole && file.peek(3) == "\xFF\xD8\xFF") {
        const QString problem = jpegProblem(file);
        if (!problem.isEmpty() || !file.seek(0))
            return problem.isEmpty() ? unreadable() : problem;
    }
    reader.setDevice(&file);
    reader.setAllocationLimit(PictureReader::AllocationLimitMb);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return QStringLiteral("無法讀取（不是 JPEG、PNG、BMP 或 GIF 圖片）");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return unreadable();
    if (qint64(size.width()) * size.height() > PictureReader::MaxPixels)
        return QStringLiteral("圖片太大（%1 × %2 像素）").arg(size.width()).arg(size.height());
    return {};
}

bool turned(const QImageReader &reader)
{
    return reader.transformation() & QImageIOHandler::TransformationRotate90;
}

// "prizes/3.jpg", as the operator finds it beside the program.
QString label(const QString &path)
{
    const QFileInfo fi(path);
    const QString folder = fi.dir().dirName();
    if (folder == QLatin1String(Gallery::PrizeFolder) ||
        folder == QLatin1String(Gallery::PhotoFolder))
        return folder + u'/' + fi.fileName();
    return fi.fileName();
}
} // namespace

PictureReader::Header PictureReader::check(const QString &path)
{
    Header h;
    QFile file;
    QImageReader reader;
    h.problem = open(path, file, reader, false);
    if (h.problem.isEmpty())
        h.size = turned(reader) ? reader.size().transposed() : reader.size();
    return h;
}

QImage PictureReader::read(const QString &path, const QSize &box, QString *problem)
{
    QFile file;
    QImageReader reader;
    QString why = open(path, file, reader, true);
    QImage image;
    if (why.isEmpty()) {
        // The decoder scales before it turns the picture upright.
        if (box.isValid() && !box.isEmpty()) {
            const bool sideways = turned(reader);
            const QSize upright = sideways ? reader.size().transposed() : reader.size();
            const QSize fitted = upright.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1});
            reader.setScaledSize(sideways ? fitted.transposed() : fitted);
        }
        image = reader.read();
        if (image.isNull())
            why = unreadable();
    }
    if (problem)
        *problem = why;
    return image;
}

QString PictureReport::text() const
{
    QStringList lines{
        QStringLiteral("獎品圖片：%1 個獎品有圖片，%2 個沒有").arg(prizesWith).arg(prizesWithout),
        QStringLiteral("得獎者相片：%1 個號碼有相片，%2 個沒有")
            .arg(numbersWith)
            .arg(numbersWithout),
        QStringLiteral("標誌：%1").arg(logo ? logoFile : QStringLiteral("沒有"))};
    for (const PictureProblem &p : problems)
        lines.append(label(p.path) + QStringLiteral("：") + p.text);
    return lines.join(u'\n');
}

PictureReport PictureReport::make(const Gallery &gallery, const QStringList &prizeLines,
                                  const QMap<int, Guest> &guests, const Headers &headers)
{
    PictureReport r;
    r.problems = gallery.unmatched(prizeLines, guests);
    // A picture used for several lines is read once, and its problem told once.
    QHash<QString, bool> usable;
    const auto use = [&](const QString &path) {
        if (path.isEmpty())
            return false;
        if (!usable.contains(path)) {
            const auto known = headers.constFind(path);
            const PictureReader::Header h =
                known != headers.constEnd() ? *known : PictureReader::check(path);
            if (!h.problem.isEmpty())
                r.problems.append({path, h.problem});
            else if (h.isSmall())
                r.problems.append({path, QStringLiteral("小於 %1 像素（%2 × %3）")
                                             .arg(PictureReader::SmallSide)
                                             .arg(h.size.width())
                                             .arg(h.size.height())});
            usable.insert(path, h.problem.isEmpty());
        }
        return usable.value(path);
    };
    const QStringList prizePictures = gallery.prizePictures(prizeLines);
    for (qsizetype i = 0; i < prizeLines.size(); ++i)
        if (!prizeLines[i].trimmed().isEmpty())
            ++(use(prizePictures.value(i)) ? r.prizesWith : r.prizesWithout);
    for (const QString &photo : gallery.photos(guests))
        ++(use(photo) ? r.numbersWith : r.numbersWithout);
    r.logo = use(gallery.logo());
    if (r.logo)
        r.logoFile = QFileInfo(gallery.logo()).fileName();
    return r;
}

ScannedPictures ScannedPictures::read(const QString &folder)
{
    ScannedPictures s{Gallery::scan(folder), {}};
    QStringList paths = s.gallery.prizeFiles() + s.gallery.photoFiles();
    if (!s.gallery.logo().isEmpty())
        paths << s.gallery.logo();
    for (const QString &path : paths)
        s.headers.insert(path, PictureReader::check(path));
    return s;
}
