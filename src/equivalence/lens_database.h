#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quorvela::equivalence {

class LensfunCameras;
struct LensfunData;
struct LensListing;

// What a photo tells of its lens when it does not name it: the focal range in real mm and,
// when known, the f-number at the wide and at the long end (0 = unknown).
struct LensRange {
    double MinFocal = 0;
    double MaxFocal = 0;
    double WideAperture = 0;
    double LongAperture = 0;
};

// The lenses of lensfun's database, found by what a photo tells of its lens: the one lens
// that fits the photo's camera and has its range and f-numbers. Of each lens only its names,
// mounts and range are read, not its calibrations (most of the data and of its reading).
class LensDatabase {
  public:
    // The database of this process, read on first use from LensfunFolders(): the files are read
    // once for it and CameraDatabase::Shared, whose cameras and mounts it looks up. Without
    // lensfun's data it knows no lens.
    static const LensDatabase& Shared();

    // The lenses, mounts and cameras of lensfun XML texts (a test's own, or lensfun's files);
    // what lies in comments is left out.
    explicit LensDatabase(const std::vector<std::string>& xmlTexts);
    ~LensDatabase();
    LensDatabase(const LensDatabase&) = delete;
    LensDatabase& operator=(const LensDatabase&) = delete;
    LensDatabase(LensDatabase&&) = delete;
    LensDatabase& operator=(LensDatabase&&) = delete;

    // The name of the one lens that fits the camera (make and model as the photo writes them,
    // matched to lensfun's cameras as CameraDatabase matches them) and has this range and
    // these f-numbers; nothing when the camera is unknown, or no lens or more than one
    // distinct lens fits. A lens whose f-number lensfun does not know is not ruled out by it.
    [[nodiscard]] std::optional<std::string> NameOf(std::string_view make, std::string_view model,
                                                    const LensRange& range) const;

    // Whether lensfun lists the camera with a lens of its own: its mount is none of the
    // interchangeable mounts the database declares (a compact, an action camera).
    [[nodiscard]] bool HasBuiltInLens(std::string_view make, std::string_view model) const;

    // How many lens listings and mounts were read.
    [[nodiscard]] int LensCount() const { return lensCount_; }
    [[nodiscard]] int MountCount() const { return mountCount_; }

  private:
    struct Lens {
        std::string Name;          // as shown: maker and model
        std::size_t Identity = 0;  // the same for the listings of one name (other crop factors)
        LensRange Range;
        bool BuiltIn = true;  // listed only for mounts of fixed-lens cameras
    };
    // What a camera takes: the lenses of its mount and of the mounts its mount accepts.
    struct Camera {
        bool BuiltIn = false;
        std::vector<const std::vector<std::size_t>*> Lenses;
    };

    explicit LensDatabase(const LensfunData& data);

    void Read(std::shared_ptr<const LensfunCameras> cameras, const std::vector<LensListing>& lenses);
    void Finish();
    void ReadMounts();
    // A <lens> listing, unless no photo is to be matched to it.
    void AddLens(std::string_view maker, std::string_view model, const std::vector<std::string>& mounts,
                 const LensRange& stated);
    const Camera& CameraOf(std::string_view make, std::string_view model) const;

    std::shared_ptr<const LensfunCameras> lensfun_;
    int lensCount_ = 0;
    int mountCount_ = 0;
    std::vector<Lens> lenses_;
    std::unordered_set<std::string> declared_;                           // mount names, upper case as all mount keys
    std::unordered_map<std::string, std::vector<std::string>> accepts_;  // mount -> mounts it takes
    std::unordered_map<std::string, std::vector<std::size_t>> lensesByMount_;  // mount -> lenses_ by wide end
    std::unordered_map<std::string, std::size_t> identities_;  // Lens::Identity by lower-case name, while reading
    mutable std::mutex mutex_;
    mutable std::unordered_map<std::string, Camera> cameras_;  // by make "\n" model
};

// The focal range and f-numbers a lens's name states: "18-70mm f/3.5-4.5G", "XF14mmF2.8",
// "F4-5.6", "1:3.5-5.6 18-55mm", "10-25/F1.7", "2.8/16"; 0 for what it does not state.
LensRange RangeInName(std::string_view model);

}  // namespace quorvela::equivalence
