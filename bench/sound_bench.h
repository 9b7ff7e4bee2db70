#pragma once

class QString;
class QTextStream;

// Plays one real spin into the default PulseAudio sink while recording its monitor, and
// matches the clicks heard to the light's steps. The recording is the raw file named, as
// parec writes it (s16le, 24 kHz, mono) while the bench runs, or else one of its own.
void runSoundBench(QTextStream &out, const QString &recording);
