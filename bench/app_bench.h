#pragma once

class QString;
class QTextStream;

// Start-up, memory and idle figures of the whole program beside a bare window, each
// measured in a fresh process; and the prize list's load time.
void runAppBench(QTextStream &out, const QString &self);
// Only the start-up figure, from the given number of board and bare processes taking turns:
// a quick check while the board's construction changes. On a busy machine the pairs'
// ratios hold steadier than the times themselves.
void runStartupBench(QTextStream &out, const QString &self, int pairs);
// The child side: "board", "bare", "named:FILE" (the board with that guest list) or
// "pictures:FOLDER" (the board with the pictures in that folder, checked and handed to the
// night as the program does before its first paint); prints one line of figures and returns.
int runAppChild(const QString &kind, int idleSeconds);

struct AppChildFigures
{
    double startupMs = 0; // from launching the process to the window's first paint
    double peakMiB = 0;   // after the first paint
    double idleCpuPercent = 0;
};
// One fresh child process of the given kind.
AppChildFigures runAppChildProcess(const QString &self, const QString &kind, int idleSeconds);
