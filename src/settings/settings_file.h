#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/file_names.h"

namespace quorvela::settings {

// For callers that know the settings but not the program's other files.
inline constexpr std::string_view kSettingsFileName = common::kSettingsFileName;

// The manual factor's two fields (`Edit1`, `Edit2`) hold at most this many characters. A
// longer value in the file is read as its first five characters, which is what the window's
// fields keep of a longer text put into them, so the window and quorvela-cli read one file
// alike.
inline constexpr std::size_t kLensTextLength = 5;

// Every key of vintrop.ini. The defaults are those of a first start; the window-bound ones
// (panel width and window bounds) are the caller's current values, passed in as defaults.
struct IniSettings {
    bool UseSteps = true;           // CHECKMARK 0
    bool IncludeSubfolders = true;  // CHECKMARK 1
    bool ThreeD = false;            // CHECKMARK 2
    bool BarGraph = true;           // CHECKMARK 3: read, but the focal chart is always bars
    bool AlwaysCalculate = false;   // CHECKMARK 4
    bool FractionShutter = false;   // CHECKMARK 5
    int PathList = 0;               // RadioButton 0, -1 to 5 (the window's six choices; 4: lens, 5: rating)
    std::string RealLens = "8,2";   // LensVAL 0
    std::string Equivalent = "38";  // LensVAL 1
    std::string FilterMake;         // FilterMake 2
    std::string FilterModel;        // FilterModel 3
    bool FilterOn = false;          // FilterOn 4
    bool RealLength = false;        // RealLength 5
    std::string MakerTag;           // MakerTag 6
    std::string MakerData;          // MakerData 7
    bool MakerNote = false;         // MakerNote 8
    std::string FilterLens;         // FilterLens 9: part of the lens text
    std::string PeriodFrom;         // FilterPeriod From: "YYYY-MM-DD" or empty
    std::string PeriodTo;           // FilterPeriod To: "YYYY-MM-DD" or empty
    std::string Coverage;           // Coverage Range: "24-70", "35" or empty
    int MinRating = 0;              // FilterRating Min: 0 (none) or 1 to 5 stars
    bool NoRejected = false;        // FilterRating NoRejected: photos rated as rejected left out
    std::string FilterLabel;        // FilterRating Label: part of the colour label
    int IgnoreUpTo = 28;            // INI IgnoreWA, 0 to 49
    int StepSize = 10;              // INI UseStepsWA, 1 to 50
    bool RememberPhotos = true;     // INI RememberPhotos: runs keep what they read in the photo cache
    std::string Path;               // INI Path
    bool IncludeRawHeif = true;     // INI RawHeif: RAW and HEIF photos too, not only JPEG
    int Labels = 0;                 // INI Labels
    int Tree = 185;                 // INI Tree
    int WindowTop = 0;              // INI WinStatusTop
    int WindowLeft = 0;             // INI WinStatusLeft
    int WindowWidth = 855;          // INI WinStatusWidth
    int WindowHeight = 571;         // INI WinStatusHeight
    int WindowState = 3;            // INI WinStatusMain: 1 normal, 2 minimized, 3 maximized
};

// Reads the file; a missing or unreadable file, section or key gives the value in
// `defaults`. Booleans are true for any non-zero integer, integers are decimal or "0x" hex,
// out-of-range values are clamped, a value that is not a number gives the default, the lens
// texts are cut to kLensTextLength characters.
IniSettings ReadIniFile(const std::filesystem::path& file, const IniSettings& defaults = {});

// Writes every key in table order, the window state last, keeping the file's other keys and
// comments. Written to a temporary file and renamed, with CR LF line ends. Throws
// std::runtime_error "Unable to write to <file>" when it cannot be written.
void WriteIniFile(const std::filesystem::path& file, const IniSettings& values);

// Integer text as the settings file holds it: optional sign, decimal or "0x" hexadecimal.
bool ParseIniInteger(const std::string& text, int& value);

}  // namespace quorvela::settings
