#include "lens_use.h"

#include <algorithm>
#include <cmath>

#include "lens_label.h"

namespace quorvela::analysis {

namespace {

// A photo is at an end of its zoom when its length lies this close to it.
constexpr double kAtEnd = 0.02;

bool Near(double length, double end) {
    return std::fabs(length - end) <= kAtEnd * end;
}

std::string Millimetres(double length) {
    return OneDecimal(length).append(" mm");
}

int Percent(int part, int whole) {
    return whole == 0 ? 0 : static_cast<int>(std::lround(100.0 * part / whole));
}

}  // namespace

bool LensUse::IsZoom() const {
    return Range.Known() && !Near(Range.MaxFocal, Range.MinFocal) && !Near(Range.MinFocal, Range.MaxFocal);
}

void LensUseCounter::Add(const std::string& label, const library::LensSpan& range, double realFocal) {
    LensUse& use = uses_[label];
    if (!use.Range.Known() && range.Known()) use.Range = range;
    ++use.Photos;
    if (!(realFocal > 0.0)) return;
    ++use.WithLength;
    if (!range.Known()) return;
    if (Near(realFocal, range.MinFocal)) {
        ++use.AtWideEnd;
    } else if (Near(realFocal, range.MaxFocal)) {
        ++use.AtLongEnd;
    }
}

std::unordered_map<std::string, LensUse> LensUseCounter::Uses(
    const std::unordered_map<std::string, std::string>& names) const {
    std::unordered_map<std::string, LensUse> uses;
    for (const auto& [label, use] : uses_) {
        const auto renamed = names.find(label);
        LensUse& into = uses[renamed == names.end() ? label : renamed->second];
        if (!into.Range.Known()) into.Range = use.Range;
        into.Photos += use.Photos;
        into.WithLength += use.WithLength;
        into.AtWideEnd += use.AtWideEnd;
        into.AtLongEnd += use.AtLongEnd;
    }
    return uses;
}

std::string LensUseSentence(std::string_view label, const LensUse& use) {
    std::string text(label);
    text.append(": ").append(std::to_string(use.Photos)).append(use.Photos == 1 ? " photo" : " photos");
    if (!use.IsZoom() || use.WithLength == 0) return text;
    const int wide = Percent(use.AtWideEnd, use.WithLength);
    const int longEnd = Percent(use.AtLongEnd, use.WithLength);
    text.append(" \xE2\x80\x94 ").append(std::to_string(wide)).append(" % at ");
    text.append(Millimetres(use.Range.MinFocal)).append(" (the wide end), ");
    text.append(std::to_string(longEnd)).append(" % at ").append(Millimetres(use.Range.MaxFocal));
    text.append(" (the long end), ").append(std::to_string(std::max(0, 100 - wide - longEnd))).append(" % between");
    if (const int without = use.Photos - use.WithLength; without > 0) {
        text.append("; ").append(std::to_string(without)).append(" without a focal length");
    }
    return text;
}

}  // namespace quorvela::analysis
