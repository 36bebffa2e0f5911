#include "charts/engine/number_format.h"

#include <charconv>
#include <cmath>
#include <cstddef>

namespace quorvela::charts {
namespace {

struct Picture {
    std::string prefix;
    std::string suffix;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
};

bool IsDigitPlaceholder(char c) {
    return c == '0' || c == '#';
}

Picture ParsePicture(std::string_view text) {
    Picture p;
    bool seenDigits = false;
    bool inDecimals = false;
    bool afterDigits = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& literal = seenDigits ? p.suffix : p.prefix;
        if (c == '\'' || c == '"') {
            const std::size_t end = text.find(c, i + 1);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end;
            literal.append(text.substr(i + 1, stop - i - 1));
            i = stop;
            if (seenDigits) afterDigits = true;
            continue;
        }
        const bool digitPart = !afterDigits && (IsDigitPlaceholder(c) || c == ',' || (c == '.' && !inDecimals));
        if (!digitPart) {
            literal.push_back(c);
            if (seenDigits) afterDigits = true;
            continue;
        }
        seenDigits = true;
        if (c == '.') {
            inDecimals = true;
        } else if (c == ',') {
            if (!inDecimals) p.grouping = true;
        } else if (inDecimals) {
            ++p.maxDecimals;
            if (c == '0') p.minDecimals = p.maxDecimals;
        } else if (c == '0') {
            ++p.minIntegerDigits;
        }
    }
    return p;
}

std::string Group(const std::string& digits, const std::string& separator) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out.push_back(digits[i]);
    }
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view picture, double value, const NumberSeparators& separators) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    const Picture p = ParsePicture(picture);

    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, p.maxDecimals);
    std::string fixed(buffer, result.ptr);

    std::string integer = fixed;
    std::string decimals;
    if (const auto dot = fixed.find('.'); dot != std::string::npos) {
        integer = fixed.substr(0, dot);
        decimals = fixed.substr(dot + 1);
    }
    while (static_cast<int>(decimals.size()) > p.minDecimals && decimals.back() == '0') decimals.pop_back();
    while (!integer.empty() && integer.front() == '0') integer.erase(0, 1);
    while (static_cast<int>(integer.size()) < p.minIntegerDigits) integer.insert(0, 1, '0');

    const bool isZero =
        integer.find_first_not_of('0') == std::string::npos && decimals.find_first_not_of('0') == std::string::npos;
    std::string out = p.prefix;
    if (value < 0 && !isZero) out += '-';
    out += p.grouping ? Group(integer, separators.Thousands) : integer;
    if (!decimals.empty()) {
        out += separators.Decimal;
        out += decimals;
    }
    out += p.suffix;
    return out;
}

}  // namespace quorvela::charts
