#include "viewer_photos.h"

#include <fstream>
#include <stdexcept>

#include "jpeg_writer.h"

namespace quorvela::viewer::test {

std::vector<std::uint8_t> PhotoBytes(const PhotoSpec& spec) {
    samples::ExifDirectory exif;
    if (spec.ExposureTime) exif.Rational(0x829A, spec.ExposureTime->first, spec.ExposureTime->second);
    if (spec.FNumber) exif.Rational(0x829D, spec.FNumber->first, spec.FNumber->second);
    if (spec.Iso) exif.Short(0x8827, *spec.Iso);
    exif.Undefined(0x9000, {'0', '2', '2', '0'});
    if (spec.ShutterSpeedValue) exif.SRational(0x9201, spec.ShutterSpeedValue->first, spec.ShutterSpeedValue->second);
    if (spec.FocalLength) exif.Rational(0x920A, spec.FocalLength->first, spec.FocalLength->second);
    if (!spec.MakerNote.empty()) exif.Undefined(0x927C, spec.MakerNote);
    if (spec.Focal35) exif.Short(0xA405, *spec.Focal35);
    samples::ExifDirectory ifd0;
    if (!spec.Make.empty()) ifd0.Ascii(0x010F, spec.Make);
    if (!spec.Model.empty()) ifd0.Ascii(0x0110, spec.Model);
    if (spec.Orientation) ifd0.Short(0x0112, *spec.Orientation);
    ifd0.Link(0x8769, std::move(exif));
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(spec.Width) * spec.Height * 3);
    for (int y = 0; y < spec.Height; ++y) {
        for (int x = 0; x < spec.Width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * spec.Width + x) * 3;
            const bool left = x < spec.Width / 2;
            rgb[at] = left ? 255 : 0;
            rgb[at + 2] = left ? 0 : 255;
        }
    }
    return samples::EncodeJpeg(spec.Width, spec.Height, rgb, samples::ExifPayload(ifd0), 95);
}

void WritePhoto(const std::filesystem::path& path, const PhotoSpec& spec) {
    std::filesystem::create_directories(path.parent_path());
    const std::vector<std::uint8_t> bytes = PhotoBytes(spec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace quorvela::viewer::test
