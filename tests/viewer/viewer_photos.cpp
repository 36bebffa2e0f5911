#include "viewer_photos.h"

#include <fstream>
#include <stdexcept>

#include "jpeg_writer.h"

namespace quorvela::viewer::test {

std::vector<std::uint8_t> PhotoBytes(const PhotoTags& photo) {
    samples::ExifDirectory exif;
    if (photo.ExposureTime) exif.Rational(0x829A, photo.ExposureTime->first, photo.ExposureTime->second);
    if (photo.FNumber) exif.Rational(0x829D, photo.FNumber->first, photo.FNumber->second);
    if (photo.Iso) exif.Short(0x8827, *photo.Iso);
    exif.Undefined(0x9000, {'0', '2', '2', '0'});
    if (photo.ShutterSpeedValue)
        exif.SRational(0x9201, photo.ShutterSpeedValue->first, photo.ShutterSpeedValue->second);
    if (photo.FocalLength) exif.Rational(0x920A, photo.FocalLength->first, photo.FocalLength->second);
    if (!photo.MakerNote.empty()) exif.Undefined(0x927C, photo.MakerNote);
    if (photo.Focal35) exif.Short(0xA405, *photo.Focal35);
    samples::ExifDirectory ifd0;
    if (!photo.Make.empty()) ifd0.Ascii(0x010F, photo.Make);
    if (!photo.Model.empty()) ifd0.Ascii(0x0110, photo.Model);
    if (photo.Orientation) ifd0.Short(0x0112, *photo.Orientation);
    ifd0.Link(0x8769, std::move(exif));
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(photo.Width) * photo.Height * 3);
    for (int y = 0; y < photo.Height; ++y) {
        for (int x = 0; x < photo.Width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * photo.Width + x) * 3;
            const bool left = x < photo.Width / 2;
            rgb[at] = left ? 255 : 0;
            rgb[at + 2] = left ? 0 : 255;
        }
    }
    return samples::EncodeJpeg(photo.Width, photo.Height, rgb, samples::ExifPayload(ifd0), 95);
}

void WritePhoto(const std::filesystem::path& path, const PhotoTags& photo) {
    std::filesystem::create_directories(path.parent_path());
    const std::vector<std::uint8_t> bytes = PhotoBytes(photo);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace quorvela::viewer::test
