#pragma once

#include <QByteArray>

// The program's sounds, synthesised, as 16-bit mono WAV files at Rate.
namespace Sounds {
constexpr int Rate = 24000;

QByteArray click();
QByteArray chime();
QByteArray fanfare();
QByteArray consolation();
QByteArray closing();
QByteArray ding();
// Loops without a seam: its length is a whole number of beats.
QByteArray roll();
} // namespace Sounds
