#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/photo_facts.h"

namespace quorvela::analysis {

// What a run knows of lenses beyond the photo: which lens of a camera's mount has a range,
// and which cameras have a lens of their own (lensfun's data, in the product).
class LensCatalogue {
  public:
    virtual ~LensCatalogue() = default;
    // The one lens that fits the camera and has the range and apertures; nothing when none
    // or several do, or the camera is unknown.
    [[nodiscard]] virtual std::optional<std::string> NameOf(std::string_view make, std::string_view model,
                                                            const library::LensSpan& range) const = 0;
    [[nodiscard]] virtual bool HasBuiltInLens(std::string_view make, std::string_view model) const = 0;
};

// A catalogue that knows no lens and no camera.
class NoLensCatalogue final : public LensCatalogue {
  public:
    [[nodiscard]] std::optional<std::string> NameOf(std::string_view, std::string_view,
                                                    const library::LensSpan&) const override {
        return std::nullopt;
    }
    [[nodiscard]] bool HasBuiltInLens(std::string_view, std::string_view) const override { return false; }
};

// lensfun's lenses and cameras, read once per process when a photo first needs them.
const LensCatalogue& LensfunCatalogue();

inline constexpr std::string_view kUnknownLens = "unknown lens";
inline constexpr std::string_view kBuiltInLens = "built-in lens";

// A photo's lens as a run charts it.
struct LensLabel {
    std::string Text;         // Windows-1252
    library::LensSpan Range;  // the lens's range, when the name or the file gives it
    bool Named = false;       // names a lens; not "built-in …" or "unknown lens …"
};

// The lens of a photo: the name it gives; else, from the range it gives, the lens the
// catalogue knows of, "built-in 7-21mm — <camera>" for a camera with a lens of its own, or the
// range under the camera's maker ("Canon 18-55mm f/3.5-5.6"); without a range, "built-in lens
// — <camera>" or "unknown lens — <camera>" ("unknown lens" without a camera).
LensLabel LabelLens(const library::PhotoFacts& facts, const LensCatalogue& catalogue);

// The camera as a person names it: the model, after the maker's word when the model lacks it
// ("Motorola XT1575", "Canon PowerShot G2"). Windows-1252; empty without make and model.
std::string CameraName(std::string_view make, std::string_view model);

// The range a lens name states: "EF24-70mm f/2.8L II USM" -> 24-70, f/2.8; unknown when the
// name states no length in millimetres.
library::LensSpan SpanOfName(std::string_view name);

// A length or f-number to one decimal, without ".0", with a point whatever the locale: "7.1", "18".
std::string OneDecimal(double value);

// "18-55mm f/3.5-5.6", "50mm f/1.8", "7.1-21.3mm": lengths and f-numbers to one decimal.
std::string RangeText(const library::LensSpan& range);

// The labels of a run (UTF-8) that describe the same lens, each mapped to the one they count
// under: the same name up to spaces and case; names that state only a range and apertures
// ("18.0-70.0 mm f/3.5-4.5", "Nikon 18-70mm f/3.5-4.5") with the same numbers, and with the one
// name of the run that states them too. The most descriptive text names each lens. Labels
// that keep their own text are left out.
std::unordered_map<std::string, std::string> OneNamePerLens(const std::vector<std::string>& labels);

// Whether a text states only lengths and f-numbers, after a maker's word at most
// ("Nikon 18-70mm f/3.5-4.5", "18.0-250.0 mm f/3.5-6.3").
bool StatesOnlyRange(std::string_view text);

// Whether a label names a lens, not "built-in …" or "unknown lens …".
bool NamesLens(std::string_view label);

}  // namespace quorvela::analysis
