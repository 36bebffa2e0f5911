#include "viewer_photos.h"

#include <fstream>
#include <stdexcept>

#include "jpeg_writer.h"

namespace quorvela::viewer::test {

std::vector<std::uint8_t> PhotoBytes(const PhotoTags& photo) {
    samples::Ifd exif(false);
    if (photo.ExposureTime) exif.Rational(0x829A, {*photo.ExposureTime});
    if (photo.FNumber) exif.Rational(0x829D, {*photo.FNumber});
    if (photo.Iso) exif.Short(0x8827, {*photo.Iso});
    exif.Undefined(0x9000, "0220");
    if (photo.ShutterSpeedValue) exif.SRational(0x9201, {*photo.ShutterSpeedValue});
    if (photo.FocalLength) exif.Rational(0x920A, {*photo.FocalLength});
    if (!photo.MakerNote.empty()) exif.Undefined(0x927C, photo.MakerNote);
    if (photo.Focal35) exif.Short(0xA405, {*photo.Focal35});
    samples::Tiff tiff;
    if (!photo.Make.empty()) tiff.ifd0.Ascii(0x010F, photo.Make);
    if (!photo.Model.empty()) tiff.ifd0.Ascii(0x0110, photo.Model);
    if (photo.Orientation) tiff.ifd0.Short(0x0112, {*photo.Orientation});
    tiff.ifd0.Link(0x8769, std::move(exif));
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(photo.Width) * photo.Height * 3);
    for (int y = 0; y < photo.Height; ++y) {
        for (int x = 0; x < photo.Width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * photo.Width + x) * 3;
            const bool left = x < photo.Width / 2;
            rgb[at] = left ? 255 : 0;
            rgb[at + 2] = left ? 0 : 255;
        }
    }
    return samples::EncodeJpeg(photo.Width, photo.Height, rgb, samples::ExifPayload(tiff), 95);
}

void WritePhoto(const std::filesystem::path& path, const PhotoTags& photo) {
    std::filesystem::create_directories(path.parent_path());
    const std::vector<std::uint8_t> bytes = PhotoBytes(photo);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace quorvela::viewer::test
