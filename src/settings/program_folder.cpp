#include "settings/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "common/file_names.h"

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

namespace {

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

fs::path InstalledDataFolder(const fs::path& executableFolder) {
    if (executableFolder.empty()) return {};
    // A build folder has its own copy of the table beside the program.
    if (IsFile(executableFolder / common::kSeedFileName)) return {};
    const fs::path data = executableFolder.parent_path() / "share" / "quorvela";
    return IsFile(data / common::kSeedFileName) ? data : fs::path();
}

fs::path ProgramFolderFor(const fs::path& executableFolder) {
    if (InstalledDataFolder(executableFolder).empty()) return WritableProgramFolder(executableFolder);
    const fs::path user = UserConfigFolder();
    return user.empty() ? executableFolder : user;
}

fs::path SeedFileFor(const fs::path& executableFolder) {
    const fs::path beside = executableFolder / common::kSeedFileName;
    const fs::path installed = InstalledDataFolder(executableFolder);
    return installed.empty() ? beside : installed / common::kSeedFileName;
}

fs::path DemoFolderFor(const fs::path& executableFolder) {
    if (IsFolder(executableFolder / "demo")) return executableFolder / "demo";
    const fs::path installed = InstalledDataFolder(executableFolder);
    if (!installed.empty() && IsFolder(installed / "demo")) return installed / "demo";
    return {};
}

}  // namespace quorvela::settings
