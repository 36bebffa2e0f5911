#pragma once

// The maker-note tables of the seven decoded makes, and the renderers their rows name.
// One file per make; each table is a constexpr array of rows exposed as a span.

#include <span>
#include <string>
#include <string_view>

#include "metadata/tag_entry.h"

namespace quorvela::metadata {

std::span<const TagRow> NikonType1Rows();
std::span<const TagRow> NikonType2Rows();
std::span<const TagRow> CasioType1Rows();
std::span<const TagRow> CasioType2Rows();
std::span<const TagRow> FujiRows();
std::span<const TagRow> CanonRows();
std::span<const TagRow> EpsonRows();
std::span<const TagRow> SanyoRows();
std::span<const TagRow> MinoltaRows();

// One labelled item that a Canon renderer takes from a field of its number list. An empty
// code list marks a plain item, which shows the field's text as it stands.
struct CanonItemRow {
    std::string_view Label;
    int Field;
    std::string_view CodeList;
};

// One Canon custom function: its number (the high byte of a field) and the meanings of its
// setting (the low byte).
struct CanonFunctionRow {
    int Function;
    std::string_view Label;
    std::string_view CodeList;
};

std::span<const CanonItemRow> CanonCameraSettingsItems();
std::span<const CanonItemRow> CanonShotInfoItems();
std::span<const CanonFunctionRow> CanonCustomFunctionRows();

std::string NikonLensType(const std::string& text, RenderContext& context);
std::string NikonColorMode(const std::string& text, RenderContext& context);
std::string NikonLensInfo(const std::string& text, RenderContext& context);
// Nikon's lens information (shortest and longest focal length, widest aperture at each) in
// the usual lens notation, with a point as decimal separator: "18-55mm f/3.5-5.6", a prime
// "50mm f/1.8", equal apertures "28-70mm f/2.8". Empty unless both lengths are above zero;
// the lengths alone without an aperture.
std::string NikonLensName(double shortest, double longest, double widestAtShort, double widestAtLong);
std::string CanonCameraSettings(const std::string& text, RenderContext& context);
std::string CanonShotInfo(const std::string& text, RenderContext& context);
std::string CanonCustomFunctions(const std::string& text, RenderContext& context);

}  // namespace quorvela::metadata
