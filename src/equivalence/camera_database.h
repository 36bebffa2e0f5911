#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "focal_length.h"

namespace quorvela::equivalence {

class LensfunCameras;

// The crop factors of the cameras in lensfun's database, the photographic community's own
// list, matched to a photo's make and model as lensfun matches them. lensfun reads only the
// cameras of its database (its lenses are most of its size and of its reading time), those of
// a make on the make's first look-up.
class CameraDatabase final : public CropFactorSource {
  public:
    // The database of this process, read on first use from lensfun's folders: the newest of the
    // system's data and its updates, then the user's own additions. Without lensfun's data it
    // knows no camera. LensDatabase::Shared reads the same files, read once for both.
    static const CameraDatabase& Shared();

    // The cameras of lensfun XML texts (a test's own, or what Shared reads).
    explicit CameraDatabase(const std::vector<std::string>& xmlTexts);
    ~CameraDatabase() override;
    CameraDatabase(const CameraDatabase&) = delete;
    CameraDatabase& operator=(const CameraDatabase&) = delete;
    CameraDatabase(CameraDatabase&&) = delete;
    CameraDatabase& operator=(CameraDatabase&&) = delete;

    [[nodiscard]] std::optional<double> CropFactor(std::string_view make, std::string_view model, double aspect,
                                                   double planeCrop) const override;
    // How many cameras were read (all are read for the count).
    [[nodiscard]] int CameraCount() const;

    // One listing of a camera: its crop factor and its format ("4:3"; empty when it has one).
    struct Listing {
        double Crop = 0.0;
        std::string Variant;
    };

    // Every listing of the camera (empty when unknown); stays valid as long as the database.
    const std::vector<Listing>& Listings(std::string_view make, std::string_view model) const;

  private:
    explicit CameraDatabase(std::shared_ptr<const LensfunCameras> cameras);

    std::shared_ptr<const LensfunCameras> cameras_;
    mutable std::mutex mutex_;
    mutable std::unordered_map<std::string, std::vector<Listing>> found_;  // by make "\n" model
};

// The listings of the cameras that runs met, kept between runs (in the photo cache), so that
// a re-run need not read lensfun's list again: the list is read only for a camera not kept.
class RememberedCameras final : public CropFactorSource {
  public:
    // `database` gives the list on a camera's first look-up (Shared by default).
    explicit RememberedCameras(const CameraDatabase& (*database)() = &CameraDatabase::Shared) : database_(database) {}

    // Takes the listings Text wrote (for the lensfun data of CameraListName); a damaged text
    // is left out whole.
    void Take(std::string_view text);
    [[nodiscard]] std::string Text() const;
    // Whether a camera was looked up in lensfun's list since Take.
    [[nodiscard]] bool Changed() const;

    [[nodiscard]] std::optional<double> CropFactor(std::string_view make, std::string_view model, double aspect,
                                                   double planeCrop) const override;

  private:
    const CameraDatabase& (*database_)();
    mutable std::mutex mutex_;
    mutable std::unordered_map<std::string, std::vector<CameraDatabase::Listing>> known_;  // by make "\t" model
    mutable bool changed_ = false;
};

// A name for what lensfun's data holds now (its folders, files, sizes and times): kept
// listings are used only under the same name.
std::string CameraListName();

// The folders lensfun's data is read from, in order (see Shared).
std::vector<std::filesystem::path> LensfunFolders();

// The <camera> elements of a lensfun XML text, comments left out, as one database text.
std::string CameraElements(std::string_view xml);

// Chooses among a camera's listings: one crop factor when they agree, else the one of the
// photo's format, else the one the focal-plane derivation is near. Nothing when unclear.
std::optional<double> ChooseListing(const std::vector<CameraDatabase::Listing>& listings, double aspect,
                                    double planeCrop);

}  // namespace quorvela::equivalence
