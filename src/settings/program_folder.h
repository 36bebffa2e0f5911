#pragma once

#include <filesystem>

namespace quorvela::settings {

// The folder of the running program, without a trailing separator.
std::filesystem::path ExecutableFolder();

// Where the program keeps vintrop.ini, cam_equiv.txt and vt_debug.txt: the program's own
// folder, or the per-user configuration folder ($XDG_CONFIG_HOME or ~/.config, then
// "quorvela") when the program's folder is not writable, as for an installed program.
std::filesystem::path WritableProgramFolder(const std::filesystem::path& executableFolder);

// The per-user configuration folder, $XDG_CONFIG_HOME/quorvela or ~/.config/quorvela, made
// when missing; empty when there is no home or it cannot be made.
std::filesystem::path UserConfigFolder();

}  // namespace quorvela::settings
