#include "ui/coverage_field.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string>

#include "common/number_format.h"

namespace quorvela::ui {

namespace {

// The text being read, front to back.
class Reader {
  public:
    explicit Reader(std::string_view text) : rest_(text) {}

    void SkipBlanks() {
        while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) rest_.remove_prefix(1);
    }
    bool Take(std::string_view word) {
        if (!rest_.starts_with(word)) return false;
        rest_.remove_prefix(word.size());
        return true;
    }
    // "mm" in any case, blanks before it allowed.
    void TakeUnit() {
        SkipBlanks();
        if (rest_.size() >= 2 && (rest_[0] | 0x20) == 'm' && (rest_[1] | 0x20) == 'm') rest_.remove_prefix(2);
    }
    // A length of digits with at most one "." or "," in them.
    std::optional<double> Number() {
        SkipBlanks();
        std::string digits;
        bool point = false;
        while (!rest_.empty()) {
            const char c = rest_.front();
            if (c >= '0' && c <= '9') {
                digits.push_back(c);
            } else if ((c == '.' || c == ',') && !point) {
                point = true;
                digits.push_back('.');
            } else {
                break;
            }
            rest_.remove_prefix(1);
        }
        double value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        return value;
    }
    bool TakeDash() {
        SkipBlanks();
        return Take("-") || Take("\u2013") || Take("\u2014");
    }
    [[nodiscard]] bool AtEnd() {
        SkipBlanks();
        return rest_.empty();
    }

  private:
    std::string_view rest_;
};

CoverageField Problem(std::string_view text) {
    return {std::nullopt, std::string(text)};
}

}  // namespace

LengthSpan StepSpan(std::int64_t barMm, int stepSize, int ignoreUpTo) {
    if (stepSize <= 1 || barMm <= ignoreUpTo) return {barMm, barMm};
    // Below the bar, halfway goes up to it; above it, halfway goes on to the next.
    const std::int64_t from = std::max<std::int64_t>(barMm - stepSize / 2, std::int64_t{ignoreUpTo} + 1);
    return {from, barMm + (stepSize - 1) / 2};
}

std::string CoverageWords(const analysis::CoverageRange& range, analysis::CoverageCount count, bool realLength,
                          const std::optional<ShadedBars>& bars) {
    std::string sentence = analysis::CoverageSentence(range, count);
    // The sentence names the range first; the kind of length follows the range's "mm".
    const std::size_t mm = sentence.find(" mm");
    if (mm != std::string::npos) {
        sentence.insert(mm + 3, realLength ? " (real length)" : " (35 mm equivalent)");
    }
    if (!bars || bars->StepSize <= 1 || bars->Photos == count.Photos) return sentence;
    const bool one = bars->Bars == 1;
    sentence.append(one ? ". The shaded bar holds " : ". The shaded bars hold ");
    sentence.append(common::GroupThousands(bars->Photos)).append(bars->Photos == 1 ? " photo" : " photos");
    sentence.append(": with steps of ").append(std::to_string(bars->StepSize)).append(" mm, ");
    sentence.append(one ? "it counts " : "they count ").append(std::to_string(bars->Lengths.From));
    sentence.append(" to ").append(std::to_string(bars->Lengths.To));
    return sentence.append(" mm.");
}

CoverageField ReadCoverageField(std::string_view text) {
    Reader reader(text);
    if (reader.AtEnd()) return {};
    const std::optional<double> from = reader.Number();
    if (!from) return Problem(kCoverageHint);
    reader.TakeUnit();
    if (reader.AtEnd()) {
        if (*from <= 0) return Problem(kCoverageZero);
        return {analysis::CoverageRange{*from, *from, true}, {}};
    }
    if (!reader.TakeDash()) return Problem(kCoverageHint);
    const std::optional<double> to = reader.Number();
    if (!to) return Problem(kCoverageHint);
    reader.TakeUnit();
    if (!reader.AtEnd()) return Problem(kCoverageHint);
    if (*from > *to) return Problem(kCoverageReversed);
    // "50-50" is the prime it names.
    return {analysis::CoverageRange{*from, *to, *from == *to}, {}};
}

}  // namespace quorvela::ui
