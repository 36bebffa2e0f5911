#pragma once

// lensfun's data as CameraDatabase and LensDatabase read it (not for other modules): its
// files read once per process, and lensfun's lists of its mounts and cameras, which both look
// cameras up in.

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lens_database.h"

struct lfCamera;
struct lfDatabase;
struct lfMount;

namespace quorvela::equivalence {

// A <camera> of lensfun's data, as one element text without comments.
struct CameraElement {
    std::size_t Text = 0;  // which of the texts read holds it
    // Its make as lensfun compares makes (MakeKey); none when lensfun might compare it otherwise.
    std::optional<std::string> Make;
    std::string Element;
};

// lensfun's mounts and cameras. lensfun sorts each camera into its list as it reads it, most of
// the reading time: a make's cameras are handed to it on the make's first look-up, with those
// whose make it might compare otherwise. A look-up finds what it would in one list of all, as
// lensfun matches a make before a model; a run reads only the makes it meets.
class LensfunCameras final {
  public:
    // `mounts`: lensfun XML texts of mounts; a damaged one costs its own entries only.
    LensfunCameras(const std::vector<std::string>& mounts, std::vector<CameraElement> cameras);
    ~LensfunCameras();
    LensfunCameras(const LensfunCameras&) = delete;
    LensfunCameras& operator=(const LensfunCameras&) = delete;
    LensfunCameras(LensfunCameras&&) = delete;
    LensfunCameras& operator=(LensfunCameras&&) = delete;

    // The listings of the camera as lensfun matches make and model (they live as long as this
    // database); none when either is empty or not ASCII, which lensfun does not expect.
    [[nodiscard]] std::vector<const lfCamera*> Find(std::string_view make, std::string_view model) const;
    [[nodiscard]] const lfMount* const* Mounts() const;
    // How many cameras lensfun keeps of all (it merges repeated listings); reads them all.
    [[nodiscard]] int CameraCount() const;

  private:
    // lensfun's list of the cameras of this make, and of those of no plain make; of all for none.
    [[nodiscard]] std::unique_ptr<lfDatabase> Load(const std::string* make) const;

    std::unique_ptr<lfDatabase> mounts_;
    std::vector<CameraElement> cameras_;
    // The two databases look up from their own threads, and a look-up may read a make's list.
    mutable std::mutex mutex_;
    mutable std::unordered_map<std::string, std::unique_ptr<lfDatabase>> byMake_;
};

// The make as lensfun compares two (for ASCII): letters in lower case, blanks at the ends left
// out and a run of them within as one space. None when it holds more than ASCII.
std::optional<std::string> MakeKey(std::string_view make);

// A <lens> of lensfun's data: its names, its mounts, and the range its own elements state.
struct LensListing {
    std::string Maker;
    std::string Model;
    std::vector<std::string> Mounts;
    LensRange Stated;
};

// What the databases take from lensfun XML texts, comments and calibrations left out: of
// each text one database text of its mounts, and its cameras and lenses.
struct LensfunParts {
    std::vector<std::string> Mounts;
    std::vector<CameraElement> Cameras;
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
