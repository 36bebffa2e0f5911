#include "viewer/exif_orientation.h"

#include <gtest/gtest.h>

#include "exif_writer.h"

namespace quorvela::viewer {
namespace {

using samples::Bytes;

Bytes Payload(const samples::Tiff& tiff) {
    Bytes out = {'E', 'x', 'i', 'f', 0, 0};
    const Bytes body = tiff.Build();
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes WithOrientation(bool bigEndian, std::uint16_t value) {
    samples::Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, "Canon").Short(0x0112, {value});
    return Payload(tiff);
}

TEST(ExifOrientation, ReadsIfd0InEitherByteOrder) {
    for (const bool bigEndian : {false, true}) {
        for (std::uint16_t value = 1; value <= 8; ++value) {
            EXPECT_EQ(ExifOrientation(WithOrientation(bigEndian, value)), value) << bigEndian;
        }
    }
}

TEST(ExifOrientation, UprightWhenAbsentOrOutOfRange) {
    samples::Tiff tiff;
    tiff.ifd0.Ascii(0x010F, "Canon");
    EXPECT_EQ(ExifOrientation(Payload(tiff)), 1);
    EXPECT_EQ(ExifOrientation(WithOrientation(false, 0)), 1);
    EXPECT_EQ(ExifOrientation(WithOrientation(false, 9)), 1);
    EXPECT_EQ(ExifOrientation(Bytes{}), 1);
    Bytes notExif = WithOrientation(false, 6);
    notExif[0] = 'X';
    EXPECT_EQ(ExifOrientation(notExif), 1);
}

TEST(ExifOrientation, ATruncatedPayloadIsReadOnlyWithinItsBytes) {
    const Bytes whole = WithOrientation(true, 6);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const int orientation = ExifOrientation(std::span(whole.data(), size));
        EXPECT_TRUE(orientation == 1 || orientation == 6) << size;
    }
    Bytes badOffset = WithOrientation(false, 6);
    badOffset[10] = 0xF0;  // IFD0 offset far outside the payload
    EXPECT_EQ(ExifOrientation(badOffset), 1);
}

}  // namespace
}  // namespace quorvela::viewer
