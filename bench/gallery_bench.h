#pragma once

class QString;
class QTextStream;

// What 112 phone photos beside the program cost (56 prizes and 56 winners, 4000 × 3000 JPEGs
// made in a temporary folder): the start check reading their headers against a folder with
// none, decoding them all at the show's size, and the memory that takes. The loading runs in
// a fresh process, so that its peak memory is its own.
void runGalleryBench(QTextStream &out, const QString &self);
// The child side: prints "headers-ms none-ms decode-ms peak-KiB-before peak-KiB-after".
int runGalleryChild(const QString &dir);

// Each hostile picture (a decompression bomb, cut or noisy JPEGs, a 200 MB file, a folder, a
// FIFO, an animated GIF, a CMYK JPEG, an iPhone's HEIC) checked and read at the show's size in
// a fresh process: the CPU each takes and the process's peak memory.
void runHostilePicturesBench(QTextStream &out, const QString &self);
// The child side: one line per file, "name cpu-ms problem", then "peak KiB".
int runHostilePicturesChild(const QString &dir);
