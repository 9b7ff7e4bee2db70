#include "gifwriter.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace {

class BitWriter
{
public:
    void put(int code, int width)
    {
        m_acc |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_out.append(char(m_acc & 0xff));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_out.append(char(m_acc & 0xff));
        m_acc = 0;
        m_bits = 0;
        return m_out;
    }

private:
    QByteArray m_out;
    quint32 m_acc = 0;
    int m_bits = 0;
};

struct Box
{
    QList<QPair<QRgb, int>> colours; // colour and how many pixels have it

    int channel(QRgb c, int ch) const { return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c); }
    int range(int ch) const
    {
        int lo = 255, hi = 0;
        for (const auto &[c, n] : colours) {
            lo = std::min(lo, channel(c, ch));
            hi = std::max(hi, channel(c, ch));
        }
        return hi - lo;
    }
    qint64 pixels() const
    {
        qint64 sum = 0;
        for (const auto &entry : colours)
            sum += entry.second;
        return sum;
    }
    QRgb mean() const
    {
        qint64 r = 0, g = 0, b = 0;
        const qint64 n = pixels();
        for (const auto &[c, count] : colours) {
            r += qint64(qRed(c)) * count;
            g += qint64(qGreen(c)) * count;
            b += qint64(qBlue(c)) * count;
        }
        return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
    }
};

QList<QRgb> medianCut(const QHash<QRgb, int> &histogram, int size)
{
    QList<Box> boxes(1);
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        boxes[0].colours.append({it.key(), it.value()});
    // Hash order changes from run to run; sorting keeps the palette, and the file, the same.
    std::sort(boxes[0].colours.begin(), boxes[0].colours.end());
    while (boxes.size() < size) {
        // Split the box whose widest channel spread, weighted by its pixels, is largest.
        qsizetype best = -1;
        double bestScore = 0;
        int bestChannel = 0;
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                const double score =
                    double(boxes[i].range(ch)) * std::sqrt(double(boxes[i].pixels()));
                if (score > bestScore) {
                    bestScore = score;
                    best = i;
                    bestChannel = ch;
                }
            }
        }
        if (best < 0)
            break;
        Box &box = boxes[best];
        std::stable_sort(box.colours.begin(), box.colours.end(), [&](const auto &a, const auto &b) {
            return box.channel(a.first, bestChannel) < box.channel(b.first, bestChannel);
        });
        const qint64 half = box.pixels() / 2;
        qint64 seen = 0;
        qsizetype cut = 1;
        for (; cut < box.colours.size() - 1; ++cut) {
            seen += box.colours[cut - 1].second;
            if (seen >= half)
                break;
        }
        Box upper;
        upper.colours = box.colours.mid(cut);
        box.colours.resize(cut);
        boxes.append(upper);
    }
    QList<QRgb> palette;
    for (const Box &b : boxes)
        palette.append(b.mean());
    return palette;
}

int nearest(const QList<QRgb> &palette, QRgb c)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (qsizetype i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]);
        const int dg = qGreen(c) - qGreen(palette[i]);
        const int db = qBlue(c) - qBlue(palette[i]);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

void putU16(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

} // namespace

QByteArray Gif::lzw(const QByteArray &indices, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int next = end + 1;
    int width = minCodeSize + 1;
    QHash<quint32, int> table;
    BitWriter bits;
    bits.put(clear, width);
    if (indices.isEmpty()) {
        bits.put(end, width);
        return bits.finish();
    }
    int prefix = quint8(indices[0]);
    for (qsizetype i = 1; i < indices.size(); ++i) {
        const int k = quint8(indices[i]);
        const quint32 key = quint32(prefix) << 8 | quint32(k);
        const auto found = table.constFind(key);
        if (found != table.cend()) {
            prefix = found.value();
            continue;
        }
        bits.put(prefix, width);
        if (next < 4096) {
            table.insert(key, next++);
            // The reader adds its entries one code later, so it widens when it has
            // seen one code more than our table holds.
            if (next > (1 << width) && width < 12)
                ++width;
        } else {
            bits.put(clear, width);
            table.clear();
            next = end + 1;
            width = minCodeSize + 1;
        }
        prefix = k;
    }
    bits.put(prefix, width);
    // The reader adds an entry for that last code before it reads the end code.
    if (next < 4096 && next + 1 > (1 << width) && width < 12)
        ++width;
    bits.put(end, width);
    return bits.finish();
}

QByteArray Gif::encode(const QList<Frame> &frames)
{
    if (frames.isEmpty())
        throw std::runtime_error("no frames");
    const QSize size = frames.first().image.size();

    QList<QImage> images;
    QHash<QRgb, int> histogram;
    for (const Frame &f : frames) {
        if (f.image.size() != size)
            throw std::runtime_error("frames differ in size");
        QImage img = f.image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                ++histogram[line[x] | 0xff000000u];
        }
        images.append(img);
    }
    QList<QRgb> palette = histogram.size() <= 256 ? histogram.keys() : medianCut(histogram, 256);
    std::sort(palette.begin(), palette.end());
    while (palette.size() < 256)
        palette.append(qRgb(0, 0, 0));

    QHash<QRgb, int> lookup;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        lookup.insert(it.key(), nearest(palette, it.key()));

    QByteArray out("GIF89a");
    putU16(out, size.width());
    putU16(out, size.height());
    out.append(char(0xf7)); // global table of 256 entries, 8 bits per primary
    out.append(char(0));
    out.append(char(0));
    for (QRgb c : palette) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
    putU16(out, 0); // loop forever
    out.append(char(0));

    for (qsizetype i = 0; i < frames.size(); ++i) {
        out.append("\x21\xf9\x04", 3);
        out.append(char(1 << 2)); // leave the frame in place; every frame covers the screen
        putU16(out, frames[i].delay);
        out.append(char(0));
        out.append(char(0));

        out.append(char(0x2c));
        putU16(out, 0);
        putU16(out, 0);
        putU16(out, size.width());
        putU16(out, size.height());
        out.append(char(0));

        QByteArray indices;
        indices.reserve(qsizetype(size.width()) * size.height());
        const QImage &img = images[i];
        for (int y = 0; y < img.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                indices.append(char(lookup.value(line[x] | 0xff000000u)));
        }
        out.append(char(8));
        const QByteArray codes = lzw(indices, 8);
        for (qsizetype at = 0; at < codes.size(); at += 255) {
            const QByteArray block = codes.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3b));
    return out;
}
