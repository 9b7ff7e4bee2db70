#pragma once

class QTextStream;

// Plays one real spin into the default PulseAudio sink while recording its monitor, and
// matches the clicks heard to the light's steps.
void runSoundBench(QTextStream &out);
