#pragma once

#include <filesystem>

namespace quorvela::settings {

// The folder of the running program, without a trailing separator.
std::filesystem::path ExecutableFolder();

// The program's own folder when it is writable, else the per-user configuration folder.
std::filesystem::path WritableProgramFolder(const std::filesystem::path& executableFolder);

// The per-user configuration folder, $XDG_CONFIG_HOME/quorvela or ~/.config/quorvela, made
// when missing; empty when there is no home or it cannot be made.
std::filesystem::path UserConfigFolder();

// Where the program finds what it ships and keeps what it writes, both for a program run from
// its build folder (everything beside it) and for an installed one (<prefix>/bin/quorvela with
// <prefix>/share/quorvela holding the camera table, the help and the demo folder).

// <prefix>/share/quorvela when the program at `executableFolder` is installed; empty otherwise.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& executableFolder);

// Where vintrop.ini, cam_equiv.txt and vt_debug.txt live: the per-user configuration folder for
// an installed program (it must not write into the system's folders, even when it could), else
// WritableProgramFolder's choice.
std::filesystem::path ProgramFolderFor(const std::filesystem::path& executableFolder);

// The shipped camera table cam_equiv.exp: beside the program, else in the installed data folder.
std::filesystem::path SeedFileFor(const std::filesystem::path& executableFolder);

// The demo folder of small photos: "demo" beside the program, else in the installed data
// folder; empty when there is none.
std::filesystem::path DemoFolderFor(const std::filesystem::path& executableFolder);

}  // namespace quorvela::settings
