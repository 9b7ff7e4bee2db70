#pragma once

#include <QString>
#include <QStringList>

// Reads the prize list once at start-up. A list that cannot be trusted is refused with
// a message naming the file: a garbled prize read out at the party is worse than an
// error before it.
namespace PrizeList {
inline constexpr int MaxLines = 56;
inline constexpr qint64 MaxBytes = 1024 * 1024;

enum class Error
{
    None,
    Missing,
    Unreadable,
    TooLarge,
    TooManyLines,
    NulByte,
    BadText
};

struct Result
{
    QStringList lines;
    Error error = Error::None;
    int errorLine = 0; // 1-based, for NulByte and BadText
    QString message;   // Traditional Chinese, names the file's full path
    bool ok() const { return error == Error::None; }
};

Result load(const QString &path);
// The same rules applied to bytes already read; path only names the file in messages.
Result parse(const QByteArray &bytes, const QString &path);
} // namespace PrizeList
