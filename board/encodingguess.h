#pragma once

#include "textdecoding.h"

#include <QByteArray>

#include <optional>

// Which encoding a file without a byte-order mark is in. Several encodings may accept the
// same bytes; ICU's detector and the characters each reading gives decide, Big5 first on a
// tie since it is what Traditional Chinese Windows writes.
namespace EncodingGuess {
// Nothing for a Simplified Chinese (GBK) list, which would be garbled on stage. Big5 also
// when nothing reads cleanly, so that its rules name the first bad line.
std::optional<TextDecoding::Encoding> guess(const QByteArray &bytes);
} // namespace EncodingGuess
