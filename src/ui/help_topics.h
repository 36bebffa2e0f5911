#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace quorvela::ui {

inline constexpr int kHelpTopicProgram = 100;
inline constexpr int kHelpTopicCameraTable = 3;

// The help page of a topic (topic 100 is the program, 3 the camera table); the program's
// page for any other topic.
std::string_view HelpPageFor(int topic);

// The two link labels' pages until the project has a web site of its own.
inline constexpr std::string_view kHomePage = "home.html";
inline constexpr std::string_view kSupportPage = "support.html";

// The first folder of `candidates` that holds the help's front page; empty when none does.
std::filesystem::path FindHelpFolder(const std::vector<std::filesystem::path>& candidates);

// Where the help may lie: beside the program ("help"), in an installed data folder
// ("../share/quorvela/help"), and in the source tree the program was built from.
std::vector<std::filesystem::path> HelpFolderCandidates(const std::filesystem::path& executableFolder);

}  // namespace quorvela::ui
