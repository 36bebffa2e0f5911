#pragma once

#include <string_view>

namespace quorvela::common {

// The files the program keeps in its folder (see settings::ProgramFolderFor), named once
// for the window, the command line and the camera-table editor.
inline constexpr std::string_view kSettingsFileName = "vintrop.ini";
inline constexpr std::string_view kTableFileName = "cam_equiv.txt";
inline constexpr std::string_view kPathListFileName = "vt_debug.txt";
// The shipped camera table a missing cam_equiv.txt is made from.
inline constexpr std::string_view kSeedFileName = "cam_equiv.exp";

}  // namespace quorvela::common
