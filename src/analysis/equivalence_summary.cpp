#include "equivalence_summary.h"

#include <algorithm>

#include "common/ascii.h"
#include "common/code_page.h"

namespace quorvela::analysis {

namespace {

// "OLYMPUS E-P3" for make "OLYMPUS IMAGING CORP." and model "E-P3"; a model that already
// names its maker ("Canon PowerShot G9") stands alone.
std::string CameraName(const ManualCamera& camera) {
    const std::string_view make = common::Trim(camera.Make);
    const std::string_view firstWord = make.substr(0, make.find(' '));
    const std::string upperModel = common::UpperAscii(camera.Model);
    std::string name;
    if (camera.Model.empty()) {
        name = make;
    } else if (firstWord.empty() || upperModel.find(common::UpperAscii(firstWord)) == 0) {
        name = camera.Model;
    } else {
        name = std::string(firstWord) + " " + camera.Model;
    }
    return common::Cp1252ToUtf8(name.empty() ? std::string("unknown camera") : name);
}

}  // namespace

void EquivalenceCounter::Add(equivalence::EquivalentSource source, const std::string& make, const std::string& model) {
    ++counts_[static_cast<std::size_t>(source)];
    if (estimates_ && source == equivalence::EquivalentSource::Manual) ++manual_[{make, model}];
}

EquivalenceSummary EquivalenceCounter::Summary() const {
    EquivalenceSummary summary;
    summary.Stored = counts_[static_cast<std::size_t>(equivalence::EquivalentSource::Stored)];
    summary.Table = counts_[static_cast<std::size_t>(equivalence::EquivalentSource::Table)];
    summary.Sensor = counts_[static_cast<std::size_t>(equivalence::EquivalentSource::Sensor)];
    summary.Manual = counts_[static_cast<std::size_t>(equivalence::EquivalentSource::Manual)];
    for (const auto& [camera, photos] : manual_) summary.ManualCameras.push_back({camera.first, camera.second, photos});
    // Most photos first; equal counts keep the order of make and model.
    std::stable_sort(summary.ManualCameras.begin(), summary.ManualCameras.end(),
                     [](const ManualCamera& a, const ManualCamera& b) { return a.Photos > b.Photos; });
    return summary;
}

std::string EstimateStatusText(const EquivalenceSummary& summary) {
    int photos = 0;
    for (const ManualCamera& camera : summary.ManualCameras) photos += camera.Photos;
    if (photos == 0) return {};
    const std::size_t cameras = summary.ManualCameras.size();
    std::string text = std::to_string(photos) + (photos == 1 ? " photo" : " photos") +
                       " estimated with the manual factor: " + CameraName(summary.ManualCameras.front());
    if (cameras > 1) {
        const std::size_t others = cameras - 1;
        text += " and " + std::to_string(others) + (others == 1 ? " other camera" : " other cameras");
    }
    text += cameras == 1 ? " \u2014 set its crop factor" : " \u2014 set their crop factor";
    return text;
}

}  // namespace quorvela::analysis
