#include "camera_database.h"

#include <lensfun/lensfun.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "lensfun_data.h"

namespace quorvela::equivalence {
namespace {

// Two listings whose factors differ by less than this are the same sensor.
constexpr double kSameCrop = 0.01;
// A format matches the photo's when their side ratios differ by less than this.
constexpr double kSameAspect = 0.03;
// A focal-plane derivation picks a listing only when it lies this close to it.
constexpr double kNearPlane = 0.05;

bool Near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance * std::max(a, b);
}

// "4:3" -> 1.333; 0 for a variant that is not a format.
double VariantAspect(std::string_view variant) {
    const auto colon = variant.find(':');
    if (colon == std::string_view::npos) return 0.0;
    const double w = std::atof(std::string(variant.substr(0, colon)).c_str());
    const double h = std::atof(std::string(variant.substr(colon + 1)).c_str());
    if (!(w > 0.0) || !(h > 0.0)) return 0.0;
    return std::max(w, h) / std::min(w, h);
}

}  // namespace

std::string CameraElements(std::string_view xml) {
    constexpr std::string_view kOpen = "<camera>";
    constexpr std::string_view kClose = "</camera>";
    std::string cameras = "<lensdatabase version=\"1\">\n";
    // Each search goes on from the last: the text is read once, however many cameras it holds.
    std::size_t comment = xml.find("<!--");
    for (std::size_t at = 0;;) {
        const std::size_t camera = xml.find(kOpen, at);
        if (camera == std::string_view::npos) break;
        // A camera inside a comment is no camera.
        if (comment < camera) {
            const std::size_t end = xml.find("-->", comment + 4);
            if (end == std::string_view::npos) break;
            at = end + 3;
            comment = xml.find("<!--", at);
            continue;
        }
        const std::size_t close = xml.find(kClose, camera);
        if (close == std::string_view::npos) break;
        at = close + kClose.size();
        cameras.append(xml.substr(camera, at - camera)).append("\n");
        if (comment < at) comment = xml.find("<!--", at);  // one inside the element goes with it
    }
    return cameras + "</lensdatabase>\n";
}

std::optional<double> ChooseListing(const std::vector<CameraDatabase::Listing>& listings, double aspect,
                                    double planeCrop) {
    if (listings.empty()) return std::nullopt;
    const double first = listings.front().Crop;
    const bool agree = std::all_of(listings.begin(), listings.end(),
                                   [first](const auto& listing) { return Near(listing.Crop, first, kSameCrop); });
    if (agree) return first;
    // A camera with several formats: the photo's own format, when its sides are known.
    if (aspect > 0.0) {
        std::optional<double> chosen;
        for (const auto& listing : listings) {
            const double format = VariantAspect(listing.Variant);
            if (format == 0.0 || !Near(format, aspect, kSameAspect)) continue;
            if (chosen && !Near(*chosen, listing.Crop, kSameCrop)) return std::nullopt;
            chosen = listing.Crop;
        }
        if (chosen) return chosen;
    }
    if (planeCrop > 0.0) {
        const auto nearest =
            std::min_element(listings.begin(), listings.end(), [planeCrop](const auto& a, const auto& b) {
                return std::fabs(a.Crop - planeCrop) < std::fabs(b.Crop - planeCrop);
            });
        if (Near(nearest->Crop, planeCrop, kNearPlane)) return nearest->Crop;
    }
    return std::nullopt;
}

const CameraDatabase& CameraDatabase::Shared() {
    static const CameraDatabase database(SharedLensfunData().Cameras);
    return database;
}

namespace {

std::shared_ptr<const LensfunCameras> CamerasOf(const std::vector<std::string>& xmlTexts) {
    LensfunParts parts;
    for (const std::string& xml : xmlTexts) SplitLensfunText(xml, parts);
    return std::make_shared<const LensfunCameras>(parts.Mounts, std::move(parts.Cameras));
}

}  // namespace

CameraDatabase::CameraDatabase(const std::vector<std::string>& xmlTexts) : CameraDatabase(CamerasOf(xmlTexts)) {}

CameraDatabase::CameraDatabase(std::shared_ptr<const LensfunCameras> cameras) : cameras_(std::move(cameras)) {}

int CameraDatabase::CameraCount() const {
    return cameras_->CameraCount();
}

CameraDatabase::~CameraDatabase() = default;

const std::vector<CameraDatabase::Listing>& CameraDatabase::Listings(std::string_view make,
                                                                     std::string_view model) const {
    std::string key;
    key.reserve(make.size() + model.size() + 1);
    key.append(make).append("\n").append(model);
    const std::lock_guard lock(mutex_);
    if (const auto it = found_.find(key); it != found_.end()) return it->second;
    std::vector<Listing> listings;
    for (const lfCamera* camera : cameras_->Find(make, model)) {
        if (!(camera->CropFactor > 0.0F)) continue;
        listings.push_back({camera->CropFactor, camera->Variant != nullptr ? camera->Variant : ""});
    }
    return found_.emplace(std::move(key), std::move(listings)).first->second;
}

std::optional<double> CameraDatabase::CropFactor(std::string_view make, std::string_view model, double aspect,
                                                 double planeCrop) const {
    return ChooseListing(Listings(make, model), aspect, planeCrop);
}

namespace {

// A text of the kept listings: one camera a line, "make\tmodel" and then "\tcrop\tvariant"
// for each listing. A make or model with a tab or line break is not kept.
bool Keepable(std::string_view text) {
    return text.find_first_of("\t\n") == std::string_view::npos;
}

std::vector<std::string_view> Split(std::string_view text, char at) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(at, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

void RememberedCameras::Take(std::string_view text) {
    std::unordered_map<std::string, std::vector<CameraDatabase::Listing>> taken;
    for (const std::string_view line : Split(text, '\n')) {
        if (line.empty()) continue;
        const std::vector<std::string_view> fields = Split(line, '\t');
        if (fields.size() < 2 || fields.size() % 2 != 0) return;
        std::vector<CameraDatabase::Listing> listings;
        for (std::size_t i = 2; i < fields.size(); i += 2) {
            char* end = nullptr;
            const std::string number(fields[i]);
            const double crop = std::strtod(number.c_str(), &end);
            if (end != number.c_str() + number.size() || !(crop > 0.0) || !std::isfinite(crop)) return;
            listings.push_back({crop, std::string(fields[i + 1])});
        }
        taken[std::string(fields[0]) + "\t" + std::string(fields[1])] = std::move(listings);
    }
    const std::lock_guard lock(mutex_);
    for (auto& [key, listings] : taken) known_.try_emplace(key, std::move(listings));
}

std::string RememberedCameras::Text() const {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> lines;
    for (const auto& [key, listings] : known_) {
        std::string line = key;
        for (const auto& listing : listings) {
            char crop[32];
            std::snprintf(crop, sizeof crop, "%.17g", listing.Crop);
            line.append("\t").append(crop).append("\t").append(listing.Variant);
        }
        lines.push_back(std::move(line));
    }
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\n");
    return text;
}

bool RememberedCameras::Changed() const {
    const std::lock_guard lock(mutex_);
    return changed_;
}

std::optional<double> RememberedCameras::CropFactor(std::string_view make, std::string_view model, double aspect,
                                                    double planeCrop) const {
    if (!Keepable(make) || !Keepable(model)) return database_().CropFactor(make, model, aspect, planeCrop);
    thread_local std::string key;  // no allocation per photo once it has grown
    key.assign(make).append("\t").append(model);
    {
        const std::lock_guard lock(mutex_);
        if (const auto it = known_.find(key); it != known_.end()) return ChooseListing(it->second, aspect, planeCrop);
    }
    std::vector<CameraDatabase::Listing> listings = database_().Listings(make, model);
    std::optional<double> crop = ChooseListing(listings, aspect, planeCrop);
    const std::lock_guard lock(mutex_);
    if (known_.try_emplace(key, std::move(listings)).second) changed_ = true;
    return crop;
}

std::string CameraListName() {
    std::string name = "lensfun cameras";
    for (const std::filesystem::path& folder : LensfunFolders()) {
        std::error_code error;
        std::vector<std::string> files;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            std::error_code statError;
            const auto size = it->file_size(statError);
            const auto time = it->last_write_time(statError);
            if (statError) continue;
            files.push_back(it->path().string() + ":" + std::to_string(size) + ":" +
                            std::to_string(time.time_since_epoch().count()));
        }
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) name.append("|").append(file);
    }
    // The name is kept as a key: a hash of it is enough, and short.
    return "lensfun cameras " + std::to_string(std::hash<std::string>{}(name));
}

}  // namespace quorvela::equivalence
