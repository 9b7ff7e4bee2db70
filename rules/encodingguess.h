#pragma once

#include "textdecoding.h"

#include <QByteArray>

// Which encoding a file without a byte-order mark is in. Several encodings may accept the
// same bytes; ICU's detector and the characters each reading gives decide, Big5 first on a
// tie since it is what Traditional Chinese Windows writes.
namespace EncodingGuess {
struct Guess
{
    enum Kind
    {
        Readable,
        Simplified,     // GBK / GB18030: it would be garbled on stage
        Western,        // Latin-1 / Windows-1252: its accented letters would turn into Chinese
        WideWithoutMark // UTF-16 that lost its byte-order mark, its byte order unclear
    } kind = Readable;
    // When Readable; UTF-16 LE or BE for UTF-16 whose mark is lost but whose order shows.
    TextDecoding::Encoding encoding = TextDecoding::Encoding::Big5;
    int line = 0; // for Western, the first line that shows it (1-based)
};

// Big5 also when nothing reads cleanly, so that its rules name the first bad line.
Guess guess(const QByteArray &bytes);
} // namespace EncodingGuess
