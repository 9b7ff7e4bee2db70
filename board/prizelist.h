#pragma once

#include "textdecoding.h"

#include <QString>
#include <QStringList>

#include <functional>

// Reads the prize list once at start-up. A list that cannot be trusted is refused with
// a message naming the file: a garbled prize read out at the party is worse than an
// error before it.
namespace PrizeList {
inline constexpr int MaxLines = 56;
inline constexpr qint64 MaxBytes = 1024 * 1024;
// Far more than the prize window shows even at its smallest type; it keeps absurd lines
// away from text measuring and from the board's hidden text box.
inline constexpr int MaxLineLength = 1000;

enum class Error
{
    None,
    Missing,
    Unreadable, // also a folder, a FIFO or a device: the message says which
    TooLarge,
    TooManyLines,
    NulByte,
    BadText,
    Simplified,  // GBK / GB18030: the announcement would be garbled
    ControlChar, // per line, like the two below
    NoGlyph,
    TooLong
};

using Encoding = TextDecoding::Encoding;

struct Result
{
    QStringList lines;
    Error error = Error::None;
    int errorLine = 0; // 1-based, for the errors found in one line
    QString message;   // Traditional Chinese, names the file's full path
    Encoding encoding = Encoding::Utf8;
    bool ok() const { return error == Error::None; }
};

// What the prize window can show. Left empty, only the rules that need no fonts apply.
struct Display
{
    std::function<bool(char32_t)> canDraw;
    std::function<bool(const QString &)> fits;
};

Result load(const QString &path, const Display &display = {});
// The same rules applied to bytes already read; path only names the file in messages.
Result parse(const QByteArray &bytes, const QString &path, const Display &display = {});

// What the operator should know before the board opens: too few prizes, prizes without
// text, a consolation prize spoilt by trailing blanks. Empty when there is nothing to ask.
QStringList startWarnings(const QStringList &lines);
// The warnings and the question asked under them.
QString startQuestion(const QStringList &warnings);
} // namespace PrizeList
