#include "lens_database.h"

#include <fcntl.h>
#include <lensfun/lensfun.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <utility>

#include "camera_database.h"
#include "common/ascii.h"

namespace quorvela::equivalence {
namespace {

// A focal end matches when it lies this close: half a millimetre, or 1.5 % of a long one
// (names round 17.5 to 18, maker notes round the other way).
constexpr double kFocalSlack = 0.5;
constexpr double kFocalShare = 0.015;
// f-numbers are written to one decimal; maker notes give them to a few hundredths.
constexpr double kFNumberSlack = 0.05;
// Its compat list names every mount: followed, it would admit every lens.
constexpr std::string_view kGeneric = "GENERIC";
constexpr std::size_t kNone = std::string_view::npos;

// A <lens> of lensfun's data: its names, its mounts, and the range its own elements state.
struct Listing {
    std::string Maker;
    std::string Model;
    std::vector<std::string> Mounts;
    LensRange Stated;
};

// Where a part of an element that is not read ends: comments (which may hold elements) and
// calibrations (most of the data, and no part of a lens's range).
std::string_view SkipTo(std::string_view rest) {
    if (rest.starts_with("<!--")) return "-->";
    if (rest.starts_with("<calibration>")) return "</calibration>";
    return {};
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
            out.append(xml.substr(copied, end - copied)).append("\n");
            return end;
        }
        const std::string_view skipTo = SkipTo(rest);
        if (skipTo.empty()) {
            ++at;
            continue;
        }
        const std::size_t skipEnd = xml.find(skipTo, at);
        if (skipEnd == kNone) break;
        out.append(xml.substr(copied, at - copied));
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
void ReadLensChild(std::string_view tag, std::string_view text, Listing& listing) {
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
std::size_t ReadLens(std::string_view xml, std::size_t start, Listing& listing) {
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

// The mounts and cameras of a lensfun XML text appended to `database`, its lenses to
// `lenses`; what lies in comments is left out.
void SplitXml(std::string_view xml, std::string& database, std::vector<Listing>& lenses) {
    for (std::size_t at = xml.find('<'); at != kNone; at = xml.find('<', at)) {
        const std::string_view rest = xml.substr(at);
        if (rest.starts_with("<!--")) {
            at = xml.find("-->", at);
        } else if (rest.starts_with("<lens>")) {
            Listing listing;
            at = ReadLens(xml, at, listing);
            if (at != kNone) lenses.push_back(std::move(listing));
        } else if (rest.starts_with("<mount>")) {
            at = AppendElement(xml, at, "</mount>", database);
        } else if (rest.starts_with("<camera>")) {
            at = AppendElement(xml, at, "</camera>", database);
        } else {
            ++at;
        }
        if (at == kNone) return;
    }
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

// The whole of a regular file in `text`, read at once into what the text already holds: the
// files are read one after another into one buffer, which halves their reading time.
bool ReadWhole(const std::filesystem::path& file, std::string& text) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);  // a FIFO would never end
    if (regular) {
        text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t size = 0;
        while (size < text.size()) {
            const ssize_t n = ::read(fd, text.data() + size, text.size() - size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            size += static_cast<std::size_t>(n);
        }
        text.resize(size);
    }
    ::close(fd);
    return regular;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return c >= 'a' && c <= 'z';
}

// The name in lower case, a decimal comma made a point ("1:2,8/50").
std::string Lower(std::string_view text) {
    std::string lower(text);
    for (std::size_t i = 0; i < lower.size(); ++i) {
        char& c = lower[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == ',' && i > 0 && i + 1 < lower.size() && IsDigit(lower[i - 1]) && IsDigit(lower[i + 1])) c = '.';
    }
    return lower;
}

// One number or two joined by a hyphen, as names write ranges ("18", "3.5-5.6"), and where
// it starts and ends.
struct Span {
    double Low = 0;
    double High = 0;
    std::size_t Start = 0;
    std::size_t End = 0;
};

std::optional<Span> SpanAt(std::string_view text, std::size_t at) {
    const auto number = [text](std::size_t from, double& value) -> std::size_t {
        if (from >= text.size() || !IsDigit(text[from])) return kNone;
        const auto result =
            std::from_chars(text.data() + from, text.data() + text.size(), value, std::chars_format::fixed);
        return result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - text.data()) : kNone;
    };
    Span span;
    span.Start = at;
    span.End = number(at, span.Low);
    if (span.End == kNone || !(span.Low > 0)) return std::nullopt;
    span.High = span.Low;
    if (span.End + 1 < text.size() && text[span.End] == '-') {
        double high = 0;
        if (const std::size_t end = number(span.End + 1, high); end != kNone && high >= span.Low) {
            span.High = high;
            span.End = end;
        }
    }
    return span;
}

// The span that starts at `at` once spaces are skipped.
std::optional<Span> SpanAfter(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] == ' ') ++at;
    return SpanAt(text, at);
}

// Where the number that ends at `end` starts ("M.12" starts at the 1).
std::size_t NumberStart(std::string_view text, std::size_t end) {
    std::size_t start = end;
    while (start > 0 && (IsDigit(text[start - 1]) || text[start - 1] == '.')) --start;
    while (start < end && text[start] == '.') ++start;
    return start;
}

// The span that ends at `end`, spaces before it skipped ("18-70" of "18-70 mm").
std::optional<Span> SpanBefore(std::string_view text, std::size_t end) {
    while (end > 0 && text[end - 1] == ' ') --end;
    std::size_t start = NumberStart(text, end);
    if (start == end) return std::nullopt;
    if (start >= 2 && text[start - 1] == '-' && IsDigit(text[start - 2])) start = NumberStart(text, start - 1);
    std::optional<Span> span = SpanAt(text, start);
    if (!span || span->End != end) return std::nullopt;
    return span;
}

// "f/3.5-5.6", "F4", "f_2.8", "mmF2.8"; else "1:3.5-5.6" or "1/2.8". An f inside a word
// ("EF85mm") is none. The span starts at its f or its 1.
std::optional<Span> FNumbers(std::string_view lower) {
    for (std::size_t f = lower.find('f'); f != kNone; f = lower.find('f', f + 1)) {
        const bool wordStart = f == 0 || !IsLetter(lower[f - 1]) || (f >= 2 && lower.substr(f - 2, 2) == "mm");
        if (!wordStart) continue;
        std::size_t at = f + 1;
        if (at < lower.size() && (lower[at] == '/' || lower[at] == '_')) ++at;
        if (std::optional<Span> span = SpanAt(lower, at)) return Span{span->Low, span->High, f, span->End};
    }
    for (const std::string_view prefix : {"1:", "1/"}) {
        for (std::size_t one = lower.find(prefix); one != kNone; one = lower.find(prefix, one + 1)) {
            if (one > 0 && (IsDigit(lower[one - 1]) || IsLetter(lower[one - 1]) || lower[one - 1] == '.')) continue;
            if (std::optional<Span> span = SpanAt(lower, one + 2)) return Span{span->Low, span->High, one, span->End};
        }
    }
    return std::nullopt;
}

// Names without "mm": "10-25/F1.7" (focal length first) or "2.8/16" (f-number first).
void SlashForm(std::string_view lower, std::optional<Span>& focal, std::optional<Span>& fnumbers) {
    for (std::size_t slash = lower.find('/'); slash != kNone; slash = lower.find('/', slash + 1)) {
        const std::optional<Span> before = SpanBefore(lower, slash);
        if (!before) continue;
        std::size_t after = slash + 1;
        while (after < lower.size() && lower[after] == ' ') ++after;
        if (after < lower.size() && lower[after] == 'f') {
            focal = before;
            if (!fnumbers) fnumbers = SpanAt(lower, after + 1);
            return;
        }
        if (std::optional<Span> focalAfter = SpanAt(lower, after)) {
            focal = focalAfter;
            fnumbers = before;
            return;
        }
    }
}

// A listing of a lens with something before or behind it: the photo names the lens, and the
// listing would make the lens's own listing one of two.
bool NamesAccessory(std::string_view lower) {
    constexpr std::array<std::string_view, 7> kWords{"adapter",   "reducer", "booster", "extender",
                                                     "converter", " + ",     ", with "};
    return std::any_of(kWords.begin(), kWords.end(),
                       [lower](std::string_view word) { return lower.find(word) != kNone; });
}

// The range a listing states in its own elements, else in its name (as lensfun reads it).
LensRange ListedRange(const LensRange& stated, std::string_view model) {
    LensRange range = RangeInName(model);
    if (stated.MinFocal > 0 && stated.MaxFocal >= stated.MinFocal) {
        range.MinFocal = stated.MinFocal;
        range.MaxFocal = stated.MaxFocal;
    }
    if (stated.WideAperture > 0) range.WideAperture = stated.WideAperture;
    return range;
}

std::string ShownName(std::string_view maker, std::string_view model) {
    if (maker.empty() || common::EqualsIgnoreAsciiCase(model.substr(0, maker.size()), maker)) return std::string(model);
    std::string name;
    name.reserve(maker.size() + 1 + model.size());
    name.append(maker).append(" ").append(model);
    return name;
}

bool NearFocal(double a, double b) {
    return std::fabs(a - b) <= std::max(kFocalSlack, kFocalShare * std::max(a, b));
}

// An f-number one side does not know rules nothing out.
bool SameFNumber(double photo, double lens) {
    return !(photo > 0) || !(lens > 0) || std::fabs(photo - lens) <= kFNumberSlack;
}

bool Fits(const LensRange& lens, const LensRange& photo) {
    return NearFocal(lens.MinFocal, photo.MinFocal) && NearFocal(lens.MaxFocal, photo.MaxFocal) &&
           SameFNumber(photo.WideAperture, lens.WideAperture) && SameFNumber(photo.LongAperture, lens.LongAperture);
}

}  // namespace

LensRange RangeInName(std::string_view model) {
    const std::string lower = Lower(model);
    std::optional<Span> focal;
    for (std::size_t mm = lower.find("mm"); mm != kNone && !focal; mm = lower.find("mm", mm + 1)) {
        focal = SpanBefore(lower, mm);
        if (focal) focal->End = mm + 2;
    }
    std::optional<Span> fnumbers = FNumbers(lower);
    if (focal && !fnumbers) fnumbers = SpanAfter(lower, focal->End);  // "24mm 2.0"
    if (!focal) SlashForm(lower, focal, fnumbers);
    if (!focal && fnumbers) {  // "14-20 F2", "1:2 23"
        focal = SpanBefore(lower, fnumbers->Start);
        if (!focal) focal = SpanAfter(lower, fnumbers->End);
    }
    LensRange range;
    if (focal) {
        range.MinFocal = focal->Low;
        range.MaxFocal = focal->High;
    }
    if (fnumbers) {
        range.WideAperture = fnumbers->Low;
        range.LongAperture = fnumbers->High;
    }
    return range;
}

const LensDatabase& LensDatabase::Shared() {
    static const LensDatabase database(Folders{LensfunFolders()});
    return database;
}

LensDatabase::LensDatabase(const std::vector<std::string>& xmlTexts) : db_(std::make_unique<lfDatabase>()) {
    for (const std::string& xml : xmlTexts) Read(xml);
    Finish();
}

LensDatabase::LensDatabase(const Folders& folders) : db_(std::make_unique<lfDatabase>()) {
    std::string text;
    for (const std::filesystem::path& file : XmlFiles(folders.Paths)) {
        if (ReadWhole(file, text)) Read(text);  // an unreadable file costs its own entries only
    }
    Finish();
}

LensDatabase::~LensDatabase() = default;

void LensDatabase::Read(std::string_view xml) {
    // lensfun reads the mounts and cameras; the lenses are read here: lensfun's reading of them
    // (each name parsed by regular expressions, each lens inserted in order) would more than
    // double the time of the first look-up.
    std::string database = "<lensdatabase version=\"1\">\n";
    std::vector<Listing> listings;
    SplitXml(xml, database, listings);
    database.append("</lensdatabase>\n");
    // A damaged file costs its own mounts and cameras only.
    db_->Load("lens data", database.data(), database.size());
    lensCount_ += static_cast<int>(listings.size());
    for (const Listing& listing : listings) AddLens(listing.Maker, listing.Model, listing.Mounts, listing.Stated);
}

void LensDatabase::Finish() {
    ReadMounts();
    // A lens listed for one declared mount is an interchangeable one; the others are compacts'.
    for (auto& [mount, indexes] : lensesByMount_) {
        if (declared_.contains(mount)) {
            for (const std::size_t index : indexes) lenses_[index].BuiltIn = false;
        }
        // By wide end, so that a look-up compares only the lenses near the photo's.
        std::sort(indexes.begin(), indexes.end(), [this](std::size_t a, std::size_t b) {
            return lenses_[a].Range.MinFocal < lenses_[b].Range.MinFocal;
        });
    }
    identities_ = {};
}

void LensDatabase::ReadMounts() {
    const lfMount* const* mounts = db_->GetMounts();
    for (; mounts != nullptr && mounts[mountCount_] != nullptr; ++mountCount_) {
        const lfMount& mount = *mounts[mountCount_];
        if (mount.Name == nullptr) continue;
        std::string name = common::UpperAscii(mount.Name);
        std::vector<std::string>& accepted = accepts_[name];
        accepted.push_back(name);
        for (char* const* compat = mount.Compat; compat != nullptr && *compat != nullptr; ++compat) {
            std::string other = common::UpperAscii(*compat);
            if (other != kGeneric) accepted.push_back(std::move(other));
        }
        declared_.insert(std::move(name));
    }
}

void LensDatabase::AddLens(std::string_view maker, std::string_view model, const std::vector<std::string>& mounts,
                           const LensRange& stated) {
    const std::string lowerModel = Lower(model);
    const bool generic = lowerModel.find("generic") != kNone || Lower(maker) == "generic";
    if (model.empty() || mounts.empty() || generic || NamesAccessory(lowerModel)) return;
    Lens lens;
    lens.Range = ListedRange(stated, model);
    if (!(lens.Range.MinFocal > 0)) return;  // no photo can be matched to it
    lens.Name = ShownName(maker, model);
    lens.Identity = identities_.try_emplace(Lower(lens.Name), identities_.size()).first->second;
    for (const std::string& mount : mounts) lensesByMount_[common::UpperAscii(mount)].push_back(lenses_.size());
    lenses_.push_back(std::move(lens));
}

const LensDatabase::Camera& LensDatabase::CameraOf(std::string_view make, std::string_view model) const {
    std::string key;
    key.reserve(make.size() + model.size() + 1);
    key.append(make).append("\n").append(model);
    const std::lock_guard lock(mutex_);
    if (const auto it = cameras_.find(key); it != cameras_.end()) return it->second;
    std::vector<std::string> mounts;
    // lensfun expects ASCII; a make or model beyond it names no camera of the database.
    const bool ascii = std::all_of(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii && !make.empty() && !model.empty()) {
        const std::string makeText(make);
        const std::string modelText(model);
        if (const lfCamera** found = db_->FindCameras(makeText.c_str(), modelText.c_str()); found != nullptr) {
            for (int i = 0; found[i] != nullptr; ++i) {
                if (found[i]->Mount != nullptr) mounts.push_back(common::UpperAscii(found[i]->Mount));
            }
            lf_free(found);
        }
    }
    Camera camera;
    camera.BuiltIn = !mounts.empty() && std::none_of(mounts.begin(), mounts.end(), [this](const std::string& mount) {
        return declared_.contains(mount);
    });
    // The camera's own mounts and what they accept, one level deep as lensfun follows them.
    std::vector<std::string> taken;
    for (const std::string& mount : mounts) {
        const auto accepted = accepts_.find(mount);
        if (accepted == accepts_.end()) {
            taken.push_back(mount);
        } else {
            taken.insert(taken.end(), accepted->second.begin(), accepted->second.end());
        }
    }
    std::sort(taken.begin(), taken.end());
    taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
    for (const std::string& mount : taken) {
        if (const auto it = lensesByMount_.find(mount); it != lensesByMount_.end()) {
            camera.Lenses.push_back(&it->second);
        }
    }
    return cameras_.emplace(std::move(key), std::move(camera)).first->second;
}

std::optional<std::string> LensDatabase::NameOf(std::string_view make, std::string_view model,
                                                const LensRange& range) const {
    if (!(range.MinFocal > 0) || !(range.MaxFocal >= range.MinFocal)) return std::nullopt;
    const Camera& camera = CameraOf(make, model);
    // The wide ends NearFocal can accept, or a few more.
    const double lowest = range.MinFocal - std::max(kFocalSlack, kFocalShare * range.MinFocal);
    const double highest = std::max(range.MinFocal + kFocalSlack, range.MinFocal / (1 - kFocalShare));
    const auto below = [this](std::size_t index, double focal) { return lenses_[index].Range.MinFocal < focal; };
    const Lens* found = nullptr;
    for (const std::vector<std::size_t>* mountLenses : camera.Lenses) {
        for (auto it = std::lower_bound(mountLenses->begin(), mountLenses->end(), lowest, below);
             it != mountLenses->end() && lenses_[*it].Range.MinFocal <= highest; ++it) {
            const Lens& lens = lenses_[*it];
            // A fixed-lens listing on an interchangeable camera is a compact's lens.
            if ((lens.BuiltIn && !camera.BuiltIn) || !Fits(lens.Range, range)) continue;
            if (found != nullptr && found->Identity != lens.Identity) return std::nullopt;
            found = &lens;
        }
    }
    if (found == nullptr) return std::nullopt;
    return found->Name;
}

bool LensDatabase::HasBuiltInLens(std::string_view make, std::string_view model) const {
    return CameraOf(make, model).BuiltIn;
}

}  // namespace quorvela::equivalence
