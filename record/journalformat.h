#pragma once

#include "boardchange.h"

#include <QString>

#include <iterator>
#include <optional>

// What a journal line says, for the writer and the reader alike.
namespace JournalFormat {
inline const QString Magic = QStringLiteral("zentavo-night");

inline constexpr BoardChange Changes[] = {BoardChange::Stop,        BoardChange::EmptyStop,
                                          BoardChange::Card,        BoardChange::Discard,
                                          BoardChange::SecondRound, BoardChange::Correction,
                                          BoardChange::Closing,     BoardChange::PrizeClosed};
inline const char *const ChangeNames[] = {"stop",  "emptystop",  "card",    "discard",
                                          "round", "correction", "closing", "prizeclosed"};

inline QString changeName(BoardChange c)
{
    for (std::size_t i = 0; i < std::size(Changes); ++i)
        if (Changes[i] == c)
            return QLatin1String(ChangeNames[i]);
    return {};
}

inline std::optional<BoardChange> changeFromName(const QString &name)
{
    for (std::size_t i = 0; i < std::size(Changes); ++i)
        if (name == QLatin1String(ChangeNames[i]))
            return Changes[i];
    return std::nullopt;
}
} // namespace JournalFormat
