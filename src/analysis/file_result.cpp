#include "file_result.h"

#include "common/ascii.h"
#include "common/code_page.h"
#include "file_values.h"
#include "filter.h"
#include "path_lines.h"

namespace quorvela::analysis {

namespace {

equivalence::LensLength LensLength(const library::PhotoFacts& facts, const equivalence::LensSettings& lens,
                                   const equivalence::EquivalentList& table, char separator,
                                   const equivalence::CropFactorSource& cameras) {
    if (!facts.HasExif) return {};
    const equivalence::LensFacts lensFacts{facts.FocalLength35, facts.FocalLength, facts.Make,  facts.Model,
                                           facts.NoteCrop,      facts.PlaneCrop,   facts.Aspect};
    return equivalence::ChooseLength(lensFacts, lens, table, &cameras, separator);
}

}  // namespace

bool NeedsMakerNotePairs(const AnalysisSettings& settings) {
    const bool noteFilter =
        settings.FilterOn && !settings.Filter.MakerNoteLabel.empty() && !settings.Filter.MakerNoteData.empty();
    const bool noteLines = settings.AddMakerNotes && settings.PathList.has_value();
    return noteFilter || noteLines;
}

FileResult DeriveResult(const library::PhotoFacts& facts, const std::string& path, const AnalysisSettings& settings,
                        const Derivation& derivation) {
    const char decimalSeparator = derivation.DecimalSeparator;
    FileResult result;
    LensLabel lens = LabelLens(facts, derivation.Lenses);
    if (settings.FilterOn) {
        if (const FilterVerdict verdict = PassesFilter(facts, settings.Filter, lens.Text);
            verdict != FilterVerdict::Passed) {
            result.Passed = false;
            result.Undated = verdict == FilterVerdict::Undated;
            return result;
        }
    }
    result.Lens = common::Cp1252ToUtf8(lens.Text);
    result.LensRange = lens.Range;
    result.Rating = RatingCategory(facts.Rating);
    result.RealFocal = RealFocalLength(facts.FocalLength);
    if (derivation.KeepRecord) {
        result.Path = path;
        result.MakeModel = MakeModelText(facts);
        result.MakerNotes = Show2MakerNotes(facts, settings.AddMakerNotes);
        result.DebugInfo = Debuginfo(facts);
    }
    const std::optional<Quantity> shown = settings.PathList;
    // The path-list pieces are made only for the files that get a line.
    auto line = [&](auto&& build) {
        result.PathLine = build(MakeModelText(facts), Show2MakerNotes(facts, settings.AddMakerNotes));
        result.LinePath = path;
    };
    const equivalence::LensLength length =
        LensLength(facts, settings.Lens, derivation.Table, decimalSeparator, derivation.Cameras);
    const std::string& lengthText = length.Text;

    if (const std::int64_t iso = GetIsoValue(facts); iso != 0) {
        const std::string digits = std::to_string(iso);
        result.Iso = LeftFill(digits, 6);
        if (shown == Quantity::Iso) {
            line([&](const std::string& mm, const std::string& mn) { return IsoLine(digits, path, mm, mn); });
        }
    }
    if (const std::string fNumber = GetApertureText(facts); fNumber != "n/a") {
        result.Aperture = LeftFill(fNumber, 6);
        if (shown == Quantity::Aperture) {
            line([&](const std::string& mm, const std::string& mn) { return ApertureLine(fNumber, path, mm, mn); });
        }
    }
    const double seconds = ExposureSeconds(GetExposureText(facts), decimalSeparator);
    if (std::string shutter = ShutterCategory(seconds, settings.FractionShutter, decimalSeparator); !shutter.empty()) {
        result.Shutter = std::move(shutter);
        if (shown == Quantity::Shutter) {
            line([&](const std::string& mm, const std::string& mn) {
                return ShutterLine(result.Shutter, path, mm, mn);
            });
        }
    }
    if (shown == Quantity::Lens) {
        line([&](const std::string& mm, const std::string& mn) { return LensLine(result.Lens, path, mm, mn); });
    }
    if (shown == Quantity::Rating) {
        line([&](const std::string& mm, const std::string& mn) { return LensLine(result.Rating, path, mm, mn); });
    }
    if (!lengthText.empty()) {
        result.HasFocalLength = true;
        result.Source = length.Source;
        // Outside the 35mm-equivalent mode the factor is the user's choice, not a guess.
        const bool equivalentMode = !settings.Lens.RealLength && !settings.Lens.AlwaysCalculate;
        if (equivalentMode && length.Source == equivalence::EquivalentSource::Manual) {
            result.Estimated = true;
            result.Make = common::Trim(facts.Make);
            result.Model = common::Trim(facts.Model);
        }
        result.FocalMm = RoundFocalLength(lengthText);
        result.Focal = FocalCategory(lengthText, settings.UseSteps, settings.StepSize, settings.IgnoreUpTo);
        if (!result.Focal.empty() && shown == Quantity::FocalLength) {
            line([&](const std::string& mm, const std::string& mn) {
                return settings.UseSteps ? FocalLineStepped(result.Focal, Debuginfo(facts), path, mm, mn)
                                         : FocalLine(result.Focal, path, mm, mn);
            });
        }
    }
    return result;
}

}  // namespace quorvela::analysis
