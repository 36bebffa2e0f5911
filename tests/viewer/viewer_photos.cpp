#include "viewer_photos.h"

#include <fstream>
#include <stdexcept>

#include "jpeg_writer.h"

namespace quorvela::viewer::test {

namespace {

// The preview's pixels: the left half red, the right half blue, as the JPEG's.
std::vector<std::uint8_t> HalvesRgb(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
            const bool left = x < width / 2;
            rgb[at] = left ? 255 : 0;
            rgb[at + 2] = left ? 0 : 255;
        }
    }
    return rgb;
}

}  // namespace

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
    return samples::EncodeJpeg(photo.Width, photo.Height, HalvesRgb(photo.Width, photo.Height),
                               samples::ExifPayload(tiff), 95);
}

std::vector<std::uint8_t> RawPhotoBytes(const RawPhoto& photo) {
    const PhotoTags& preview = photo.Preview;
    const std::vector<std::uint8_t> data =
        photo.BitmapPreview ? HalvesRgb(preview.Width, preview.Height) : PhotoBytes(preview);
    constexpr std::uint32_t kRawWidth = 64;
    constexpr std::uint32_t kRawHeight = 48;
    constexpr std::uint32_t kRawLength = kRawWidth * kRawHeight * 2;
    const auto width = static_cast<std::uint32_t>(preview.Width);
    const auto height = static_cast<std::uint32_t>(preview.Height);
    const auto length = photo.ClaimedPreviewLength.value_or(static_cast<std::uint32_t>(data.size()));
    const std::uint16_t compression = photo.BitmapPreview ? 1 : 7;
    const std::uint16_t photometric = photo.BitmapPreview ? 2 : 6;
    // The directories' size does not depend on the offsets they hold: laid out once to learn it.
    const auto layout = [&](std::uint32_t previewAt, std::uint32_t rawAt) {
        samples::Ifd raw(false);
        raw.Long(0x00FE, {0}).Long(0x0100, {kRawWidth}).Long(0x0101, {kRawHeight}).Short(0x0102, {16});
        raw.Short(0x0103, {1}).Short(0x0106, {32803}).Long(0x0111, {rawAt}).Short(0x0115, {1});
        raw.Long(0x0116, {kRawHeight}).Long(0x0117, {kRawLength}).Short(0x828D, {2, 2}).Byte(0x828E, {0, 1, 1, 2});
        samples::Tiff tiff;
        tiff.ifd0.Long(0x00FE, {1}).Long(0x0100, {width}).Long(0x0101, {height}).Short(0x0102, {8, 8, 8});
        tiff.ifd0.Short(0x0103, {compression}).Short(0x0106, {photometric}).Ascii(0x010F, "Canon");
        tiff.ifd0.Ascii(0x0110, "Canon EOS 80D").Long(0x0111, {previewAt}).Short(0x0112, {photo.Orientation});
        tiff.ifd0.Short(0x0115, {3}).Long(0x0116, {height}).Long(0x0117, {length}).Link(0x014A, std::move(raw));
        tiff.ifd0.Byte(0xC612, {1, 4, 0, 0}).Ascii(0xC614, "Canon EOS 80D");
        return tiff.Build();
    };
    const auto tiffSize = static_cast<std::uint32_t>(layout(0, 0).size());
    std::vector<std::uint8_t> bytes = layout(tiffSize, tiffSize + static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.resize(bytes.size() + kRawLength, 0);
    return bytes;
}

void WritePhoto(const std::filesystem::path& path, const PhotoTags& photo) {
    std::filesystem::create_directories(path.parent_path());
    const std::vector<std::uint8_t> bytes = PhotoBytes(photo);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace quorvela::viewer::test
