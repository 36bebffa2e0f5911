#include "photo_candidates.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <unordered_map>

#include "common/ascii.h"
#include "metadata/photo_format.h"

namespace quorvela::library {

namespace {

constexpr std::array<std::string_view, 4> kJpegExtensions = {".JPG", ".JPEG", ".JPE", ".THM"};
constexpr std::array<std::string_view, 4> kHeifExtensions = {".HEIC", ".HEIF", ".HIF", ".AVIF"};

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& list, std::string_view extension) {
    return std::find(list.begin(), list.end(), extension) != list.end();
}

// The name before the extension; the whole name when it has none.
std::string_view Stem(std::string_view name) {
    return name.substr(0, name.find_last_of('.'));
}

// A better kind stands for the shot: a JPEG before a HEIF file before a RAW file.
int Rank(CandidateKind kind) {
    switch (kind) {
        case CandidateKind::Jpeg:
            return 3;
        case CandidateKind::Heif:
            return 2;
        case CandidateKind::Raw:
            return 1;
        case CandidateKind::None:
            break;
    }
    return 0;
}

}  // namespace

CandidateKind CandidateKindOf(std::string_view name, bool withRawHeif) {
    const auto slash = name.find_last_of('/');
    if (slash != std::string_view::npos) name = name.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return CandidateKind::None;
    const std::string extension = common::UpperAscii(name.substr(dot));
    if (OneOf(kJpegExtensions, extension)) return CandidateKind::Jpeg;
    if (!withRawHeif) return CandidateKind::None;
    if (OneOf(kHeifExtensions, extension)) return CandidateKind::Heif;
    const std::string_view bare = std::string_view(extension).substr(1);
    const bool raw = std::any_of(metadata::kRawExtensions.begin(), metadata::kRawExtensions.end(),
                                 [bare](const metadata::RawExtension& known) { return known.Extension == bare; });
    if (raw) return CandidateKind::Raw;
    return CandidateKind::None;
}

std::vector<std::string> ChoosePhotos(const std::vector<std::string>& names, bool withRawHeif) {
    std::vector<CandidateKind> kinds;
    kinds.reserve(names.size());
    // Per shot: the listing index of the file that stands for it.
    std::unordered_map<std::string_view, std::size_t> chosen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        kinds.push_back(CandidateKindOf(names[i], withRawHeif));
        // Without the other kinds every candidate is a JPEG, and every JPEG counts.
        if (kinds[i] == CandidateKind::None || !withRawHeif) continue;
        const auto [place, added] = chosen.try_emplace(Stem(names[i]), i);
        if (!added && Rank(kinds[i]) > Rank(kinds[place->second])) place->second = i;
    }
    std::vector<std::string> photos;
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Every JPEG counts, as without the other kinds; another file only for a shot it stands for.
        const bool take =
            kinds[i] == CandidateKind::Jpeg || (kinds[i] != CandidateKind::None && chosen.at(Stem(names[i])) == i);
        if (take) photos.push_back(names[i]);
    }
    return photos;
}

}  // namespace quorvela::library
