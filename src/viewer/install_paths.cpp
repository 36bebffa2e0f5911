#include "viewer/install_paths.h"

#include <cstdlib>
#include <system_error>

#include "equivalence/equivalent_table.h"
#include "settings/program_folder.h"

namespace quorvela::viewer {

namespace fs = std::filesystem;

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
    if (IsFile(executableFolder / equivalence::kSeedFileName)) return {};
    const fs::path data = executableFolder.parent_path() / "share" / "quorvela";
    return IsFile(data / equivalence::kSeedFileName) ? data : fs::path();
}

fs::path ProgramFolderFor(const fs::path& executableFolder) {
    if (InstalledDataFolder(executableFolder).empty()) return executableFolder;
    const fs::path user = settings::UserConfigFolder();
    return user.empty() ? executableFolder : user;
}

fs::path SeedFileFor(const fs::path& executableFolder) {
    const fs::path beside = executableFolder / equivalence::kSeedFileName;
    const fs::path installed = InstalledDataFolder(executableFolder);
    return installed.empty() ? beside : installed / equivalence::kSeedFileName;
}

fs::path DemoFolderFor(const fs::path& executableFolder) {
    if (IsFolder(executableFolder / "demo")) return executableFolder / "demo";
    const fs::path installed = InstalledDataFolder(executableFolder);
    if (!installed.empty() && IsFolder(installed / "demo")) return installed / "demo";
    return {};
}

}  // namespace quorvela::viewer
