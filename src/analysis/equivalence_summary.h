#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "equivalence/focal_length.h"

namespace quorvela::analysis {

// A camera whose photos were charted with the manual factor.
struct ManualCamera {
    std::string Make;  // as the photos give it, Windows-1252
    std::string Model;
    int Photos = 0;
};

// Where the 35mm equivalents of a run's analysed photos came from; the four counts add up to
// the photos analysed. Outside the 35mm-equivalent mode every length is the user's factor and
// counts as manual, but nothing is an estimate: ManualCameras stays empty.
struct EquivalenceSummary {
    int Stored = 0;                           // the file's own FocalLengthIn35mmFormat
    int Table = 0;                            // the user's camera table
    int Sensor = 0;                           // the sensor's crop factor: maker note, camera database, focal plane
    int Manual = 0;                           // the manual factor
    std::vector<ManualCamera> ManualCameras;  // estimated photos by camera, most photos first
};

// The status line after a run with estimated photos ("412 photos estimated with the manual
// factor: OLYMPUS E-P3 and 3 other cameras — set their crop factor"); empty without any.
std::string EstimateStatusText(const EquivalenceSummary& summary);

// Counts the sources of a run's photos as they are combined, in file order.
class EquivalenceCounter {
  public:
    // `estimates`: whether manual lengths are estimates (the 35mm-equivalent mode).
    explicit EquivalenceCounter(bool estimates) : estimates_(estimates) {}
    // One analysed photo; make and model only matter for a manual one.
    void Add(equivalence::EquivalentSource source, const std::string& make, const std::string& model);
    [[nodiscard]] EquivalenceSummary Summary() const;

  private:
    bool estimates_;
    std::array<int, 4> counts_{};
    std::map<std::pair<std::string, std::string>, int> manual_;
};

}  // namespace quorvela::analysis
