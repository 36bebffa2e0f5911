#include "lens_label.h"

#include <algorithm>
#include <array>
#include <map>

#include "common/ascii.h"
#include "common/code_page.h"
#include "common/number_format.h"
#include "equivalence/lens_database.h"

namespace quorvela::analysis {

namespace {

constexpr std::string_view kEmDash = " \x97 ";  // Windows-1252
constexpr std::string_view kBuiltInPrefix = "built-in ";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The maker as a person writes it, from the make a camera writes.
std::string MakerWord(std::string_view make) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kMakers = {{
        {"EASTMAN KODAK", "Kodak"},
        {"SEIKO EPSON", "Epson"},
        {"HEWLETT-PACKARD", "HP"},
        {"KONICA MINOLTA", "Konica Minolta"},
        {"GENERAL IMAGING", "GE"},
        {"LG ELECTRONICS", "LG"},
    }};
    const std::string upper = common::UpperAscii(common::Trim(make));
    for (const auto& [written, maker] : kMakers) {
        if (upper.starts_with(written)) return std::string(maker);
    }
    std::string word(common::Trim(make).substr(0, common::Trim(make).find_first_of(" ,")));
    while (!word.empty() && (word.back() == '.' || word.back() == ',')) word.pop_back();
    // "NIKON" -> "Nikon"; short capitals are initials ("JVC", "GE").
    const bool capitals = std::none_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (capitals && word.size() > 3) {
        for (std::size_t i = 1; i < word.size(); ++i) {
            if (word[i] >= 'A' && word[i] <= 'Z') word[i] = static_cast<char>(word[i] - 'A' + 'a');
        }
    }
    return word;
}

// Phones have a lens of their own, whether or not lensfun lists them.
bool IsPhone(std::string_view make, std::string_view model) {
    static constexpr std::array<std::string_view, 15> kPhoneMakers = {
        "APPLE", "GOOGLE", "MOTOROLA",   "HUAWEI", "HONOR", "XIAOMI",    "ONEPLUS",       "OPPO",
        "VIVO",  "REALME", "HMD GLOBAL", "LGE",    "HTC",   "FAIRPHONE", "LG ELECTRONICS"};
    const std::string upperMake = common::UpperAscii(common::Trim(make));
    const std::string upperModel = common::UpperAscii(common::Trim(model));
    for (const std::string_view maker : kPhoneMakers) {
        if (upperMake.starts_with(maker)) return true;
    }
    if (upperMake.starts_with("SAMSUNG")) {
        for (const std::string_view series : {"SM-", "GT-", "SCH-", "SGH-", "SHV-", "SPH-"}) {
            if (upperModel.starts_with(series)) return true;
        }
    }
    return upperModel.find("XPERIA") != std::string::npos || upperModel.find("LUMIA") != std::string::npos;
}

}  // namespace

bool StatesOnlyRange(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsLetter(text[at])) ++at;
    if (at > 0 && at < text.size() && text[at] == ' ') {
        text.remove_prefix(at + 1);
    }
    if (text.empty() || !IsDigit(text.front())) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c) || c == '.' || c == '-' || c == '/' || c == ':' || c == ' ' || c == 'f' || c == 'F') continue;
        if ((c == 'm' || c == 'M') && i + 1 < text.size() && (text[i + 1] == 'm' || text[i + 1] == 'M')) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

namespace {

// The numbers of a range as a key: lenses with the same key are described alike.
std::string SpanKey(const library::LensSpan& span) {
    std::string key = OneDecimal(span.MinFocal);
    for (const double value : {span.MaxFocal, span.WideAperture, span.LongAperture}) {
        key.append(1, '|').append(OneDecimal(value));
    }
    return key;
}

// How much a text tells: its letters, then its capitals (as the maker writes the name), then
// its length; ties go to the first in byte order.
bool MoreDescriptive(const std::string& a, const std::string& b) {
    const auto letters = [](const std::string& text) { return std::count_if(text.begin(), text.end(), IsLetter); };
    const auto capitals = [](const std::string& text) {
        return std::count_if(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    };
    if (letters(a) != letters(b)) return letters(a) > letters(b);
    if (capitals(a) != capitals(b)) return capitals(a) > capitals(b);
    if (a.size() != b.size()) return a.size() > b.size();
    return a < b;
}

std::string MostDescriptive(const std::vector<std::string>& texts) {
    return *std::min_element(texts.begin(), texts.end(), MoreDescriptive);
}

std::string NormalName(std::string_view text) {
    std::string key;
    for (const char c : text) {
        if (c != ' ') key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

}  // namespace

const LensCatalogue& LensfunCatalogue() {
    class Lensfun final : public LensCatalogue {
      public:
        [[nodiscard]] std::optional<std::string> NameOf(std::string_view make, std::string_view model,
                                                        const library::LensSpan& range) const override {
            std::optional<std::string> name = equivalence::LensDatabase::Shared().NameOf(
                make, model, {range.MinFocal, range.MaxFocal, range.WideAperture, range.LongAperture});
            // lensfun writes UTF-8; labels are made in the metadata's code page.
            if (name) *name = common::Utf8ToCp1252(*name);
            return name;
        }
        [[nodiscard]] bool HasBuiltInLens(std::string_view make, std::string_view model) const override {
            return equivalence::LensDatabase::Shared().HasBuiltInLens(make, model);
        }
    };
    static const Lensfun catalogue;
    return catalogue;
}

namespace {

// What LabelLens says of a camera: a pure function of make and model, kept by each thread for
// the cameras it met, as a library holds photos of a few cameras.
struct Camera {
    std::string Name;
    std::string Maker;
    bool Phone = false;
    int BuiltIn = -1;  // the catalogue's answer for `Of`; -1 not asked
    const LensCatalogue* Of = nullptr;
};

// The entry of a camera; the cameras met are forgotten beyond a few hundred.
Camera& CameraOf(std::string_view make, std::string_view model) {
    constexpr std::size_t kMostKept = 512;
    thread_local std::unordered_map<std::string, Camera> met;
    thread_local std::string key;
    key.assign(make).append(1, '\n').append(model);
    if (const auto found = met.find(key); found != met.end()) return found->second;
    if (met.size() >= kMostKept) met.clear();
    return met.emplace(key, Camera{CameraName(make, model), MakerWord(make), IsPhone(make, model)}).first->second;
}

}  // namespace

std::string OneDecimal(double value) {
    std::string text = common::FormatFixed(value, 1, 0, '.');  // a point whatever the user's locale
    if (text.ends_with(".0")) text.resize(text.size() - 2);
    return text;
}

library::LensSpan SpanOfName(std::string_view name) {
    // The same reading of a name as lensfun's lens list gets: one grammar for both.
    const equivalence::LensRange range = equivalence::RangeInName(name);
    if (!(range.MinFocal > 0.0)) return {};
    const double longest = range.MaxFocal >= range.MinFocal ? range.MaxFocal : range.MinFocal;
    const double narrow = range.LongAperture > 0.0 ? range.LongAperture : range.WideAperture;
    return {range.MinFocal, longest, range.WideAperture, narrow};
}

std::string RangeText(const library::LensSpan& range) {
    std::string text = OneDecimal(range.MinFocal);
    if (OneDecimal(range.MaxFocal) != text) text.append(1, '-').append(OneDecimal(range.MaxFocal));
    text.append("mm");
    if (range.WideAperture > 0.0) {
        text.append(" f/").append(OneDecimal(range.WideAperture));
        if (range.LongAperture > 0.0 && OneDecimal(range.LongAperture) != OneDecimal(range.WideAperture)) {
            text.append(1, '-').append(OneDecimal(range.LongAperture));
        }
    }
    return text;
}

std::string CameraName(std::string_view make, std::string_view model) {
    std::string maker = MakerWord(make);
    const std::string_view trimmedModel = common::Trim(model);
    if (trimmedModel.empty()) return maker;
    if (maker.empty() || common::UpperAscii(trimmedModel).find(common::UpperAscii(maker)) != std::string::npos) {
        return std::string(trimmedModel);
    }
    return std::string(maker).append(1, ' ').append(trimmedModel);
}

bool NamesLens(std::string_view label) {
    return !label.starts_with(kUnknownLens) && !label.starts_with(kBuiltInPrefix);
}

LensLabel LabelLens(const library::PhotoFacts& facts, const LensCatalogue& catalogue) {
    library::LensSpan range = facts.LensRange;
    if (!facts.Lens.empty()) {
        const library::LensSpan stated = SpanOfName(facts.Lens);
        if (!StatesOnlyRange(facts.Lens) || !stated.Known()) {
            return {facts.Lens, stated.Known() ? stated : range, true};
        }
        range = stated;  // a name that is only a range is named as any other range
    }
    Camera& seen = CameraOf(facts.Make, facts.Model);
    const std::string& camera = seen.Name;
    // The catalogue is asked once per camera (a run has one catalogue, a test several).
    if (seen.Of != &catalogue) {
        seen.BuiltIn = catalogue.HasBuiltInLens(facts.Make, facts.Model) ? 1 : 0;
        seen.Of = &catalogue;
    }
    const bool builtIn = seen.Phone || seen.BuiltIn == 1;
    if (range.Known()) {
        if (builtIn) {
            return {std::string(kBuiltInPrefix).append(RangeText(range)).append(kEmDash).append(camera), range, false};
        }
        // Lengths alone fit too many lenses to name one: a 400 mm could be an f/2.8 or an f/5.6.
        if (range.WideAperture > 0.0) {
            if (std::optional<std::string> name = catalogue.NameOf(facts.Make, facts.Model, range)) {
                return {std::move(*name), range, true};
            }
        }
        std::string text = seen.Maker;
        if (!text.empty()) text.append(1, ' ');
        return {text.append(RangeText(range)), range, true};
    }
    if (camera.empty()) return {std::string(kUnknownLens), {}, false};
    return {std::string(builtIn ? kBuiltInLens : kUnknownLens).append(kEmDash).append(camera), {}, false};
}

std::unordered_map<std::string, std::string> OneNamePerLens(const std::vector<std::string>& labels) {
    // The same name up to spaces and case.
    std::map<std::string, std::vector<std::string>> sameName;
    for (const std::string& label : labels) {
        if (NamesLens(label)) sameName[NormalName(label)].push_back(label);
    }
    // Names by the numbers they state: those that state nothing else, and the others.
    std::map<std::string, std::vector<std::string>> rangesOnly;
    std::map<std::string, std::vector<std::string>> described;
    std::map<std::string, std::string> nameOf;  // a group's most descriptive text, by its key
    for (const auto& [key, texts] : sameName) {
        const std::string& name = nameOf[key] = MostDescriptive(texts);
        const library::LensSpan span = SpanOfName(name);
        if (!span.Known()) continue;
        if (StatesOnlyRange(name)) {
            rangesOnly[SpanKey(span)].push_back(name);
        } else if (span.WideAperture > 0.0) {
            described[SpanKey(span)].push_back(name);
        }
    }
    std::unordered_map<std::string, std::string> counted;  // a group's name to the one it counts under
    for (const auto& [key, names] : rangesOnly) {
        const auto named = described.find(key);
        const bool oneNamed =
            named != described.end() && named->second.size() == 1 && SpanOfName(names.front()).WideAperture > 0.0;
        const std::string target = oneNamed ? named->second.front() : MostDescriptive(names);
        for (const std::string& name : names) counted[name] = target;
    }
    std::unordered_map<std::string, std::string> aliases;
    for (const auto& [key, texts] : sameName) {
        const std::string& name = nameOf[key];
        const auto moved = counted.find(name);
        const std::string& target = moved == counted.end() ? name : moved->second;
        for (const std::string& text : texts) {
            if (text != target) aliases.emplace(text, target);
        }
    }
    return aliases;
}

}  // namespace quorvela::analysis
