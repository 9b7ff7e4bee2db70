#pragma once

#include <QString>

class QTextStream;

// How long the guest list takes to read: a 56-row workbook as the program reads it at
// start-up, and a workbook of about 1 MB.
void runWorkbookBench(QTextStream &out);
// A 56-row guest list as names.xlsx at path, for the start-up's figures; empty on failure.
QString writeStartupWorkbook(const QString &path);
