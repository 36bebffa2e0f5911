#pragma once

// Photos with chosen exposure tags, for tests that need a file read by the metadata reader.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/file_result.h"
#include "equivalence/camera_database.h"
#include "exif_writer.h"
#include "library/photo_reading.h"
#include "metadata/img_data.h"

namespace quorvela::analysis::test {

using Fraction = std::pair<std::uint32_t, std::uint32_t>;

struct PhotoTags {
    std::optional<std::string> Make = std::nullopt;
    std::optional<std::string> Model = std::nullopt;
    std::optional<Fraction> FocalLength = std::nullopt;
    std::optional<std::uint16_t> Focal35 = std::nullopt;
    std::optional<Fraction> FNumber = std::nullopt;
    std::optional<Fraction> ExposureTime = std::nullopt;
    std::optional<std::vector<std::uint16_t>> Iso = std::nullopt;
    std::optional<std::string> DateTimeOriginal = std::nullopt;  // "YYYY:MM:DD HH:MM:SS"
    std::optional<std::string> LensModel = std::nullopt;
};

inline std::vector<std::uint8_t> PhotoBytes(const PhotoTags& tags) {
    samples::Tiff tiff;
    samples::Ifd exif(false);
    if (tags.ExposureTime) exif.Rational(0x829A, {*tags.ExposureTime});
    if (tags.FNumber) exif.Rational(0x829D, {*tags.FNumber});
    if (tags.Iso)
        exif.Raw(0x8827, 3, static_cast<std::uint32_t>(tags.Iso->size()), [&] {
            samples::Bytes bytes;
            for (const std::uint16_t v : *tags.Iso) {
                bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(v >> 8));
            }
            return bytes;
        }());
    if (tags.DateTimeOriginal) exif.Ascii(0x9003, *tags.DateTimeOriginal);
    if (tags.FocalLength) exif.Rational(0x920A, {*tags.FocalLength});
    if (tags.Focal35) exif.Short(0xA405, {*tags.Focal35});
    if (tags.LensModel) exif.Ascii(0xA434, *tags.LensModel);
    if (tags.Make) tiff.ifd0.Ascii(0x010F, *tags.Make);
    if (tags.Model) tiff.ifd0.Ascii(0x0110, *tags.Model);
    tiff.ifd0.Link(0x8769, exif);
    return samples::Jpeg().Soi().Exif(tiff).Sos().Eoi().Build();
}

// Adds a decoded maker note with the given (description, text) entries to a file just read.
inline void AddMakerNotes(metadata::TimgData& reader, const std::vector<std::pair<std::string, std::string>>& notes) {
    auto& exif = *reader.ExifDirectory;
    std::uint16_t id = 1;
    for (const auto& [description, text] : notes) {
        metadata::TTagEntry entry;
        entry.Group = 1;
        entry.TagId = id++;
        entry.TagName = "Note" + std::to_string(id);
        entry.Description = description;
        entry.Text = text;
        exif.AppendTag(entry);
    }
    exif.MakerNoteDecoded = true;
}

// A camera list that knows no camera: a result then depends on the facts alone.
class NoCameras final : public equivalence::CropFactorSource {
  public:
    [[nodiscard]] std::optional<double> CropFactor(std::string_view /*make*/, std::string_view /*model*/,
                                                   double /*aspect*/, double /*planeCrop*/) const override {
        return std::nullopt;
    }
};

// A file's result as a run without a cache gets it: read with `reader` (whose decimal
// separator is the run's), without a camera table, lensfun's crop factors looked up.
inline FileResult ReadAndDerive(const std::string& path, const AnalysisSettings& settings, metadata::TimgData& reader) {
    library::FolderKeys keys;
    const library::PhotoReading reading =
        library::ReadPhoto({path, library::EntryKind::Unknown}, NeedsMakerNotePairs(settings), nullptr, reader, keys);
    static const equivalence::EquivalentList kNoTable;
    const equivalence::RememberedCameras cameras;
    return DeriveResult(reading.Facts, path, settings,
                        {kNoTable, cameras, LensfunCatalogue(), reader.DecimalSeparator});
}

}  // namespace quorvela::analysis::test
