#include <cmath>
#include <cstdint>
#include <vector>

#include "common/ascii.h"
#include "metadata/maker_note.h"
#include "metadata/makernotes/tables.h"
#include "metadata/value_render.h"

namespace quorvela::metadata {
namespace {

// Camera-settings ISO codes; codes 0, 14 and 15 name no number. Bit 0x4000 marks a field
// that holds the number itself.
constexpr std::string_view kCameraIsoCodes = "0:Not used,14:Auto High,15:auto,16:50,17:100,18:200,19:400,20:800";
constexpr int kCameraIsoField = 16;
constexpr int kAutoIsoField = 1;  // of the shot information
constexpr int kBaseIsoField = 2;

// clang-format off
constexpr TagRow kCanon[] = {
    {0x0000, "Skip", "Skip"},
    {0x0001, "ExposureInfo1", "ExposureInfo1", {}, {}, CanonCameraSettings},
    {0x0002, "Skip", "Skip"},
    {0x0003, "Skip", "Skip"},
    {0x0004, "ExposureInfo2", "ExposureInfo2", {}, {}, CanonShotInfo},
    {0x0006, "ImageType", "ImageType"},
    {0x0007, "FirmwareVersion", "FirmwareVersion"},
    {0x0008, "ImageNumber", "ImageNumber"},
    {0x0009, "OwnerName", "OwnerName"},
    {0x000A, "Skip", "Skip"},
    {0x000B, "Skip", "Skip"},
    {0x000C, "CameraSerialNumber", "CameraSerialNumber"},
    {0x000D, "Skip", "Skip"},
    {0x000E, "Skip", "Skip"},
    {0x000F, "CustomFunctions", "CustomFunctions", {}, {}, CanonCustomFunctions},
    {0x0010, "Skip", "Skip"},
    {0x0095, "LensModel", "LensModel"},
};

constexpr CanonItemRow kCameraSettings[] = {
    {"Macro mode", 1, "1:Macro,2:Normal"},
    {"Self Timer", 2, {}},
    {"Compression Rate", 3, "0:SuperFine,1:Fine,2:Normal,3:Basic,5:SuperFine"},
    {"Flash Mode", 4, "0:Not fired,1:Auto,2:On,3:Red-eye,4:Slow sync,5:Auto+red-eye,6:On+red eye,16:External flash"},
    {"Drive Mode", 5, "0:Single,1:Continuous"},
    {"Focus Mode", 7, "0:One-Shot,1:AI Servo,2:AI Focus,3:MF,4:Single,5:Continuous,6:MF"},
    {"Image Size", 10, "0:Large,1:Medium,2:Small,4:5MPixel,5:2 MPixel,6:1.5 MPixel"},
    {"Easy Shoot", 11, "0:Full Auto,1:Manual,2:Landscape,3:Fast Shutter,4:Slow Shutter,5:Night,6:B&W,7:Sepia,8:Portrait,9:Sports,10:Macro/Close-Up,11:Pan Focus"},
    {"Contrast", 13, "65535:Low,0:Normal,1:High"},
    {"Saturation", 14, "65535:Low,0:Normal,1:High"},
    {"Sharpness", 15, "65535:Low,0:Normal,1:High"},
    {"CCD ISO", kCameraIsoField, kCameraIsoCodes, CanonCameraIso},
    {"Metering Mode", 17, "0:Default,1:Spot,2:Average,3:Evaluative,4:Partial,5:Center-weighted average"},
    {"AF Point", 19, "8197:Manual AF point selection,12288:None (MF),12289:Auto AF point selection,12290:Right,12291:Center,12292:Left,16385:Auto AF point selection,16390:Face Detect"},
    {"Exposure Mode", 20, "0:Easy,1:Program AE,2:Shutter speed priority AE,3:Aperture-priority AE,4:Manual,5:Depth-of-field AE,6:M-Dep,7:Bulb,8:Flexible-priority AE"},
    {"Long focal", 23, {}},
    {"Short focal", 24, {}},
    {"Focal Units", 25, {}},
    {"Flash Details", 28, {}},
    {"Focus Mode", 32, "0:Single,1:Continuous,8:Manual"},
};

constexpr CanonItemRow kShotInfo[] = {
    {"White balance", 7, "0:Auto,1:Sunny,2:Cloudy,3:Tungsten,4:Flourescent,5:Flash,6:Custom"},
    {"Sequence Number", 8, {}},
    {"OpticalZoom Step", 10, {}},
    {"AF point", 13, {}},
    {"Flash bias", 15, "65472:-2 EV,65484:-1.67 EV,65488:-1.50 EV,65492:-1.33 EV,65504:-1 EV,65516:-0.67 EV,65520:-0.50 EV,65524:-0.33 EV,0:0 EV,12:0.33 EV,16:0.50 EV,20:0.67 EV,32:1 EV,44:1.33 EV,48:1.50 EV,52:1.67 EV,64:2 EV"},
    {"Distance", 18, {}},
};

constexpr CanonFunctionRow kCustomFunctions[] = {
    {1, "Noise Reduction", "0: Off,1: On"},
    {2, "Shutter AE Lock Button", "0:AF/AE lock,1:AE lock/AF,2:AF/AF lock,3:AE+release/AE+AF"},
    {3, "Mirror Lockup", "0:Disable,1:Enable"},
    {4, "Exposure Level", "0:1/2 stop,1:1/3 stop"},
    {5, "AF Assist", "0:On (auto),1:Off"},
    {6, "AV Shutter Speed", "0:Automatic,1: 1/200 (fixed)"},
    {7, "AEB Sequence", "0:0 - + / Enabled,1:0 - + / Disabled,2:- 0 + / Enabled,3:- 0 + / Disabled"},
    {8, "Shutter Sync", "0:1st-curtain sync,1: 2nd-curtain sync"},
    {9, "Lens AF Button", "0:AF stop,1:Operate AF,2:Lock AE and start timer"},
    {10, "Fill Flash Reduction", "0:Enable,1:Disable"},
    {11, "Menu Return", "0:Top,1:Previous (volatile),2:Previous"},
    {12, "Set Button", "0:Not assigned,1:Change quality,2:Change ISO speed,3:Select parameters"},
    {13, "Sensor Cleaning", "0:Disable,1:Enable"},
    {14, "Superimposed Display", "0: On,1: Off"},
    {15, "Shutter Release w/o CF Card", "0:Enable,1:Disable"},
};
// clang-format on

// The fields of a rendered number list; every field after the first keeps the blank that
// followed its comma.
std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return fields;
}

// Adds one labelled item to the directory being read and to the renderer's text.
void EmitItem(std::string& out, std::string_view label, const std::string& text, RenderContext& context) {
    if (context.Directory != nullptr) AddMakerNoteItem(*context.Directory, label, text);
    out.append("\r\n").append(label).append(" = ").append(text);
}

std::string RenderItems(const std::string& text, std::span<const CanonItemRow> items, RenderContext& context) {
    const std::vector<std::string_view> fields = Fields(text);
    std::string out;
    for (const CanonItemRow& item : items) {
        // A list too short to hold the field says nothing about it.
        if (static_cast<std::size_t>(item.Field) >= fields.size()) continue;
        const std::string_view field = fields[static_cast<std::size_t>(item.Field)];
        const auto number = item.CodeList.empty() ? std::nullopt : common::ParseInteger(common::Trim(field));
        const auto itemNumber = number && item.Number != nullptr ? item.Number(*number) : std::nullopt;
        const std::string itemText = item.CodeList.empty() ? std::string(field)
                                     : itemNumber          ? std::to_string(*itemNumber)
                                     : number ? std::string(common::Trim(LookupCodeText(item.CodeList, *number)))
                                              : std::string("0");
        if (common::Trim(itemText).empty()) continue;
        EmitItem(out, item.Label, itemText, context);
    }
    context.MultiLineResult = true;
    return out;
}

}  // namespace

std::span<const TagRow> CanonRows() {
    return kCanon;
}
std::span<const CanonItemRow> CanonCameraSettingsItems() {
    return kCameraSettings;
}
std::span<const CanonItemRow> CanonShotInfoItems() {
    return kShotInfo;
}
std::span<const CanonFunctionRow> CanonCustomFunctionRows() {
    return kCustomFunctions;
}

std::optional<std::int64_t> CanonCameraIso(std::int64_t field) {
    if (field == 0x7FFF) return std::nullopt;
    if (field >= 0x4000 && field < 0x8000) {
        const std::int64_t iso = field - 0x4000;
        return iso > 0 ? std::optional<std::int64_t>(iso) : std::nullopt;
    }
    return CodeNumber(kCameraIsoCodes, field);
}

std::optional<std::int64_t> CanonShotIso(std::int64_t autoField, std::int64_t baseField) {
    // Both fields are signed 16-bit counts of 1/32 EV steps.
    const auto steps = [](std::int64_t field) {
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(field)));
    };
    if (steps(baseField) == 0.0) return std::nullopt;  // the camera recorded no base
    return RoundedIso(100.0 / 32.0 * std::exp2((steps(baseField) + steps(autoField)) / 32.0));
}

std::optional<std::int64_t> CanonIso(const NoteReading& note) {
    // Compacts set to Auto keep a code without a number: the camera's base and automatic
    // factor in the shot information then give the ISO used.
    const std::vector<std::int64_t> settings = NoteNumbers(note, 0x0001);
    if (settings.size() > kCameraIsoField) {
        if (const auto iso = CanonCameraIso(settings[kCameraIsoField])) return iso;
    }
    const std::vector<std::int64_t> shot = NoteNumbers(note, 0x0004);
    if (shot.size() <= kBaseIsoField) return std::nullopt;
    return CanonShotIso(shot[kAutoIsoField], shot[kBaseIsoField]);
}

std::string CanonCameraSettings(const std::string& text, RenderContext& context) {
    return RenderItems(text, kCameraSettings, context);
}

std::string CanonShotInfo(const std::string& text, RenderContext& context) {
    return RenderItems(text, kShotInfo, context);
}

std::string CanonCustomFunctions(const std::string& text, RenderContext& context) {
    // Field 0 is the list's byte length: its high byte is 0, so it names no function.
    // The last field is decoded too, so every custom function of the list is shown.
    std::string out;
    for (const std::string_view field : Fields(text)) {
        const auto number = common::ParseInteger(common::Trim(field));
        if (!number || *number < 0) continue;
        const std::int64_t function = *number / 256;
        const std::int64_t setting = *number % 256;
        for (const CanonFunctionRow& row : kCustomFunctions) {
            if (row.Function != function) continue;
            const std::string itemText(common::Trim(LookupCodeText(row.CodeList, setting)));
            if (!itemText.empty()) EmitItem(out, row.Label, itemText, context);
            break;
        }
    }
    context.MultiLineResult = true;
    return out;
}

}  // namespace quorvela::metadata
