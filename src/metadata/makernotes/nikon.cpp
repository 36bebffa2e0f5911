#include <array>
#include <cmath>
#include <vector>

#include "common/number_format.h"
#include "metadata/makernotes/tables.h"
#include "metadata/value_render.h"

namespace quorvela::metadata {
namespace {

constexpr std::string_view kType1IsoCodes = "0:ISO80,2:ISO160,4:ISO320,5:ISO100";

// clang-format off
constexpr TagRow kNikonType1[] = {
    {0x0002, "FamilyID", "FamilyID"},
    {0x0003, "Quality", "Quality", "1:Vga Basic,2:Vga Normal,3:Vga Fine,4:SXGA Basic,5:SXGA Normal,6:SXGA Fine,10:2 Mpixel Basic,11:2 Mpixel Normal,12:2 Mpixel Fine"},
    {0x0004, "ColorMode", "ColorMode", "1:Color,2:Monochrome"},
    {0x0005, "ImageAdjustment", "ImageAdjustment", "0:Normal,1:Bright+,2:Bright-,3:Contrast+,4:Contrast-"},
    {0x0006, "ISOSpeed", "ISOSpeed", kType1IsoCodes},
    {0x0007, "WhiteBalance", "WhiteBalance", "0:Auto,1:Preset,2:Daylight,3:Incandescense,4:Fluorescence,5:Cloudy,6:SpeedLight"},
    {0x0008, "Focus", "Focus"},
    {0x0009, "Skip", "Skip"},
    {0x000A, "DigitalZoom", "DigitalZoom"},
    {0x000B, "Converter", "Converter", "0:Not used,1:Used"},
    {0x0F00, "Skip", "Skip"},
};

constexpr TagRow kNikonType2[] = {
    {0x0001, "FamilyID", "Family ID"},
    {0x0002, "ISOSpeed", "ISO Speed"},
    {0x0003, "ColorMode", "Color Mode"},
    {0x0004, "Quality", "Quality"},
    {0x0005, "WhiteBalance", "White Balance"},
    {0x0006, "ImageSharpening", "Image Sharpening"},
    {0x0007, "FocusMode", "Focus Mode"},
    {0x0008, "FlashSetting", "Flash Setting"},
    {0x0009, "AutoFlashMode", "Auto Flash Mode"},
    {0x000A, "Skip", "Skip"},
    {0x000B, "WhiteBiasValue", "White Bias Value"},
    {0x000F, "DigitalZoom", "Digital Zoom"},
    {0x0010, "Skip", "Skip"},
    {0x0011, "Skip", "Skip"},
    {0x0080, "ImageAdjustment", "Image adjustment setting"},
    {0x0081, "ToneComp", "Tone Compensation"},
    {0x0082, "Adapter", "Adapter"},
    {0x0083, "LensType", "Lens Type", {}, {}, NikonLensType},
    {0x0084, "LensInformation", "Lens Information", {}, {}, NikonLensInfo},
    {0x0085, "ManualFocusDistance", "Manual Focus Distance"},
    {0x0086, "DigitalZoom", "Digital Zoom"},
    {0x0088, "FocusArea", "Focus Area"},
    {0x0089, "Mode", "Mode"},
    {0x008D, "ColorMode", "Color Mode", {}, {}, NikonColorMode},
    {0x008F, "SceneMode", "Scene Mode"},
    {0x0092, "HueAdjustment", "Hue Adjustment"},
    {0x0094, "Saturation", "Saturation"},
    {0x0095, "NoiseReduction", "Noise Reduction"},
    {0x0F00, "Skip", "Skip"},
};
// clang-format on

}  // namespace

std::span<const TagRow> NikonType1Rows() {
    return kNikonType1;
}
std::span<const TagRow> NikonType2Rows() {
    return kNikonType2;
}

std::optional<std::int64_t> NikonType1Iso(const NoteReading& note) {
    const std::vector<std::int64_t> code = NoteNumbers(note, 0x0006);
    return code.empty() ? std::nullopt : CodeNumber(kType1IsoCodes, code[0]);
}

std::optional<std::int64_t> NikonType2Iso(const NoteReading& note) {
    // ISO Speed holds 0 and the ISO used; "Hi" settings write 1 first, and the "Lo" settings
    // of some models zeros: the ISO information then has it, as 100 x 2^(r/12 - 5).
    const std::vector<std::int64_t> speed = NoteNumbers(note, 0x0002);
    if (speed.size() == 2 && speed[0] == 0 && speed[1] > 0) return speed[1];
    const std::vector<std::int64_t> info = NoteNumbers(note, 0x0025);
    if (info.empty() || info[0] <= 0) return std::nullopt;
    return RoundedIso(100.0 * std::exp2(static_cast<double>(info[0]) / 12.0 - 5.0));
}

std::string NikonLensType(const std::string& text, RenderContext& /*context*/) {
    if (text == "6") return "Nikon D series Lens";
    if (text == "14") return "Nikon G series Lens)";
    return text;
}

std::string NikonColorMode(const std::string& text, RenderContext& /*context*/) {
    // The value text of an ASCII value starts with its opening quote.
    std::string mode = text.size() > 1 ? text.substr(1, 5) : std::string();
    if (mode == "MODE1") return "Mode1 (sRGB)";
    if (mode == "MODE2") return "Mode 2 (Adobe RGB)";
    if (mode == "MODE3") return "Mode 3 (sRGB): higher saturation";
    return mode;
}

std::string NikonLensInfo(const std::string& text, RenderContext& context) {
    // Shortest and longest focal length, then the widest aperture at either end.
    std::array<double, 4> values{};
    std::string_view rest = text;
    for (double& value : values) {
        const auto comma = rest.find(", ");
        value = FractionValue(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 2);
    }
    const char sep = context.DecimalSeparator;
    return common::FormatFixed(values[0], 1, 0, sep) + "-" + common::FormatFixed(values[1], 1, 0, sep) + "(mm)  F" +
           common::FormatFixed(values[2], 1, 0, sep) + "-F" + common::FormatFixed(values[3], 1, 0, sep);
}

std::string NikonLensName(double shortest, double longest, double widestAtShort, double widestAtLong) {
    if (!(shortest > 0) || !(longest > 0)) return {};
    // Appended piece by piece: "-" + text trips GCC's false overlap warning (bug 105329).
    std::string name = common::FormatGeneral(shortest, '.');
    if (longest != shortest) name.append(1, '-').append(common::FormatGeneral(longest, '.'));
    name.append("mm");
    if (widestAtShort > 0) {
        name.append(" f/").append(common::FormatGeneral(widestAtShort, '.'));
        if (widestAtLong > 0 && widestAtLong != widestAtShort)
            name.append(1, '-').append(common::FormatGeneral(widestAtLong, '.'));
    }
    return name;
}

}  // namespace quorvela::metadata
