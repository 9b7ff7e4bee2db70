#pragma once

class QString;
class QTextStream;

// Start-up, memory and idle figures of the whole program beside a bare window, each
// measured in a fresh process; and the prize list's load time.
void runAppBench(QTextStream &out, const QString &self);
// The child side: "board" or "bare"; prints one line of figures and returns.
int runAppChild(const QString &kind, int idleSeconds);
