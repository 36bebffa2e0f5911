#pragma once

// The maker-note tables of the decoded makes, the renderers their rows name, and the readers
// of the ISO each note keeps. One file per make; each table is a constexpr array of rows
// exposed as a span.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "metadata/maker_note.h"
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
std::span<const TagRow> PentaxRows();
std::span<const TagRow> OptioRows();

// The layouts of makes whose notes come in several kinds, told by their first bytes; none for
// a kind that keeps no ISO or is not the make's.
std::optional<MakerNoteLayout> KodakLayout(const TImageInfo& directory);
std::optional<MakerNoteLayout> PentaxLayout(const TImageInfo& directory);

std::optional<std::int64_t> NikonType1Iso(const NoteReading& note);
std::optional<std::int64_t> NikonType2Iso(const NoteReading& note);
std::optional<std::int64_t> CasioType1Iso(const NoteReading& note);
std::optional<std::int64_t> CasioType2Iso(const NoteReading& note);
std::optional<std::int64_t> CanonIso(const NoteReading& note);
std::optional<std::int64_t> MinoltaIso(const NoteReading& note);

// Canon's camera-settings ISO field: the number with bit 0x4000 set, else a code of the
// field's list; none for "Auto", "n/a" and the 0x7FFF of a field not recorded.
std::optional<std::int64_t> CanonCameraIso(std::int64_t field);
// Canon's shot-info ISO: the base ISO (100/32 x 2^(b/32)) times the automatic factor
// (2^(a/32)) of the fields' raw values, as the camera computes it; none without a base.
std::optional<std::int64_t> CanonShotIso(std::int64_t autoField, std::int64_t baseField);

// One labelled item that a Canon renderer takes from a field of its number list. An empty
// code list marks a plain item, which shows the field's text as it stands; a number reader
// gives the item a number where the code list names none.
struct CanonItemRow {
    std::string_view Label;
    int Field;
    std::string_view CodeList;
    std::optional<std::int64_t> (*Number)(std::int64_t field) = nullptr;
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
