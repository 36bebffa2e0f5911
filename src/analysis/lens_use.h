#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "library/photo_facts.h"

namespace quorvela::analysis {

// How the photos of one lens used its range.
struct LensUse {
    library::LensSpan Range;  // known when a photo's lens stated it
    int Photos = 0;
    int WithLength = 0;  // photos that state their real focal length
    int AtWideEnd = 0;   // of those, at the shortest length (within 2 %)
    int AtLongEnd = 0;   // at the longest
    // A range of lengths, not one: the ends can be told apart.
    [[nodiscard]] bool IsZoom() const;
};

// The uses of a run's lenses, photo by photo.
class LensUseCounter {
  public:
    // One photo of the lens `label`, with the range its lens states and its real focal length
    // (0 when it states none).
    void Add(const std::string& label, const library::LensSpan& range, double realFocal);
    // The uses by label, the labels of `names` counted under the one each maps to.
    [[nodiscard]] std::unordered_map<std::string, LensUse> Uses(
        const std::unordered_map<std::string, std::string>& names) const;

  private:
    std::unordered_map<std::string, LensUse> uses_;
};

// "EF24-70mm f/2.8L II USM: 812 photos — 38 % at 24 mm (the wide end), 21 % at 70 mm (the
// long end), 41 % between" for a zoom; for another lens, "NAME: N photos". UTF-8.
std::string LensUseSentence(std::string_view label, const LensUse& use);

}  // namespace quorvela::analysis
