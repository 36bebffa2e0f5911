#include "settings/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace quorvela::settings {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path(error) : self.parent_path();
}

fs::path UserConfigFolder() {
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = fs::path(home) / ".config";
    } else {
        return {};
    }
    std::error_code error;
    fs::create_directories(base / "quorvela", error);
    return error ? fs::path() : base / "quorvela";
}

fs::path WritableProgramFolder(const fs::path& executableFolder) {
    if (::access(executableFolder.c_str(), W_OK) == 0) return executableFolder;
    const fs::path user = UserConfigFolder();
    return user.empty() ? executableFolder : user;
}

}  // namespace quorvela::settings
