#include "ui/help_topics.h"

#include <system_error>

namespace quorvela::ui {

namespace fs = std::filesystem;

std::string_view HelpPageFor(int topic) {
    return topic == kHelpTopicCameraTable ? "camera-table.html" : "index.html";
}

fs::path FindHelpFolder(const std::vector<fs::path>& candidates) {
    for (const fs::path& folder : candidates) {
        std::error_code error;
        if (fs::is_regular_file(folder / HelpPageFor(kHelpTopicProgram), error)) return folder;
    }
    return {};
}

std::vector<fs::path> HelpFolderCandidates(const fs::path& executableFolder) {
    std::vector<fs::path> folders{executableFolder / "help",
                                  executableFolder.parent_path() / "share" / "quorvela" / "help"};
#ifdef QUORVELA_SOURCE_HELP_DIR
    folders.emplace_back(QUORVELA_SOURCE_HELP_DIR);
#endif
    return folders;
}

}  // namespace quorvela::ui
