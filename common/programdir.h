#pragma once

#include <QString>

// The folder the program file lies in, where gift.txt, title.txt and Atom1.gif are read.
// Found whatever the bytes of its name: a folder named in Big5, as a zip made on a Chinese
// Windows unpacks on Linux, is still this folder and never the working one.
namespace ProgramDir {
QString path();
} // namespace ProgramDir
