#include "settings_one_input.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "scratch_file.h"
#include "settings/settings_file.h"

namespace quorvela::fuzz {
namespace {

namespace fs = std::filesystem;
using settings::IniSettings;

// A folder for the written file: the writer renames a temporary file over its target, which
// an in-memory file cannot take. Memory-backed where there is one, since the writer syncs.
// One per process, named by its id; a fuzzing process ends without tidying up, so folders of
// processes that are gone are removed first.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        const std::string prefix = "quorvela-settings-fuzz-";
        for (const auto& entry : fs::directory_iterator(base, error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) != 0) continue;
            const int pid = std::atoi(name.c_str() + prefix.size());
            if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), error);
        }
        path_ = base / (prefix + std::to_string(::getpid()));
        fs::create_directories(path_, error);
        if (error) Broken("scratch folder", path_.string() + ": " + error.message());
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    fs::path File() const { return path_ / settings::kSettingsFileName; }

  private:
    fs::path path_;
};

void CheckLimits(const IniSettings& s) {
    if (s.PathList < -1 || s.PathList > 3) Broken("path-list index out of range", std::to_string(s.PathList));
    if (s.IgnoreUpTo < 0 || s.IgnoreUpTo > 49) Broken("ignore-up-to out of range", std::to_string(s.IgnoreUpTo));
    if (s.StepSize < 1 || s.StepSize > 50) Broken("step size out of range", std::to_string(s.StepSize));
}

// A text as a settings value can hold one: a single line, no surrounding blanks (the file
// format trims them, as the private-profile functions do), no zero byte.
std::string Storable(std::string_view raw) {
    std::string text;
    for (const char c : raw) {
        if (c != '\0' && c != '\r' && c != '\n') text += c;
    }
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Settings different from what the file held, taken from the input's own bytes.
IniSettings Changed(IniSettings s, std::string_view input) {
    const auto piece = [&](std::size_t at, std::size_t n) {
        return Storable(at < input.size() ? input.substr(at, n) : std::string_view());
    };
    s.UseSteps = !s.UseSteps;
    s.IncludeSubfolders = !s.IncludeSubfolders;
    s.ThreeD = !s.ThreeD;
    s.BarGraph = true;  // always written as 1
    s.AlwaysCalculate = !s.AlwaysCalculate;
    s.FractionShutter = !s.FractionShutter;
    s.PathList = s.PathList == 3 ? -1 : s.PathList + 1;
    s.RealLens = piece(0, 5);
    s.Equivalent = piece(5, 5);
    s.FilterMake = piece(10, 20);
    s.FilterModel = piece(30, 20);
    s.FilterOn = !s.FilterOn;
    s.RealLength = !s.RealLength;
    s.MakerTag = piece(50, 20);
    s.MakerData = piece(70, 20);
    s.MakerNote = !s.MakerNote;
    s.IgnoreUpTo = 49 - s.IgnoreUpTo;
    s.StepSize = 51 - s.StepSize;
    s.Path = piece(90, 200);
    s.Labels = ~s.Labels;
    s.Tree = -s.Tree / 2;
    s.WindowTop = s.WindowTop ^ 0x5A5A;
    s.WindowLeft = s.WindowLeft / 3;
    s.WindowWidth = s.WindowWidth ^ 1;
    s.WindowHeight = ~s.WindowHeight;
    s.WindowState = s.WindowState == 3 ? 1 : s.WindowState + 1;
    return s;
}

void CheckSame(const IniSettings& wanted, const IniSettings& got) {
    const auto flag = [](const char* name, bool a, bool b) {
        if (a != b) Broken("written flag read back changed", name);
    };
    const auto number = [](const char* name, int a, int b) {
        if (a != b)
            Broken("written number read back changed",
                   std::string(name) + " " + std::to_string(a) + " -> " + std::to_string(b));
    };
    const auto text = [](const char* name, const std::string& a, const std::string& b) {
        if (a != b) Broken("written text read back changed", std::string(name) + " [" + a + "] -> [" + b + "]");
    };
    flag("UseSteps", wanted.UseSteps, got.UseSteps);
    flag("IncludeSubfolders", wanted.IncludeSubfolders, got.IncludeSubfolders);
    flag("ThreeD", wanted.ThreeD, got.ThreeD);
    flag("BarGraph", wanted.BarGraph, got.BarGraph);
    flag("AlwaysCalculate", wanted.AlwaysCalculate, got.AlwaysCalculate);
    flag("FractionShutter", wanted.FractionShutter, got.FractionShutter);
    number("PathList", wanted.PathList, got.PathList);
    text("RealLens", wanted.RealLens, got.RealLens);
    text("Equivalent", wanted.Equivalent, got.Equivalent);
    text("FilterMake", wanted.FilterMake, got.FilterMake);
    text("FilterModel", wanted.FilterModel, got.FilterModel);
    flag("FilterOn", wanted.FilterOn, got.FilterOn);
    flag("RealLength", wanted.RealLength, got.RealLength);
    text("MakerTag", wanted.MakerTag, got.MakerTag);
    text("MakerData", wanted.MakerData, got.MakerData);
    flag("MakerNote", wanted.MakerNote, got.MakerNote);
    number("IgnoreUpTo", wanted.IgnoreUpTo, got.IgnoreUpTo);
    number("StepSize", wanted.StepSize, got.StepSize);
    text("Path", wanted.Path, got.Path);
    number("Labels", wanted.Labels, got.Labels);
    number("Tree", wanted.Tree, got.Tree);
    number("WindowTop", wanted.WindowTop, got.WindowTop);
    number("WindowLeft", wanted.WindowLeft, got.WindowLeft);
    number("WindowWidth", wanted.WindowWidth, got.WindowWidth);
    number("WindowHeight", wanted.WindowHeight, got.WindowHeight);
    number("WindowState", wanted.WindowState, got.WindowState);
}

}  // namespace

void ReadOneSettingsFile(std::span<const std::uint8_t> bytes) {
    static ScratchFile memory;
    const IniSettings read = settings::ReadIniFile(memory.Hold(bytes));
    CheckLimits(read);

    static const ScratchFolder folder;
    const fs::path file = folder.File();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const std::string_view input(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const IniSettings wanted = Changed(read, input);
    settings::WriteIniFile(file, wanted);
    const IniSettings got = settings::ReadIniFile(file);
    CheckLimits(got);
    CheckSame(wanted, got);
}

}  // namespace quorvela::fuzz
