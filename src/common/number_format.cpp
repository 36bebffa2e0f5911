#include "common/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/ascii.h"

namespace quorvela::common {

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
                if (leftAlign) {
                    digits += pad;
                } else {
                    digits.insert(0, pad);
                }
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

std::string GroupThousands(std::int64_t value) {
    // Written from the last digit back: inserting into the middle of a text trips GCC's false
    // overlap warning (bug 105329).
    const std::string digits = std::to_string(value);
    const std::size_t sign = value < 0 ? 1 : 0;
    std::string reversed;
    for (std::size_t i = digits.size(), n = 0; i > sign; --i, ++n) {
        if (n > 0 && n % 3 == 0) reversed.push_back(',');
        reversed.push_back(digits[i - 1]);
    }
    if (sign != 0) reversed.push_back('-');
    return {reversed.rbegin(), reversed.rend()};
}

bool IsZeroLengthText(std::string_view text) {
    text = Trim(text);
    bool digit = false;
    for (const char c : text) {
        if (c == '0') {
            digit = true;
        } else if (c == '.' || c == ',') {
            continue;
        } else if (c >= '1' && c <= '9') {
            return false;
        } else {
            break;
        }
    }
    return digit;
}

}  // namespace quorvela::common
