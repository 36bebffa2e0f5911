#pragma once

// lensfun's data as CameraDatabase and LensDatabase read it (not for other modules): its
// files read once per process, and one lensfun database of its mounts and cameras that both
// look cameras up in.

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "lens_database.h"

struct lfCamera;
struct lfDatabase;
struct lfMount;

namespace quorvela::equivalence {

// lensfun's database of mounts and cameras. lensfun sorts each camera into its list as it
// reads it, most of the reading time: one list serves both databases.
class LensfunCameras final {
  public:
    // Each text one lensfun XML text; a damaged one costs its own entries only.
    explicit LensfunCameras(const std::vector<std::string>& xmlTexts);
    ~LensfunCameras();
    LensfunCameras(const LensfunCameras&) = delete;
    LensfunCameras& operator=(const LensfunCameras&) = delete;
    LensfunCameras(LensfunCameras&&) = delete;
    LensfunCameras& operator=(LensfunCameras&&) = delete;

    // The listings of the camera as lensfun matches make and model (they live as long as this
    // database); none when either is empty or not ASCII, which lensfun does not expect.
    [[nodiscard]] std::vector<const lfCamera*> Find(std::string_view make, std::string_view model) const;
    [[nodiscard]] const lfMount* const* Mounts() const;
    [[nodiscard]] int CameraCount() const;

  private:
    std::unique_ptr<lfDatabase> db_;
    // The two databases look up from their own threads; lensfun does not say its look-ups may
    // run at once.
    mutable std::mutex mutex_;
};

// A <lens> of lensfun's data: its names, its mounts, and the range its own elements state.
struct LensListing {
    std::string Maker;
    std::string Model;
    std::vector<std::string> Mounts;
    LensRange Stated;
};

// What the databases take from lensfun XML texts, comments and calibrations left out: of
// each text one database text of its mounts and cameras, and its lenses.
struct LensfunParts {
    std::vector<std::string> Databases;
    std::vector<LensListing> Lenses;
};

// Adds the parts of one lensfun XML text.
void SplitLensfunText(std::string_view xml, LensfunParts& parts);

// lensfun's folders read on first use, once per process: their cameras and mounts read by
// lensfun, their lenses as listings.
struct LensfunData {
    std::shared_ptr<const LensfunCameras> Cameras;
    std::vector<LensListing> Lenses;
};
const LensfunData& SharedLensfunData();

}  // namespace quorvela::equivalence
