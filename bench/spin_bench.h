#pragma once

class QTextStream;

// Runs real spins on the event loop and compares them with their nominal length.
void runSpinBench(QTextStream &out);
// The prize window growing in the hall, alone (also part of the spin's figures).
void runGrowthBench(QTextStream &out);
// The light's step and the prize's growth with the hall's show beside the board.
void runShowBench(QTextStream &out);
