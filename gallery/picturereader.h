#pragma once

#include "gallery.h"

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

// Pictures from outside, read under caps: a file over MaxFileBytes, a picture over
// MaxPixels or a format Qt cannot read is refused before any decoding; decoding happens at
// the size it is shown at, upright as the camera held it (EXIF orientation).
namespace PictureReader {
constexpr qint64 MaxFileBytes = qint64(50) << 20;
constexpr qint64 MaxPixels = 50'000'000;
// Smaller than this on its longer side, a picture looks poor on a projector.
constexpr int SmallSide = 400;
// What QImageReader may allocate for one picture, in MB.
constexpr int AllocationLimitMb = 128;

struct Header
{
    QSize size; // upright
    QString problem;
    bool isSmall() const
    {
        return size.isValid() && std::max(size.width(), size.height()) < SmallSide;
    }
};
// Only the header: kind, size, orientation.
Header check(const QString &path);
// Fitted into box, its shape kept, never cropped; a null image with the problem when it
// cannot be read.
QImage read(const QString &path, const QSize &box, QString *problem = nullptr);
} // namespace PictureReader

// How tonight's pictures stand, for the start check and 檢視 → 圖片….
struct PictureReport
{
    int prizesWith = 0;
    int prizesWithout = 0;
    int numbersWith = 0; // of the numbers 1..56
    int numbersWithout = 0;
    bool logo = false;
    QString logoFile; // its file name, when logo
    QList<PictureProblem> problems;
    bool isEmpty() const
    {
        return prizesWith == 0 && numbersWith == 0 && !logo && problems.isEmpty();
    }
    // One line a count, then a line a problem: "檔名：原因".
    QString text() const;
    using Headers = QHash<QString, PictureReader::Header>;
    // headers: those already read (read here otherwise).
    static PictureReport make(const Gallery &gallery, const QStringList &prizeLines,
                              const QMap<int, Guest> &guests, const Headers &headers = {});
};

// The folder and every picture's header, read at start on a thread of their own while the
// board is built.
struct ScannedPictures
{
    Gallery gallery;
    PictureReport::Headers headers;
    static ScannedPictures read(const QString &folder);
};
