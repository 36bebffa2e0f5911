#include "lensfun_data.h"

#include <fcntl.h>
#include <lensfun/lensfun.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include "camera_database.h"
#include "common/ascii.h"

namespace quorvela::equivalence {
namespace {

constexpr std::size_t kNone = std::string_view::npos;
// The key of the list of every camera: no make's key has a line break.
constexpr std::string_view kEveryMake = "\n";
constexpr std::string_view kDatabaseStart = "<lensdatabase version=\"1\">\n";
constexpr std::string_view kDatabaseEnd = "</lensdatabase>\n";

// Where a part of an element that is not read ends: comments (which may hold elements) and
// calibrations (most of the data, and no part of a lens's range).
std::string_view SkipTo(std::string_view rest) {
    if (rest.starts_with("<!--")) return "-->";
    if (rest.starts_with("<calibration>")) return "</calibration>";
    return {};
}

// Appends `text` without the blanks between a tag's end and the next tag: lensfun skips them,
// and its XML parser reads them character by character (a sixth of the cameras' text).
void AppendCompact(std::string_view text, std::string& out) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t tagEnd = text.find('>', at);
        const std::size_t end = tagEnd == kNone ? text.size() : tagEnd + 1;
        out.append(text.substr(at, end - at));
        const std::size_t next = text.find_first_not_of(" \t\r\n", end);
        at = next != kNone && text[next] == '<' ? next : end;
    }
}

// Appends the element that starts at `start` without its comments and calibrations; returns
// where the element ends, kNone (and nothing appended) when it does not.
std::size_t AppendElement(std::string_view xml, std::size_t start, std::string_view close, std::string& out) {
    const std::size_t before = out.size();
    std::size_t copied = start;
    for (std::size_t at = xml.find('<', start + 1); at != kNone; at = xml.find('<', at)) {
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with(close)) {
            const std::size_t end = at + close.size();
            AppendCompact(xml.substr(copied, end - copied), out);
            out.append("\n");
            return end;
        }
        const std::string_view skipTo = SkipTo(rest);
        if (skipTo.empty()) {
            ++at;
            continue;
        }
        const std::size_t skipEnd = xml.find(skipTo, at);
        if (skipEnd == kNone) break;
        AppendCompact(xml.substr(copied, at - copied), out);
        copied = at = skipEnd + skipTo.size();
    }
    out.resize(before);
    return kNone;
}

void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// An element's text as the XML means it: "&amp;" is "&", "&#228;" is "ä".
std::string XmlText(std::string_view raw) {
    constexpr std::array<std::pair<std::string_view, char>, 5> kEntities{
        {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
    std::string text;
    text.reserve(raw.size());
    for (std::size_t at = 0; at < raw.size();) {
        const std::size_t semicolon = raw[at] == '&' ? raw.find(';', at) : kNone;
        if (semicolon == kNone) {
            text += raw[at++];
            continue;
        }
        const std::string_view name = raw.substr(at + 1, semicolon - at - 1);
        std::uint32_t code = 0;
        const bool hex = name.starts_with("#x");
        const std::string_view digits = name.substr(hex ? 2 : 1);
        const auto known =
            std::find_if(kEntities.begin(), kEntities.end(), [name](const auto& e) { return e.first == name; });
        if (known != kEntities.end()) {
            text += known->second;
        } else if (name.starts_with('#') &&
                   std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10).ptr ==
                       digits.data() + digits.size()) {
            AppendUtf8(code, text);
        } else {
            text.append(raw.substr(at, semicolon + 1 - at));  // not a reference: kept as written
        }
        at = semicolon + 1;
    }
    return text;
}

// The number of attribute `name` in a tag (the 18 of `focal min="18" max="70"/`); 0 when absent.
double Attribute(std::string_view tag, std::string_view name) {
    for (std::size_t at = tag.find(name); at != kNone; at = tag.find(name, at + 1)) {
        const std::string_view rest = tag.substr(at + name.size());
        if (at == 0 || tag[at - 1] != ' ' || !rest.starts_with("=\"")) continue;
        double value = 0;
        std::from_chars(rest.data() + 2, rest.data() + rest.size(), value, std::chars_format::fixed);
        return value;
    }
    return 0;
}

// What a child element of a <lens> tells (`tag` is its start tag's inside, `text` what follows it).
void ReadLensChild(std::string_view tag, std::string_view text, LensListing& listing) {
    if (tag == "maker" || tag == "model" || tag == "mount") {  // with a lang attribute: a translation
        std::string value = XmlText(common::Trim(text));
        if (tag == "mount") {
            listing.Mounts.push_back(std::move(value));
        } else {
            (tag == "maker" ? listing.Maker : listing.Model) = std::move(value);
        }
    } else if (tag.starts_with("focal ")) {
        const double value = Attribute(tag, "value");
        listing.Stated.MinFocal = value > 0 ? value : Attribute(tag, "min");
        listing.Stated.MaxFocal = value > 0 ? value : Attribute(tag, "max");
    } else if (tag.starts_with("aperture ")) {
        const double value = Attribute(tag, "value");
        listing.Stated.WideAperture = value > 0 ? value : Attribute(tag, "min");
    }
}

// Reads the <lens> element that starts at `start`; returns where it ends, kNone when it does not.
std::size_t ReadLens(std::string_view xml, std::size_t start, LensListing& listing) {
    constexpr std::string_view kClose = "</lens>";
    for (std::size_t at = xml.find('<', start + 1); at != kNone; at = xml.find('<', at)) {
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with(kClose)) return at + kClose.size();
        if (const std::string_view skipTo = SkipTo(rest); !skipTo.empty()) {
            at = xml.find(skipTo, at);
            if (at == kNone) return kNone;
            at += skipTo.size();
            continue;
        }
        const std::size_t tagEnd = xml.find('>', at);
        if (tagEnd == kNone) return kNone;
        const std::size_t textEnd = std::min(xml.find('<', tagEnd), xml.size());
        ReadLensChild(xml.substr(at + 1, tagEnd - at - 1), xml.substr(tagEnd + 1, textEnd - tagEnd - 1), listing);
        at = tagEnd + 1;
    }
    return kNone;
}

// The XML files of lensfun's folders, each folder in name order as lensfun reads it.
std::vector<std::filesystem::path> XmlFiles(const std::vector<std::filesystem::path>& folders) {
    std::vector<std::filesystem::path> all;
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            if (it->path().extension() == ".xml" && it->is_regular_file(error)) files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        all.insert(all.end(), files.begin(), files.end());
    }
    return all;
}

// The files read one after another into one buffer, which halves their reading time; it is
// not filled before a file is read into it (a string would be, a byte at a time).
class FileBuffer {
  public:
    // The whole of a regular file, valid until the next Read; nothing when it cannot be read.
    std::optional<std::string_view> Read(const std::filesystem::path& file) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return std::nullopt;
        struct stat info {};
        std::optional<std::string_view> text;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {  // a FIFO would never end
            const auto wanted = static_cast<std::size_t>(info.st_size);
            if (wanted > capacity_) {
                data_ = std::make_unique_for_overwrite<char[]>(wanted);
                capacity_ = wanted;
            }
            std::size_t size = 0;
            while (size < wanted) {
                const ssize_t n = ::read(fd, data_.get() + size, wanted - size);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                size += static_cast<std::size_t>(n);
            }
            text = std::string_view(data_.get(), size);
        }
        ::close(fd);
        return text;
    }

  private:
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
};

// The make of a <camera> element (without comments) as MakeKey gives it; none when lensfun
// might read it otherwise: its first <maker> has a language, another replaces it, or its text
// holds a reference or more than ASCII.
std::optional<std::string> CameraMake(std::string_view element) {
    constexpr std::string_view kOpen = "<maker>";
    constexpr std::string_view kClose = "</maker>";
    const std::size_t open = element.find("<maker");
    if (open == kNone || !element.substr(open).starts_with(kOpen)) return std::nullopt;
    const std::size_t start = open + kOpen.size();
    const std::size_t end = element.find('<', start);
    if (end == kNone || !element.substr(end).starts_with(kClose) || element.find(kOpen, end) != kNone) {
        return std::nullopt;
    }
    const std::string_view make = element.substr(start, end - start);
    if (make.find('&') != kNone) return std::nullopt;
    return MakeKey(make);
}

// lensfun keeps a timestamp in each data folder; the newest of the system's data and the
// updates wins, as lensfun itself decides.
long Timestamp(const std::filesystem::path& folder) {
    std::ifstream in(folder / "timestamp.txt");
    long value = -1;
    if (!(in >> value)) return -1;
    return value;
}

std::filesystem::path UserDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') return xdg;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".local" / "share";
    }
    return {};
}

LensfunData ReadLensfunData() {
    LensfunParts parts;
    FileBuffer buffer;
    for (const std::filesystem::path& file : XmlFiles(LensfunFolders())) {
        // An unreadable file costs its own entries only.
        if (const std::optional<std::string_view> text = buffer.Read(file)) SplitLensfunText(*text, parts);
    }
    return {std::make_shared<const LensfunCameras>(parts.Mounts, std::move(parts.Cameras)), std::move(parts.Lenses)};
}

}  // namespace

std::vector<std::filesystem::path> LensfunFolders() {
    const std::filesystem::path system = "/usr/share/lensfun/version_1";
    const std::filesystem::path systemUpdates = "/var/lib/lensfun-updates/version_1";
    const std::filesystem::path user = UserDataFolder();
    const std::filesystem::path userUpdates = user.empty() ? user : user / "lensfun" / "updates" / "version_1";
    std::filesystem::path newest = system;
    long newestTime = Timestamp(system);
    for (const std::filesystem::path& updates : {systemUpdates, userUpdates}) {
        if (updates.empty()) continue;
        if (const long time = Timestamp(updates); time > newestTime) {
            newest = updates;
            newestTime = time;
        }
    }
    std::vector<std::filesystem::path> folders{newest};
    if (!user.empty()) folders.push_back(user / "lensfun" / "version_1");
    return folders;
}

std::optional<std::string> MakeKey(std::string_view make) {
    std::string key;
    key.reserve(make.size());
    for (const char c : make) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;      // lensfun folds Unicode's cases
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {  // the blanks of its comparison
            if (!key.empty() && key.back() != ' ') key += ' ';
            continue;
        }
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (!key.empty() && key.back() == ' ') key.pop_back();
    return key;
}

void SplitLensfunText(std::string_view xml, LensfunParts& parts) {
    const std::size_t index = parts.Mounts.size();
    std::string mounts(kDatabaseStart);
    for (std::size_t at = xml.find('<'); at != kNone; at = xml.find('<', at)) {
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with("<!--")) {
            at = xml.find("-->", at);
        } else if (rest.starts_with("<lens>")) {
            LensListing listing;
            at = ReadLens(xml, at, listing);
            if (at != kNone) parts.Lenses.push_back(std::move(listing));
        } else if (rest.starts_with("<mount>")) {
            at = AppendElement(xml, at, "</mount>", mounts);
        } else if (rest.starts_with("<camera>")) {
            CameraElement camera{index, std::nullopt, {}};
            at = AppendElement(xml, at, "</camera>", camera.Element);
            if (at != kNone) {
                camera.Make = CameraMake(camera.Element);
                parts.Cameras.push_back(std::move(camera));
            }
        } else {
            ++at;
        }
        if (at == kNone) break;
    }
    parts.Mounts.push_back(mounts.append(kDatabaseEnd));
}

LensfunCameras::LensfunCameras(const std::vector<std::string>& mounts, std::vector<CameraElement> cameras)
    : mounts_(std::make_unique<lfDatabase>()), cameras_(std::move(cameras)) {
    for (const std::string& text : mounts) mounts_->Load("lensfun data", text.data(), text.size());
}

LensfunCameras::~LensfunCameras() = default;

std::unique_ptr<lfDatabase> LensfunCameras::Load(const std::string* make) const {
    auto db = std::make_unique<lfDatabase>();
    std::string text(kDatabaseStart);
    // Each text read on its own, as lensfun reads its files: a damaged one costs its own cameras.
    const auto load = [&db, &text] {
        if (text.size() == kDatabaseStart.size()) return;
        text.append(kDatabaseEnd);
        db->Load("lensfun data", text.data(), text.size());
        text.assign(kDatabaseStart);
    };
    std::size_t current = 0;
    for (const CameraElement& camera : cameras_) {
        if (make != nullptr && camera.Make && *camera.Make != *make) continue;
        if (camera.Text != current) {
            load();
            current = camera.Text;
        }
        text.append(camera.Element);
    }
    load();
    return db;
}

std::vector<const lfCamera*> LensfunCameras::Find(std::string_view make, std::string_view model) const {
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    std::vector<const lfCamera*> cameras;
    if (make.empty() || model.empty() || !ascii(make) || !ascii(model)) return cameras;
    const std::string makeText(make);
    const std::string modelText(model);
    // lensfun reads the make up to a NUL; an empty one matches every make.
    const std::optional<std::string> key = MakeKey(makeText.c_str());
    const std::string list = key && !makeText.starts_with('\0') ? *key : std::string(kEveryMake);
    const std::lock_guard lock(mutex_);
    std::unique_ptr<lfDatabase>& db = byMake_[list];
    if (db == nullptr) db = Load(list == kEveryMake ? nullptr : &list);
    if (const lfCamera** found = db->FindCameras(makeText.c_str(), modelText.c_str()); found != nullptr) {
        for (int i = 0; found[i] != nullptr; ++i) cameras.push_back(found[i]);
        lf_free(found);
    }
    return cameras;
}

const lfMount* const* LensfunCameras::Mounts() const {
    return mounts_->GetMounts();
}

int LensfunCameras::CameraCount() const {
    const std::lock_guard lock(mutex_);
    std::unique_ptr<lfDatabase>& db = byMake_[std::string(kEveryMake)];
    if (db == nullptr) db = Load(nullptr);
    int count = 0;
    if (const lfCamera* const* cameras = db->GetCameras(); cameras != nullptr) {
        while (cameras[count] != nullptr) ++count;
    }
    return count;
}

const LensfunData& SharedLensfunData() {
    static const LensfunData data = ReadLensfunData();
    return data;
}

}  // namespace quorvela::equivalence
