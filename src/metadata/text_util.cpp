#include "text_util.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace quorvela::metadata {

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToUpperAscii(c);
    return out;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
    }
    return true;
}

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Cp1252ToUtf8(std::string_view text) {
    // Code points of 0x80..0x9F in Windows-1252; 0 marks the five unassigned bytes,
    // which are kept as the C1 control of the same number.
    static constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        char32_t cp = byte;
        if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) cp = kHigh[byte - 0x80];
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::optional<std::int64_t> RoundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.0e18) return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<std::int64_t>(whole);
}

namespace {

std::string WithSeparator(std::string text, char decimalSeparator) {
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text;
}

}  // namespace

std::string FormatFixed(double value, int precision, int width, char decimalSeparator, bool leftAlign) {
    if (!std::isfinite(value)) throw std::domain_error("value is not finite");
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (result.ec != std::errc{}) throw std::domain_error("value out of range");
    std::string text = WithSeparator(std::string(buffer, result.ptr), decimalSeparator);
    if (static_cast<int>(text.size()) < width) {
        const std::string pad(static_cast<std::size_t>(width) - text.size(), ' ');
        text = leftAlign ? text + pad : pad + text;
    }
    return text;
}

std::string FormatPattern(std::string_view pattern, double value, char decimalSeparator) {
    std::string out;
    bool converted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (converted) throw std::domain_error("pattern has more than one conversion");
        std::size_t j = i + 1;
        bool leftAlign = false;
        while (j < pattern.size() &&
               (pattern[j] == '-' || pattern[j] == '0' || pattern[j] == '+' || pattern[j] == ' ')) {
            leftAlign = leftAlign || pattern[j] == '-';
            ++j;
        }
        int width = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') width = width * 10 + (pattern[j++] - '0');
        int precision = -1;
        if (j < pattern.size() && pattern[j] == '.') {
            precision = 0;
            ++j;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') {
                precision = precision * 10 + (pattern[j++] - '0');
            }
        }
        if (j >= pattern.size() || width > 64 || precision > 30) throw std::domain_error("unsupported pattern");
        const char conversion = pattern[j];
        if (conversion == 'f') {
            out += FormatFixed(value, precision < 0 ? 6 : precision, width, decimalSeparator, leftAlign);
        } else if (conversion == 'd') {
            const auto whole = RoundHalfEven(std::trunc(value));
            if (!whole) throw std::domain_error("value out of range");
            std::string digits = std::to_string(*whole);
            if (static_cast<int>(digits.size()) < width) {
                const std::string pad(static_cast<std::size_t>(width) - digits.size(), ' ');
                digits = leftAlign ? digits + pad : pad + digits;
            }
            out += digits;
        } else {
            throw std::domain_error("unsupported pattern");
        }
        converted = true;
        i = j;
    }
    return out;
}

std::string FormatGeneral(double value, char decimalSeparator) {
    if (!std::isfinite(value)) throw std::domain_error("value is not finite");
    char buffer[64];
    const double magnitude = std::fabs(value);
    std::to_chars_result result{};
    if (magnitude != 0.0 && (magnitude < 1e-5 || magnitude >= 1e15)) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    } else {
        // Fixed notation with 15 significant digits, then trailing zeros removed.
        const int intDigits = magnitude >= 1.0 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 0;
        int decimals = 15 - intDigits;
        if (magnitude < 1.0 && magnitude > 0.0) decimals = 15 - static_cast<int>(std::floor(std::log10(magnitude))) - 1;
        decimals = std::clamp(decimals, 0, 30);
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    }
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos && text.find('e') == std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return WithSeparator(text, decimalSeparator);
}

}  // namespace quorvela::metadata
