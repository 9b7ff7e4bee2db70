#pragma once

#include <QImage>

// The icon motifs. Palette images use only the 16 classic Windows colours and alpha 0 or 255;
// the smooth ones are true colour with real alpha.
namespace Motifs {

QImage target(int size);               // 32 or 16
QImage targetSmooth(int size);         // any size, for the desktop
QImage lamp(int size);                 // 32 or 16
QImage chanceSmooth();                 // 32 x 32
QImage chancePalette(bool monochrome); // 32 x 32
QImage fateSmooth();
QImage fatePalette(bool monochrome);
QImage firecrackers(int size); // 32 or 16

} // namespace Motifs
