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
// The child side: "board" or "bare"; prints one line of figures and returns.
int runAppChild(const QString &kind, int idleSeconds);
