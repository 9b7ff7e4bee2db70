#pragma once

#include "board.h"
#include "textdecoding.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Reads the prize list once at start-up. A list that cannot be trusted is refused with
// a message naming the file: a garbled prize read out at the party is worse than an
// error before it.
namespace PrizeList {
// One prize for each number of the board.
inline constexpr int MaxLines = Board::Cells;
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
    DoubledCr, // too many lines, since each ends in CR CR LF and counts twice
    NulByte,
    BadText,
    Workbook,        // an Excel file renamed to .txt
    Simplified,      // GBK / GB18030: the announcement would be garbled
    Western,         // Latin-1 / Windows-1252: as garbled; the line shows where
    WideWithoutMark, // UTF-16 without its byte-order mark
    ControlChar,     // per line, like the two below; bidirectional controls too
    NoGlyph,
    TooLong
};

using Encoding = TextDecoding::Encoding;

struct Result
{
    QStringList lines;
    Error error = Error::None;
    int errorLine = 0; // 1-based, for the errors found in one line, the 57th line, and Western
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

// Which file the messages name: the title file is read with the same rules.
enum class Subject
{
    Prizes,
    Title
};

// A path ending in .xlsx is read as a workbook: the first column of its first sheet, row by
// row, under the same rules as the lines of a text file.
Result load(const QString &path, const Display &display = {}, Subject subject = Subject::Prizes);
// The same rules applied to bytes already read; path only names the file in messages.
Result parse(const QByteArray &bytes, const QString &path, const Display &display = {},
             Subject subject = Subject::Prizes);

// The lines of a workbook's first column (row n is line n), under the text file's rules.
Result fromLines(const QStringList &lines, const QString &path, const Display &display = {});

// Which prize list the program reads from its folder: gift.txt whenever it is there in any
// form (an unreadable one is reported, not passed over), else gift.xlsx, else gift.txt again
// so that the message names the file the operator knows. With both, a start warning.
struct Choice
{
    QString path;
    QString warning;
};
Choice choose(const QString &folder);

// The character rules of a line on their own, for other texts shown on stage (a guest's
// name): why the text cannot be shown, as the end of a sentence, or nothing. A tab is part
// of a prize's line; in a cell of its own it is a control like any other.
std::optional<QString> unshowable(const QString &text,
                                  const std::function<bool(char32_t)> &canDraw = {},
                                  bool tabAllowed = true);

// What the operator should know before the board opens: too few prizes, every prize in
// double quotes, prizes without text, a consolation prize spoilt by trailing blanks. Empty
// when there is nothing to ask.
QStringList startWarnings(const QStringList &lines);
// The warnings and the question asked under them; past a few warnings, how many more, so
// that the box stays on a small screen.
inline constexpr int ListedWarnings = 8;
QString startQuestion(const QStringList &warnings);
} // namespace PrizeList
