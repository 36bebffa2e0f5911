#pragma once

#include <optional>
#include <string_view>

namespace quorvela::analysis {

// A calendar day, comparable as a number YYYYMMDD.
struct CalendarDay {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    [[nodiscard]] int Number() const { return Year * 10000 + Month * 100 + Day; }
    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};

// "YYYY-MM-DD", exactly so, a day that exists (2026-02-30 does not). nullopt otherwise.
std::optional<CalendarDay> ParseDay(std::string_view text);

// The day of an EXIF date "YYYY:MM:DD HH:MM:SS"; the time, when present, must be well formed
// too. nullopt for "0000:00:00 00:00:00", blanks and other malformed dates.
std::optional<CalendarDay> ParseExifDay(std::string_view text);

}  // namespace quorvela::analysis
