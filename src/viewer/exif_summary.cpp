#include "viewer/exif_summary.h"

#include <algorithm>

#include "common/ascii.h"
#include "common/code_page.h"
#include "common/number_format.h"
#include "equivalence/camera_database.h"
#include "equivalence/focal_length.h"
#include "library/photo_facts.h"
#include "metadata/img_data.h"
#include "metadata/sensor_size.h"
#include "metadata/tag_names.h"
#include "metadata/value_render.h"

namespace quorvela::viewer {

namespace {

// A camera that stores 0, and a maker note without an ISO (digits "0"), say nothing of it.
bool NamesAnIso(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

}  // namespace

std::string GetIsoFromSpecific(metadata::TImageInfo& exif) {
    if (exif.MakerNoteIso) return std::to_string(*exif.MakerNoteIso);
    exif.RewindTagSearch();
    metadata::TTagEntry entry;
    while (exif.FindNextTag(1, entry)) {
        const std::string upper = common::UpperAscii(entry.Description + " = " + entry.Text);
        for (const std::string_view key : {"ISO SPEED", "CCD SENSITIVITY", "CCD ISO"}) {
            // The digits come from the value only: a description such as "ISO Speed 2" would
            // otherwise add its own digits to the ISO.
            if (upper.find(key) != std::string::npos) return library::IsoDigits(entry.Text);
        }
    }
    return "0";
}

std::string GetExifInfStr(metadata::TimgData& reader, const std::string& path,
                          const equivalence::EquivalentList& table) {
    reader.CollectTags = true;
    reader.ReadJpegFile(path);
    if (!reader.HasExif()) return {};
    metadata::TImageInfo& exif = *reader.ExifDirectory;
    const auto tag = [&exif](std::string_view name) { return exif.TagTextByName(name); };
    const char separator = reader.DecimalSeparator;

    const std::string make = tag(metadata::tags::Make);
    const std::string model = tag(metadata::tags::Model);
    std::string text = "Camera: " + make + " - " + model + "\r";
    if (const std::string exposure = tag(metadata::tags::ExposureTime); !exposure.empty()) {
        text += "Shutter: " + metadata::ExposureTimeText(exposure, separator) + "\r";
    } else if (const std::string speed = tag(metadata::tags::ShutterSpeedValue); !speed.empty()) {
        text += "Shutter: " + speed + "\r";
    }
    if (const std::string fNumber = tag(metadata::tags::FNumber); !fNumber.empty())
        text += "Aperture: " + fNumber + "\r";
    const std::string focal = tag(metadata::tags::FocalLength);
    if (!focal.empty()) text += "Focal Length: " + focal + "\r";
    // A stored zero is the camera saying "unknown", whichever separator it was rendered with.
    // The reader's own derivation is no stored value: the equivalent shown is the one charted.
    const int ownIndex = exif.TagIndexByName(metadata::tags::FocalLengthIn35mmFilm);
    const bool stored = ownIndex >= 0 && !exif.Tags[static_cast<std::size_t>(ownIndex)].RawBytes.empty();
    if (const std::string own = tag(metadata::tags::FocalLengthIn35mmFilm); stored && !common::IsZeroLengthText(own)) {
        text += "(35mm equivalent = " + own + ")\r";
    } else if (!make.empty() && !model.empty()) {
        const metadata::SensorReading sensor = metadata::ReadSensor(exif);
        const equivalence::LensFacts facts{{}, focal, make, model, sensor.NoteCrop, sensor.PlaneCrop, sensor.Aspect};
        const equivalence::LensLength length =
            equivalence::ChooseLength(facts, {}, table, &equivalence::CameraDatabase::Shared(), separator);
        // A guess from the manual factor is not shown as the photo's equivalent.
        if (!length.Text.empty() && length.Source != equivalence::EquivalentSource::Manual) {
            text += "35mm equivalent: " + length.Text + " mm\r";
        }
    }
    std::string iso = tag(metadata::tags::ISOSpeedRatings);
    if (iso.empty()) iso = GetIsoFromSpecific(exif);
    text += "ISO: " + (NamesAnIso(iso) ? iso : std::string("unknown"));
    return common::Cp1252ToUtf8(text);
}

std::string SummaryForDisplay(std::string_view summary) {
    std::string shown(summary);
    std::replace(shown.begin(), shown.end(), '\r', '\n');
    return shown;
}

}  // namespace quorvela::viewer
