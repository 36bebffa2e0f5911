#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvela::ui {

// The crop factors the crop-factor dialog accepts: from a large-format camera's to the smallest
// sensors'. A value outside is a slip (often a focal length typed in its place).
inline constexpr double kLowestCropFactor = 0.1;
inline constexpr double kHighestCropFactor = 20;

// A crop factor as the user typed it: the number, or why it is refused.
struct CropFactorReading {
    std::optional<double> Factor;
    std::string Problem;  // empty when accepted
};

// Reads "1.6" and "1,6" alike; refuses an empty text, what is not a plain number, and values
// that are not positive or outside kLowestCropFactor..kHighestCropFactor, each with its reason.
CropFactorReading ReadCropFactor(std::string_view text);

// One camera of the dialog: its name as shown, whether it is ticked and the factor's text.
struct CropFactorRow {
    std::string Camera;
    bool Chosen = true;
    std::string Text;
};

// What the dialog's OK finds: a factor for each ticked row (none for the others), or the first
// problem with the row it stands in (-1 when it concerns no one row). Nothing is kept while
// there is a problem.
struct CropFactorChoices {
    std::vector<std::optional<double>> Factors;
    std::string Problem;
    int ProblemRow = -1;
};
CropFactorChoices ReadCropFactors(const std::vector<CropFactorRow>& rows);

}  // namespace quorvela::ui
