#include "demo_folder.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "jpeg_writer.h"

namespace quorvela::samples {

namespace {

// A Nikon maker note of the newer layout: "Nikon", version, an embedded TIFF header, then a
// directory holding the ISO setting (0x0002: 0 and the ISO).
Bytes NikonNote(std::uint16_t iso) {
    Bytes note = {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    const Bytes entries = {1,
                           0,  // one entry
                           2,
                           0,
                           3,
                           0,
                           2,
                           0,
                           0,
                           0,  // ISO, SHORT x 2
                           0,
                           0,
                           static_cast<std::uint8_t>(iso & 0xFF),
                           static_cast<std::uint8_t>(iso >> 8),
                           0,
                           0,
                           0,
                           0};  // no next directory
    note.insert(note.end(), entries.begin(), entries.end());
    return note;
}

// A Casio maker note of the "QVC" layout with its CCD sensitivity (0x3014).
Bytes CasioNote(std::uint16_t iso) {
    return {'Q',
            'V',
            'C',
            0,
            0,
            0,  // header
            1,
            0,  // one entry
            0x14,
            0x30,
            3,
            0,
            1,
            0,
            0,
            0,
            static_cast<std::uint8_t>(iso & 0xFF),  // SHORT x 1
            static_cast<std::uint8_t>(iso >> 8),
            0,
            0,
            0,
            0,
            0,
            0};
}

void Pixel(Bytes& rgb, int width, int x, int y, int r, int g, int b) {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    rgb[at] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
    rgb[at + 1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
    rgb[at + 2] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
}

// Sky, sun and hills, tinted by the photo's index so that each preview looks different.
Bytes Landscape(int width, int height, int index) {
    Bytes rgb(static_cast<std::size_t>(width) * height * 3);
    const double hue = index * 0.7;
    const int tintR = static_cast<int>(60 + 60 * std::sin(hue));
    const int tintB = static_cast<int>(60 + 60 * std::cos(hue));
    const double sunX = width * (0.2 + 0.6 * ((index * 37) % 10) / 10.0);
    const double sunY = height * 0.28;
    const double sunR = std::min(width, height) * 0.1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double hill = height * (0.62 + 0.08 * std::sin(x * 0.03 + index));
            if (y > hill) {
                const int shade = static_cast<int>(40 * (y - hill) / height);
                Pixel(rgb, width, x, y, 50 + tintR / 3 - shade, 120 - shade, 40 + tintB / 4);
            } else if (std::hypot(x - sunX, y - sunY) < sunR) {
                Pixel(rgb, width, x, y, 255, 220 - index * 4, 90);
            } else {
                const int sky = 255 * y / height;
                Pixel(rgb, width, x, y, tintR + sky / 3, 150 + sky / 4, 180 + tintB / 2);
            }
        }
    }
    return rgb;
}

}  // namespace

std::vector<DemoPhoto> DemoPhotos() {
    std::vector<DemoPhoto> photos;
    const auto add = [&photos](std::string name, std::string make, std::string model, std::uint32_t focalTenths,
                               std::optional<std::uint16_t> focal35, std::uint32_t fNumberTenths,
                               std::uint32_t exposureDenominator, std::uint32_t exposureSeconds,
                               std::optional<std::uint16_t> iso, Bytes makerNote = {}, std::uint16_t orientation = 1) {
        DemoPhoto photo;
        photo.Name = std::move(name);
        photo.Make = std::move(make);
        photo.Model = std::move(model);
        photo.FocalTenths = focalTenths;
        photo.Focal35 = focal35;
        photo.FNumberTenths = fNumberTenths;
        photo.ExposureDenominator = exposureDenominator;
        photo.ExposureSeconds = exposureSeconds;
        photo.Iso = iso;
        photo.MakerNote = std::move(makerNote);
        photo.Orientation = orientation;
        photos.push_back(std::move(photo));
    };
    // Name, make, model, focal (tenths), 35mm, f-number (tenths), 1/x, seconds, ISO.
    add("beach_001.jpg", "Canon", "Canon EOS 80D", 180, 29, 80, 500, 0, 100);
    add("beach_002.jpg", "Canon", "Canon EOS 80D", 350, 56, 56, 250, 0, 100);
    add("beach_003.jpg", "Canon", "Canon EOS 80D", 550, 88, 110, 1000, 0, 200);
    add("city_001.jpg", "NIKON CORPORATION", "NIKON D7500", 240, 36, 40, 125, 0, 400);
    add("city_002.JPG", "NIKON CORPORATION", "NIKON D7500", 500, 75, 18, 60, 0, 800);
    add("city_003.jpeg", "NIKON CORPORATION", "NIKON D7500", 850, 127, 28, 200, 0, 1600);
    add("forest_001.jpg", "FUJIFILM", "X-T30", 230, 35, 20, 30, 0, 3200);
    add("forest_002.jpg", "FUJIFILM", "X-T30", 560, 84, 28, 15, 0, 6400);
    add("night_001.jpg", "SONY", "ILCE-7M3", 350, 35, 16, 0, 2, 100);
    add("night_002.jpg", "SONY", "ILCE-7M3", 850, 85, 14, 4, 0, 200);
    add("turned_001.jpg", "OLYMPUS CORPORATION", "E-M10MarkIII", 450, 90, 18, 160, 0, 200, {}, 6);
    // Cameras that store no 35mm value: the first is in the shipped camera table.
    add("old_camera/garden_001.jpg", "Canon", "Canon PowerShot G2", 70, {}, 28, 250, 0, 50);
    add("old_camera/garden_002.jpg", "Canon", "Canon PowerShot G2", 210, {}, 40, 125, 0, 100);
    add("old_camera/garden_003.jpe", "Panasonic", "DMC-FZ8", 60, {}, 28, 400, 0, 100);
    // ISO only in the maker note.
    add("old_camera/harbour_001.jpg", "NIKON CORPORATION", "NIKON D70", 180, 27, 80, 320, 0, {}, NikonNote(200));
    add("old_camera/harbour_002.jpg", "CASIO COMPUTER CO.,LTD.", "EX-Z750", 79, 38, 27, 100, 0, {}, CasioNote(100));
    return photos;
}

Bytes DemoPhotoBytes(const DemoPhoto& photo, int index) {
    Ifd exif(false);
    if (photo.ExposureDenominator != 0) {
        exif.Rational(0x829A, {{1, photo.ExposureDenominator}});
    } else {
        exif.Rational(0x829A, {{photo.ExposureSeconds, 1}});
    }
    exif.Rational(0x829D, {{photo.FNumberTenths, 10}});
    if (photo.Iso) exif.Short(0x8827, {*photo.Iso});
    exif.Undefined(0x9000, "0230");
    exif.Ascii(0x9003, "2026:06:" + std::to_string(10 + index % 18) + " 1" + std::to_string(index % 10) + ":30:00");
    exif.Rational(0x920A, {{photo.FocalTenths, 10}});
    if (!photo.MakerNote.empty()) exif.Undefined(0x927C, photo.MakerNote);
    if (photo.Focal35) exif.Short(0xA405, {*photo.Focal35});
    Tiff tiff;
    tiff.ifd0.Ascii(0x010F, photo.Make).Ascii(0x0110, photo.Model);
    if (photo.Orientation != 1) tiff.ifd0.Short(0x0112, {photo.Orientation});
    tiff.ifd0.Ascii(0x0131, "Quorvela demo");
    // Stars as a camera or a photo manager writes them (EXIF Rating), so the rating chart has
    // something to show; every sixth photo is left unrated.
    if (const std::uint16_t stars = static_cast<std::uint16_t>((index * 5 + 3) % 6); stars != 0) {
        tiff.ifd0.Short(0x4746, {stars});
    }
    tiff.ifd0.Link(0x8769, std::move(exif));
    const Bytes app1 = ExifPayload(tiff);
    // A photo stored on its side is drawn on its side, so that turning it shows it upright.
    const bool sideways = photo.Orientation >= 5;
    const int width = sideways ? photo.Height : photo.Width;
    const int height = sideways ? photo.Width : photo.Height;
    Bytes rgb = Landscape(photo.Width, photo.Height, index);
    if (sideways) {
        // Stored turned a quarter anticlockwise: orientation 6 turns it back clockwise.
        Bytes turned(rgb.size());
        for (int y = 0; y < photo.Height; ++y) {
            for (int x = 0; x < photo.Width; ++x) {
                const int tx = y;
                const int ty = photo.Width - 1 - x;
                for (int c = 0; c < 3; ++c) {
                    turned[(static_cast<std::size_t>(ty) * width + tx) * 3 + c] =
                        rgb[(static_cast<std::size_t>(y) * photo.Width + x) * 3 + c];
                }
            }
        }
        rgb = std::move(turned);
    }
    return EncodeJpeg(width, height, rgb, app1);
}

void WriteDemoFolder(const std::filesystem::path& folder) {
    const std::vector<DemoPhoto> photos = DemoPhotos();
    for (std::size_t i = 0; i < photos.size(); ++i) {
        const std::filesystem::path file = folder / photos[i].Name;
        std::filesystem::create_directories(file.parent_path());
        const Bytes bytes = DemoPhotoBytes(photos[i], static_cast<int>(i));
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (bytes.empty() || !out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size()) || !out.flush()) {
            throw std::runtime_error("Unable to write " + file.string());
        }
    }
}

}  // namespace quorvela::samples
