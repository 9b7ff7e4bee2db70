#pragma once

class QString;
class QTextStream;

// What a hostile guest list costs before it is refused: 10 MB of line ends as names.csv, a
// 10-million-character name, a small workbook with a 30-million-digit cell. Each is read in
// a fresh process, so that its peak memory is its own.
void runBoundedBench(QTextStream &out, const QString &self);
// The child side: reads the list at path, prints "cpu-seconds peak-KiB-above-start reason".
int runBoundedChild(const QString &path);
