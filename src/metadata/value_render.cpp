#include "value_render.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "common/ascii.h"
#include "common/number_format.h"
#include "end_ind.h"
#include "tag_entry.h"

namespace quorvela::metadata {

std::int32_t BytesToInt(ByteView raw, bool bigEndian) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::uint8_t byte = bigEndian ? raw[i] : raw[raw.size() - 1 - i];
        value = (value << 8) | byte;
    }
    return static_cast<std::int32_t>(value);
}

namespace {

bool IsIntegerType(int type) {
    return type == 1 || type == 3 || type == 4 || type == 6 || type == 8 || type == 9;
}

// Numerator and denominator of the rational at the start of `raw`. RATIONAL parts are
// unsigned 32-bit numbers; only SRATIONAL parts are signed.
std::pair<std::int64_t, std::int64_t> RationalParts(ByteView raw, int type, bool bigEndian) {
    const std::int32_t num = BytesToInt(raw.subspan(0, 4), bigEndian);
    const std::int32_t den = BytesToInt(raw.subspan(4, 4), bigEndian);
    if (type == 5) return {static_cast<std::uint32_t>(num), static_cast<std::uint32_t>(den)};
    return {num, den};
}

// The decimal digits of a number, without a temporary text: a maker note's list of 128
// numbers is rendered with one text.
class Digits {
  public:
    explicit Digits(std::int64_t value)
        : size_(static_cast<std::size_t>(std::to_chars(buffer_.data(), buffer_.data() + buffer_.size(), value).ptr -
                                         buffer_.data())) {}
    [[nodiscard]] std::string_view View() const { return {buffer_.data(), size_}; }

  private:
    std::array<char, 24> buffer_{};
    std::size_t size_;
};

void AppendNumber(std::string& out, std::int64_t value) {
    out += Digits(value).View();
}

}  // namespace

double NumericValue(ByteView raw, int type, bool bigEndian) {
    if (IsIntegerType(type)) return BytesToInt(raw, bigEndian);
    if (type == 5 || type == 10) {
        if (raw.size() < 8) return 0.0;
        const auto [num, den] = RationalParts(raw, type, bigEndian);
        return den == 0 ? 0.0 : static_cast<double>(num) / static_cast<double>(den);
    }
    if (type == 11 && raw.size() >= 4) {
        return std::bit_cast<float>(LoadU32(raw.data(), bigEndian));
    }
    if (type == 12 && raw.size() >= 8) {
        const std::uint64_t hi = LoadU32(raw.data() + (bigEndian ? 0 : 4), bigEndian);
        const std::uint64_t lo = LoadU32(raw.data() + (bigEndian ? 4 : 0), bigEndian);
        return std::bit_cast<double>((hi << 32) | lo);
    }
    return 0.0;
}

std::string RenderValue(ByteView raw, int type, std::string_view codeList, std::string_view pattern, bool bigEndian,
                        char decimalSeparator) {
    const int size = TypeSize(type);
    if (size == 0) return "0";
    const std::size_t n = std::min<std::size_t>(raw.size() / static_cast<std::size_t>(size), 128);
    // A value cut away by the end of its block has no number: an empty text, not a made-up 0.
    if (n == 0) return {};
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        const ByteView piece = raw.subspan(i * static_cast<std::size_t>(size), static_cast<std::size_t>(size));
        if (!text.empty()) text += ", ";
        if (IsIntegerType(type)) {
            const std::int32_t v = BytesToInt(piece, bigEndian);
            if (codeList.empty()) {
                AppendNumber(text, v);
            } else {
                text += LookupCodeText(codeList, v);
            }
        } else if (type == 5 || type == 10) {
            const auto [num, den] = RationalParts(piece, type, bigEndian);
            AppendNumber(text, num);
            text += '/';
            AppendNumber(text, den);
            if (!codeList.empty()) text += LookupCodeText(codeList, text);
        } else if (type == 11 || type == 12) {
            text += "-9999.99";
        } else {
            text += '?';
        }
    }
    if (pattern.empty()) return text;
    if (const auto at = pattern.find("%s"); at != std::string_view::npos) {
        return std::string(pattern.substr(0, at)) + text + std::string(pattern.substr(at + 2));
    }
    return common::FormatPattern(pattern, NumericValue(raw, type, bigEndian), decimalSeparator);
}

std::string LookupCodeText(std::string_view codeList, std::string_view key) {
    // The first ",key:" of "," + codeList + ",", found without building either text: the key
    // and its colon lie inside the list, at its start or after a comma.
    key = common::Trim(key);
    for (std::size_t at = codeList.find(key); at != std::string_view::npos; at = codeList.find(key, at + 1)) {
        const std::size_t colon = at + key.size();
        if (colon < codeList.size() && codeList[colon] == ':' && (at == 0 || codeList[at - 1] == ',')) {
            const std::size_t start = colon + 1;
            const std::size_t end = codeList.find(',', start);
            return std::string(codeList.substr(start, end == std::string_view::npos ? end : end - start));
        }
    }
    return {};
}

std::string LookupCodeText(std::string_view codeList, std::int64_t key) {
    return LookupCodeText(codeList, Digits(key).View());
}

std::string MakePrintable(std::string_view text) {
    std::string out(text.substr(0, 50));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32) c = '.';
    }
    return out;
}

double FractionValue(std::string_view text) {
    text = common::Trim(text);
    std::int64_t whole = 0;
    std::string_view fraction = text;
    if (const auto space = text.find(' '); space != std::string_view::npos) {
        const auto w = common::ParseInteger(text.substr(0, space));
        if (!w) return 0.0;
        whole = *w;
        fraction = text.substr(space + 1);
    }
    const auto slash = fraction.find('/');
    if (slash == std::string_view::npos) return 0.0;
    const auto a = common::ParseInteger(fraction.substr(0, slash));
    const auto b = common::ParseInteger(fraction.substr(slash + 1));
    if (!a || !b || *b == 0) return 0.0;
    return (static_cast<double>(whole) * static_cast<double>(*b) + static_cast<double>(*a)) / static_cast<double>(*b);
}

std::string HexPreview(ByteView bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < 16; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0x0F];
        out += ' ';
    }
    if (bytes.size() > 16) out += "...";
    return out;
}

std::int64_t LeadingDigits(std::string_view text, char decimalSeparator) {
    std::int64_t value = 0;
    bool any = false;
    for (const char c : text) {
        if (c == decimalSeparator) break;
        if (c < '0' || c > '9') continue;
        if (value > 100'000'000'000'000LL) break;  // more digits than any exposure holds
        value = value * 10 + (c - '0');
        any = true;
    }
    return any ? value : -1;
}

std::string ExposureTimeText(std::string_view text, char decimalSeparator) {
    std::string unchanged(text);
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return unchanged;
    const std::int64_t den = LeadingDigits(text.substr(slash + 1), decimalSeparator);
    const std::int64_t num = LeadingDigits(text.substr(0, slash), decimalSeparator);
    if (num == 1) return unchanged;
    const double t = static_cast<double>(num) / static_cast<double>(den);
    if (t == 0.0 || !std::isfinite(t)) return unchanged;
    try {
        const std::string inverse = common::FormatGeneral(1.0 / t, decimalSeparator);
        if (inverse.find(decimalSeparator) == std::string::npos) return "1/" + inverse + " sec.";
        const auto rounded = common::RoundHalfEven(1.0 / t);
        if (!rounded) return unchanged;
        const auto fourDecimals = common::RoundHalfEven(t * 10000.0);
        if (!fourDecimals) return unchanged;
        const std::string seconds =
            common::FormatGeneral(static_cast<double>(*fourDecimals) / 10000.0, decimalSeparator);
        if (*rounded == 0 || *rounded == 1) return seconds + " sec.";
        return seconds + " sec. ~(1/" + std::to_string(*rounded) + ")";
    } catch (const std::domain_error&) {
        return unchanged;
    }
}

}  // namespace quorvela::metadata
