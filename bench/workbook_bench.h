#pragma once

class QTextStream;

// How long the guest list takes to read: a 56-row workbook as the program reads it at
// start-up, and a workbook of about 1 MB.
void runWorkbookBench(QTextStream &out);
