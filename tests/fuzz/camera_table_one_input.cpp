#include "camera_table_one_input.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "analysis/file_values.h"
#include "common/ascii.h"
#include "equivalence/equivalent_table.h"
#include "equivalence/focal_length.h"
#include "scratch_file.h"

namespace quorvela::fuzz {
namespace {

using equivalence::EquivalentList;

constexpr std::string_view kMarkers[] = {"[MAKE]", "[MODEL]", "[REAL_LENS]", "[35MM_EQUIVALENT]"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Text of `entry` between two markers found in its upper-cased twin; empty when out of order.
std::string Field(const std::string& entry, const std::string& upper, std::string_view from, std::string_view to) {
    const std::size_t a = upper.find(from);
    if (a == std::string::npos) return {};
    const std::size_t start = a + from.size();
    const std::size_t b = to.empty() ? entry.size() : upper.find(to, start);
    if (b == std::string::npos) return {};
    return entry.substr(start, b - start);
}

// A length the run plots: whole digits, the separator, two decimals.
void CheckLengthText(const std::string& text, char separator, const std::string& entry) {
    if (text.empty()) return;
    const std::size_t at = text.find(separator);
    const bool shaped = at != std::string::npos && at > 0 && at + 3 == text.size() &&
                        std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), IsDigit) &&
                        IsDigit(text[at + 1]) && IsDigit(text[at + 2]);
    if (!shaped) Broken("table length is not digits with two decimals", text + " from " + entry);
}

// A focal category: a non-negative whole number left-filled with "_" to five characters.
void CheckCategory(const std::string& category, const std::string& length) {
    if (category.empty()) return;
    const std::size_t digits = category.find_first_not_of('_');
    const bool shaped = category.size() >= 5 && digits != std::string::npos &&
                        std::all_of(category.begin() + static_cast<std::ptrdiff_t>(digits), category.end(), IsDigit) &&
                        (category.size() == 5 || digits == 0);
    if (!shaped) Broken("focal category is not a left-filled number", category + " from " + length);
}

void LookUp(const std::string& entry, const EquivalentList& list) {
    const std::string upper = common::UpperAscii(entry);
    const std::string make = Field(entry, upper, "[MAKE]", "[MODEL]");
    const std::string model = Field(entry, upper, "[MODEL]", "[REAL_LENS]");
    // The two manual fields hold at most five characters.
    const std::string real = Field(entry, upper, "[REAL_LENS]", "[35MM_EQUIVALENT]").substr(0, 5);
    const std::string equivalent = Field(entry, upper, "[35MM_EQUIVALENT]", {}).substr(0, 5);
    for (const char separator : {'.', ','}) {
        for (const char* focal : {" 7.00 mm", "3000,5 mm"}) {
            const std::string length = equivalence::EquivalentfromDataBase(focal, make, model, list, separator);
            CheckLengthText(length, separator, entry);
            CheckCategory(analysis::FocalCategory(length, true, 10, 28), length);
            CheckCategory(analysis::FocalCategory(length, false, 10, 28), length);

            const std::string factor = equivalence::CalculateFromFactor(focal, real, equivalent, separator);
            const bool plain =
                std::all_of(factor.begin(), factor.end(), [&](char c) { return IsDigit(c) || c == separator; });
            if (factor.empty() || !plain) Broken("manual factor gave no number", factor + " from " + entry);
            CheckCategory(analysis::FocalCategory(factor, true, 1, 0), factor);
        }
    }
}

}  // namespace

void ReadOneCameraTable(std::span<const std::uint8_t> bytes) {
    static ScratchFile file;
    EquivalentList list;
    equivalence::ReadEquivalentData(file.Hold(bytes), list, "/nonexistent/cam_equiv.exp");
    for (const std::string& entry : list) {
        const std::string upper = common::UpperAscii(entry);
        for (const std::string_view marker : kMarkers) {
            if (upper.find(marker) == std::string::npos) Broken("accepted entry lacks a marker", entry);
        }
    }
    // The first entries as lookup keys cover what a table file can shape: later ones are
    // built by the same reading.
    const std::size_t count = std::min<std::size_t>(list.size(), 8);
    for (std::size_t i = 0; i < count; ++i) LookUp(list[i], list);
}

}  // namespace quorvela::fuzz
