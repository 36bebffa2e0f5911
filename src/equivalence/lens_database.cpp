#include "lens_database.h"

#include <lensfun/lensfun.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "common/ascii.h"
#include "lensfun_data.h"

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
    static const LensDatabase database(SharedLensfunData());
    return database;
}

LensDatabase::LensDatabase(const std::vector<std::string>& xmlTexts) {
    LensfunParts parts;
    for (const std::string& xml : xmlTexts) SplitLensfunText(xml, parts);
    Read(std::make_shared<const LensfunCameras>(parts.Mounts, std::move(parts.Cameras)), parts.Lenses);
}

// lensfun reads the mounts and cameras, shared with CameraDatabase; the lenses are read here:
// lensfun's reading of them (each name parsed by regular expressions, each lens inserted in
// order) would more than double the time of the first look-up.
LensDatabase::LensDatabase(const LensfunData& data) {
    Read(data.Cameras, data.Lenses);
}

LensDatabase::~LensDatabase() = default;

void LensDatabase::Read(std::shared_ptr<const LensfunCameras> cameras, const std::vector<LensListing>& lenses) {
    lensfun_ = std::move(cameras);
    lensCount_ = static_cast<int>(lenses.size());
    for (const LensListing& listing : lenses) AddLens(listing.Maker, listing.Model, listing.Mounts, listing.Stated);
    Finish();
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
    const lfMount* const* mounts = lensfun_->Mounts();
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
    for (const lfCamera* found : lensfun_->Find(make, model)) {
        if (found->Mount != nullptr) mounts.push_back(common::UpperAscii(found->Mount));
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
