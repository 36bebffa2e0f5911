#include "dates.h"

#include <array>
#include <cstddef>

namespace quorvela::analysis {

namespace {

bool DigitsAt(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::optional<CalendarDay> CheckedDay(int year, int month, int day) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return std::nullopt;
    const int last = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day > last) return std::nullopt;
    return CalendarDay{year, month, day};
}

// "YYYY?MM?DD" with `separator` for "?".
std::optional<CalendarDay> DayWith(std::string_view text, char separator) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() < 10 || text[4] != separator || text[7] != separator) return std::nullopt;
    if (!DigitsAt(text, 0, 4, year) || !DigitsAt(text, 5, 2, month) || !DigitsAt(text, 8, 2, day)) return std::nullopt;
    return CheckedDay(year, month, day);
}

}  // namespace

std::optional<CalendarDay> ParseDay(std::string_view text) {
    if (text.size() != 10) return std::nullopt;
    return DayWith(text, '-');
}

std::optional<CalendarDay> ParseExifDay(std::string_view text) {
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.remove_suffix(1);
    const auto day = DayWith(text, ':');
    if (!day || text.size() == 10) return day;
    int hour = 0;
    int minute = 0;
    int second = 0;
    // The time part: " HH:MM:SS", a second of 60 for a leap second.
    if (text.size() < 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':') return std::nullopt;
    if (!DigitsAt(text, 11, 2, hour) || !DigitsAt(text, 14, 2, minute) || !DigitsAt(text, 17, 2, second)) {
        return std::nullopt;
    }
    if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
    return day;
}

}  // namespace quorvela::analysis
