#include "metadata/sensor_size.h"

#include <gtest/gtest.h>

#include "exif_writer.h"
#include "metadata/img_data.h"

namespace quorvela::metadata {
namespace {

using samples::Ifd;
using samples::Jpeg;
using samples::Tiff;

struct Photo {
    const char* make;
    std::uint32_t width, height;                         // ExifImageWidth / Length
    std::pair<std::uint32_t, std::uint32_t> xRes, yRes;  // focal-plane resolution as stored
    std::uint16_t unit;                                  // 2 inch, 3 cm; 0 leaves it out
};

SensorReading Read(const Photo& p, bool bigEndian) {
    Tiff tiff(bigEndian);
    Ifd exif(bigEndian);
    exif.Rational(0x920A, {{57, 1}}).Long(0xA002, {p.width}).Long(0xA003, {p.height});
    if (p.xRes.second != 0) exif.Rational(0xA20E, {p.xRes}).Rational(0xA20F, {p.yRes});
    if (p.unit != 0) exif.Short(0xA210, {p.unit});
    tiff.ifd0.Ascii(0x010F, p.make).Ascii(0x0110, "Model").Link(0x8769, exif);
    TimgData reader;
    reader.ReadJpegBytes("photo.jpg", Jpeg().Soi().Exif(tiff).Sos().Eoi().Build());
    EXPECT_NE(reader.ExifDirectory, nullptr);
    return reader.ExifDirectory ? ReadSensor(*reader.ExifDirectory) : SensorReading{};
}

TEST(ReadSensor, MakersSensorDataAndTheFocalPlane) {
    struct Case {
        const char* name;
        Photo photo;
        double noteCrop, planeCrop, aspect;
    };
    const Case cases[] = {
        // A 7D's sensor, 22.4 x 14.9 mm, as Canon writes it; the copy was shrunk to 800 pixels.
        {"a resized Canon keeps its sensor in the rationals",
         {"Canon", 800, 533, {5184000, 881}, {3456000, 587}, 2},
         1.609,
         10.42,
         1.501},
        {"a full-size Canon", {"Canon", 5184, 3456, {5184000, 881}, {3456000, 587}, 2}, 1.609, 1.609, 1.5},
        {"rationals of another form", {"Canon", 5184, 3456, {518400, 88}, {345600, 59}, 2}, 0.0, 1.608, 1.5},
        {"other makers: the focal plane alone",
         {"Nowhere", 3000, 2000, {3000000, 881}, {2000000, 587}, 2},
         0.0,
         1.609,
         1.5},
        {"centimetres", {"Nowhere", 4000, 3000, {4000, 1}, {4000, 1}, 3}, 0.0, 3.461, 1.333},
        {"a missing unit means inches", {"Nowhere", 3000, 2000, {3000000, 881}, {2000000, 587}, 0}, 0.0, 1.609, 1.5},
        {"a sensor no camera has is refused", {"Nowhere", 160, 120, {4000, 1}, {4000, 1}, 2}, 0.0, 0.0, 1.333},
        {"no focal plane", {"Nowhere", 3000, 2000, {0, 0}, {0, 0}, 0}, 0.0, 0.0, 1.5},
    };
    for (const Case& c : cases) {
        for (const bool bigEndian : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (bigEndian ? " (MM)" : " (II)"));
            const SensorReading reading = Read(c.photo, bigEndian);
            EXPECT_NEAR(reading.NoteCrop, c.noteCrop, 0.01);
            EXPECT_NEAR(reading.PlaneCrop, c.planeCrop, 0.01);
            EXPECT_NEAR(reading.Aspect, c.aspect, 0.01);
        }
    }
}

}  // namespace
}  // namespace quorvela::metadata
