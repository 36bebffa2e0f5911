#include "ui/crop_factor_rules.h"

#include "common/ascii.h"
#include "common/number_format.h"
#include "equivalence/focal_length.h"

namespace quorvela::ui {

namespace {

std::string Range() {
    return " for a crop factor, which lies between " + common::FormatGeneral(kLowestCropFactor, '.') + " and " +
           common::FormatGeneral(kHighestCropFactor, '.') +
           " (1 for full frame, 1.5 or 1.6 for APS-C, 2 for Micro Four Thirds)";
}

}  // namespace

CropFactorReading ReadCropFactor(std::string_view text) {
    const std::string_view typed = common::Trim(text);
    if (typed.empty()) return {std::nullopt, "enter its crop factor, such as 1.6"};
    // Either mark is the decimal point, whatever the locale: "1,6" is never a thousands group.
    const std::optional<double> value = equivalence::ParseDecimal(typed, '.');
    if (!value) {
        std::string reason = "\"";
        reason.append(typed).append("\" is not a number; enter a crop factor such as 1.6");
        return {std::nullopt, reason};
    }
    if (*value <= 0) return {std::nullopt, "a crop factor is more than 0"};
    if (*value < kLowestCropFactor) return {std::nullopt, std::string(typed) + " is too small" + Range()};
    if (*value > kHighestCropFactor) return {std::nullopt, std::string(typed) + " is too large" + Range()};
    return {value, {}};
}

CropFactorChoices ReadCropFactors(const std::vector<CropFactorRow>& rows) {
    CropFactorChoices choices;
    bool anyChosen = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CropFactorRow& row = rows[i];
        choices.Factors.emplace_back();
        if (!row.Chosen) continue;
        anyChosen = true;
        CropFactorReading reading = ReadCropFactor(row.Text);
        if (!reading.Factor) {
            choices.Factors.clear();
            choices.Problem = row.Camera + ": " + reading.Problem + ".";
            choices.ProblemRow = static_cast<int>(i);
            return choices;
        }
        choices.Factors.back() = reading.Factor;
    }
    if (!anyChosen) {
        choices.Factors.clear();
        choices.Problem = "Tick at least one camera to set its crop factor.";
    }
    return choices;
}

}  // namespace quorvela::ui
