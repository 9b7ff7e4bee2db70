#pragma once

class QTextStream;

// How fast the bingo window's display rolls on the event loop, beside a bare timer
// that does nothing but the same display update.
void runBingoBench(QTextStream &out);
