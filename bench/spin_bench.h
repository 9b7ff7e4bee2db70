#pragma once

class QTextStream;

// Runs real spins on the event loop and compares them with their nominal length.
void runSpinBench(QTextStream &out);
