#include <gtest/gtest.h>

#include "metadata/img_data.h"
#include "support/jpeg_builder.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

using testing::Jpeg;
using testing::Tiff;

Tiff SmallExif(bool bigEndian = false) {
    Tiff tiff(bigEndian);
    tiff.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 300D DIGITAL");
    return tiff;
}

bool Read(TimgData& reader, const std::vector<std::uint8_t>& bytes, std::string_view name = "photo.jpg") {
    return reader.ReadJpegBytes(name, bytes);
}

TEST(JpegScan, ExifAfterApp0IsTheSecondSlot) {
    TimgData reader;
    ASSERT_TRUE(Read(reader, Jpeg().Soi().App0().Exif(SmallExif()).Dqt().Sos().Eoi().Build()));
    EXPECT_EQ(reader.App0Section, 1);
    EXPECT_EQ(reader.ExifSection, 2);
    EXPECT_EQ(reader.StatusText, "<none>");
    ASSERT_NE(reader.ExifDirectory, nullptr);
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("make"), "Canon");
    EXPECT_EQ(reader.ExifDirectory->MakeText, "Canon");
}

}  // namespace
}  // namespace quorvela::metadata
