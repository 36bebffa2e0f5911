#include <vector>

#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

constexpr std::string_view kType2IsoCodes = "3:50,4:64,6:100,9:200";

// clang-format off
constexpr TagRow kCasioType1[] = {
    {0x0001, "RecordingMode", "RecordingMode", "1:Single Shutter,2:Panorama,3:Night Scene,4:Portrait,5:Landscape"},
    {0x0002, "Quality", "Quality", "1:Economy,2:Normal,3:Fine"},
    {0x0003, "FocusingMode", "FocusingMode", "2:Macro,3:Auto Focus,4:Manual Focus,5:Infinity"},
    {0x0004, "FlashMode", "FlashMode", "1:Auto,2:On,3:Off,4:Red Eye Reduction"},
    {0x0005, "FlashIntensity", "FlashIntensity", "11:Weak,13:Normal,15:Strong"},
    {0x0006, "ObjectDistance", "ObjectDistance"},
    {0x0007, "WhiteBalance", "WhiteBalance", "1:Auto,2:Tungsten,3:Daylight,4:Fluorescent,5:Shade,129:Manual"},
    {0x0008, "Skip", "Skip"},
    {0x0009, "Skip", "Skip"},
    {0x000A, "DigitalZoom", "DigitalZoom", "65536:Off,65537:2X Digital Zoom"},
    {0x000B, "Sharpness", "Sharpness", "0:Normal,1:Soft,2:Hard"},
    {0x000C, "Contrast", "Contrast", "0:Normal,1:Low,2:High"},
    {0x000D, "Saturation", "Saturation", "0:Normal,1:Low,2:High"},
    {0x000E, "Skip", "Skip"},
    {0x000F, "Skip", "Skip"},
    {0x0010, "Skip", "Skip"},
    {0x0011, "Skip", "Skip"},
    {0x0012, "Skip", "Skip"},
    {0x0013, "Skip", "Skip"},
    {0x0014, "CCDSensitivity", "CCDSensitivity", "64:Normal,125:+1.0,250:+2.0,244:+3.0,80:Normal,100:High"},
    {0x0015, "Skip", "Skip"},
    {0x0016, "Skip", "Skip"},
    {0x0017, "Skip", "Skip"},
    {0x0018, "Skip", "Skip"},
    {0x0019, "Skip", "Skip"},
    {0x001A, "Skip", "Skip"},
};

constexpr TagRow kCasioType2[] = {
    {0x0002, "ThumbnailDimensions", "Thumbnail Dimensions"},
    {0x0003, "ThumbnailSize", "Thumbnail Size"},
    {0x0004, "ThumbnailOffset", "Thumbnail OffSet"},
    {0x0008, "Quality", "Quality", "1:Fine,2:Super Fine"},
    {0x0009, "ImageSize", "ImageSize", "0:640 x 480,4:1600 x 1200,5:2048 x 1536,20:2288 x 1712,21:2592 x 1944,22:2304 x 1728,36:3008 x 2008"},
    {0x000D, "FocusMode", "FocusMode", "0:Normal,1:Macro"},
    {0x0014, "IsoSensitivity", "IsoSensitivity", kType2IsoCodes},
    {0x0019, "WhiteBalance", "WhiteBalance", "0:Auto,1:Daylight,2:Shade,3:Tungsten,4:Fluorescent,5:Manual"},
    {0x001D, "FocalLength", "Focal Length (.1 mm)"},
    {0x001F, "Saturation", "Saturation", "0:-1,1:Normal,2:+1"},
    {0x0020, "Contrast", "Contrast", "0:-1,1:Normal,2:+1"},
    {0x0021, "Sharpness", "Sharpness", "0:-1,1:Normal,2:+1"},
    {0x0E00, "PIM", "", "Print Image Matching Info"},
    {0x2000, "Skip", "Skip"},
    {0x2001, "Skip", "Skip"},
    {0x2002, "Skip", "Skip"},
    {0x2003, "Skip", "Skip"},
    {0x2011, "WhiteBalanceBias", "White Balance Bias"},
    {0x2012, "WhiteBalance", "White Balance", "0:Manual,1:Auto,4:Flash,12:Flash"},
    {0x2013, "Skip", "Skip"},
    {0x2021, "Skip", "Skip"},
    {0x2022, "ObjectDistance", "Object Distance (mm)"},
    {0x2023, "Skip", "Skip"},
    {0x2031, "Skip", "Skip"},
    {0x2032, "Skip", "Skip"},
    {0x2033, "Skip", "Skip"},
    {0x2034, "FlashDistance", "Flash Distance"},
    {0x3000, "RecordMode", "Record Mode", "2:Normal"},
    {0x3001, "SelfTimer", "Self Timer", "0:Off,1:On"},
    {0x3002, "Quality", "Quality", "1:Economy,2:Normal,3:Fine"},
    {0x3003, "FocusMode", "Focus Mode", "1:Fixed,3:Auto Focus,6:Multi-Area Auto Focus"},
    {0x3005, "Skip", "Skip"},
    {0x3006, "TimeZone", "Time Zone"},
    {0x3007, "BestshotMode", "Bestshot Mode", "0:Off,1:On"},
    {0x3011, "Skip", "Skip"},
    {0x3012, "Skip", "Skip"},
    {0x3013, "Skip", "Skip"},
    {0x3014, "CCDSensitivity", "CCD Sensitivity"},
    {0x3015, "ColorMode", "Color Mode", "0:Off,1:On"},
    {0x3016, "Enhancement", "Enhancement", "0:Off,1:On"},
    {0x3017, "Filter", "Filter", "0:Off,1:On"},
    {0x3018, "Skip", "Skip"},
    {0x3019, "Skip", "Skip"},
    {0x301A, "Skip", "Skip"},
    {0x301B, "Skip", "Skip"},
};
// clang-format on

}  // namespace

std::optional<std::int64_t> CasioType1Iso(const NoteReading& note) {
    // The field holds the ISO itself, whatever names the table gives its values.
    const std::vector<std::int64_t> iso = NoteNumbers(note, 0x0014);
    return iso.empty() || iso[0] <= 0 ? std::nullopt : std::optional<std::int64_t>(iso[0]);
}

std::optional<std::int64_t> CasioType2Iso(const NoteReading& note) {
    // Older models keep a code (0x0014), later ones the number (0x3014).
    if (const std::vector<std::int64_t> code = NoteNumbers(note, 0x0014); !code.empty()) {
        return CodeNumber(kType2IsoCodes, code[0]);
    }
    const std::vector<std::int64_t> iso = NoteNumbers(note, 0x3014);
    return iso.empty() || iso[0] <= 0 ? std::nullopt : std::optional<std::int64_t>(iso[0]);
}

std::span<const TagRow> CasioType1Rows() {
    return kCasioType1;
}
std::span<const TagRow> CasioType2Rows() {
    return kCasioType2;
}

}  // namespace quorvela::metadata
