#include "settings_file.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <system_error>

#include "common/text_file.h"

// Byte strings in and out: the file is in the system's 8-bit code page, never converted.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace quorvela::settings {

namespace {

// The key table, in writing order. Reading and writing walk the same rows, so a key, its
// default and its clamp are stated once.
template <class Settings, class Visitor>
void VisitKeys(Settings& s, Visitor&& v) {
    v.Bool("CHECKMARK", "0", s.UseSteps);
    v.Bool("CHECKMARK", "1", s.IncludeSubfolders);
    v.Bool("CHECKMARK", "2", s.ThreeD);
    v.Bool("CHECKMARK", "3", s.BarGraph);
    v.Bool("CHECKMARK", "4", s.AlwaysCalculate);
    v.Bool("CHECKMARK", "5", s.FractionShutter);
    v.Int("RadioButton", "0", s.PathList, -1, 5);
    v.Text("LensVAL", "0", s.RealLens, kLensTextLength);
    v.Text("LensVAL", "1", s.Equivalent, kLensTextLength);
    v.Text("FilterMake", "2", s.FilterMake);
    v.Text("FilterModel", "3", s.FilterModel);
    v.Bool("FilterOn", "4", s.FilterOn);
    v.Bool("RealLength", "5", s.RealLength);
    v.Text("MakerTag", "6", s.MakerTag);
    v.Text("MakerData", "7", s.MakerData);
    v.Bool("MakerNote", "8", s.MakerNote);
    v.Text("FilterLens", "9", s.FilterLens);
    v.Text("FilterPeriod", "From", s.PeriodFrom);
    v.Text("FilterPeriod", "To", s.PeriodTo);
    v.Text("Coverage", "Range", s.Coverage);
    v.Int("FilterRating", "Min", s.MinRating, 0, 5);
    v.Bool("FilterRating", "NoRejected", s.NoRejected);
    v.Text("FilterRating", "Label", s.FilterLabel);
    v.Int("INI", "IgnoreWA", s.IgnoreUpTo, 0, 49);
    v.Int("INI", "UseStepsWA", s.StepSize, 1, 50);
    v.Bool("INI", "RememberPhotos", s.RememberPhotos);
    v.Text("INI", "Path", s.Path);
    v.Bool("INI", "RawHeif", s.IncludeRawHeif);
    v.Int("INI", "Labels", s.Labels, INT_MIN, INT_MAX);
    v.Int("INI", "Tree", s.Tree, INT_MIN, INT_MAX);
    v.Int("INI", "WinStatusTop", s.WindowTop, INT_MIN, INT_MAX);
    v.Int("INI", "WinStatusLeft", s.WindowLeft, INT_MIN, INT_MAX);
    v.Int("INI", "WinStatusWidth", s.WindowWidth, INT_MIN, INT_MAX);
    v.Int("INI", "WinStatusHeight", s.WindowHeight, INT_MIN, INT_MAX);
    v.Int("INI", "WinStatusMain", s.WindowState, INT_MIN, INT_MAX);
}

struct Reader {
    const CSimpleIniA& ini;

    void Bool(const char* section, const char* key, bool& value) const {
        int number = 0;
        const char* text = ini.GetValue(section, key, nullptr);
        if (text != nullptr && ParseIniInteger(text, number)) value = number != 0;
    }
    void Int(const char* section, const char* key, int& value, int low, int high) const {
        int number = 0;
        const char* text = ini.GetValue(section, key, nullptr);
        if (text != nullptr && ParseIniInteger(text, number)) value = std::clamp(number, low, high);
    }
    void Text(const char* section, const char* key, std::string& value, std::size_t longest = std::string::npos) const {
        // Characters are bytes here: the file is in a single-byte code page.
        if (const char* text = ini.GetValue(section, key, nullptr)) value = std::string(text).substr(0, longest);
    }
};

struct Writer {
    CSimpleIniA& ini;

    void Bool(const char* section, const char* key, bool value) const { Put(section, key, value ? "1" : "0"); }
    void Int(const char* section, const char* key, int value, int, int) const {
        Put(section, key, std::to_string(value));
    }
    void Text(const char* section, const char* key, const std::string& value,
              std::size_t longest = std::string::npos) const {
        Put(section, key, value.substr(0, longest));
    }
    void Put(const char* section, const char* key, const std::string& value) const {
        ini.SetValue(section, key, value.c_str());
    }
};

// A damaged file can leave names that hold a line break (a "[" whose "]" comes lines later).
// Written back they would become lines of their own, even a second copy of one of our
// sections whose stale keys then override the ones just written: they go.
void DropNamesWithLineBreaks(CSimpleIniA& ini) {
    const auto broken = [](const char* name) { return std::strpbrk(name, "\r\n") != nullptr; };
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    for (const auto& section : sections) {
        if (broken(section.pItem)) {
            ini.Delete(section.pItem, nullptr);
            continue;
        }
        CSimpleIniA::TNamesDepend keys;
        ini.GetAllKeys(section.pItem, keys);
        for (const auto& key : keys) {
            if (broken(key.pItem)) ini.Delete(section.pItem, key.pItem);
        }
    }
}

}  // namespace

bool ParseIniInteger(const std::string& raw, int& value) {
    std::string_view text(raw);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    std::int64_t number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    if (ec != std::errc{} || end != text.data() + text.size()) return false;
    if (negative) number = -number;
    if (number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    return true;
}

IniSettings ReadIniFile(const std::filesystem::path& file, const IniSettings& defaults) {
    IniSettings values = defaults;
    std::string content;
    try {
        content = common::ReadTextFile(file);
    } catch (const std::exception&) {
        return values;  // missing or unreadable: every default
    }
    CSimpleIniA ini(false, false, false);
    if (ini.LoadData(content) < 0) return values;
    VisitKeys(values, Reader{ini});
    return values;
}

void WriteIniFile(const std::filesystem::path& file, const IniSettings& values) {
    CSimpleIniA ini(false, false, false);
    ini.SetSpaces(false);
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        try {
            ini.LoadData(common::ReadTextFile(file));
        } catch (const std::exception&) {
            // An unreadable old file is replaced by a new one with our keys only.
        }
    }
    DropNamesWithLineBreaks(ini);
    IniSettings copy = values;
    copy.BarGraph = true;  // always written as 1
    VisitKeys(copy, Writer{ini});
    std::string text;
    if (ini.Save(text) < 0) throw std::runtime_error("Unable to write to " + file.string());
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\r') continue;
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    common::WriteFileAtomically(file, crlf);
}

}  // namespace quorvela::settings
