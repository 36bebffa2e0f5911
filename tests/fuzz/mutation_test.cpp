// Corpus photos cut at every byte and flipped at random: the reader must survive each one
// (the sanitizers of the asan build turn any bad read into a failure).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "fuzz_one_input.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::fuzz {
namespace {

using testing::CorpusDir;

// Header length of a photo: everything up to the start of the compressed image, plus a
// little, since nothing after it is read.
std::size_t HeaderLength(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 2; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) return std::min(bytes.size(), i + 16);
    }
    return bytes.size();
}

// One photo per maker-note layout and per odd structure the corpus has.
const char* const kSeeds[] = {
    "nikon_d70_01.jpg",
    "nikon_e950_01.jpg",
    "canon_eos20d_01.jpg",
    "casio_qv3000ex_01.jpg",
    "fujifilm_finepix40i_01.jpg",
    "epson_photopc3100z_01.jpg",
    "sanyo_vpcmz3_01.jpg",
    "minolta_dimage5_01.jpg",
    "olympus_u760_01.jpg",
    "nomake_iptc_03.jpg",
    "apple_iphone7_01.jpg",
    "bad_sigma_sd10_01.jpg",
    "bad_polyphony_gt5_01.jpg",
    "nomake_xmp_03.jpg",
    // The other maker-note layouts (Casio "QVC", Nikon without a header) and IPTC with
    // repeated keywords.
    "casio_exz3_01.jpg",
    "nikon_e775_01.jpg",
    "nomake_iptc_01.jpg",
    "nikon_d1x_01.jpg",
    // The notes read for their ISO: Kodak's fixed fields of two kinds, Pentax's directory,
    // Canon's shot information, Nikon's ISO information.
    "kodak_dx4900_01.jpg",
    "kodak_dc280_01.jpg",
    "pentax_k10d_01.jpg",
    "canon_ixus_01.jpg",
    "nikon_d90_01.jpg",
};

TEST(Mutation, TruncatedAtEveryByte) {
    QUORVELA_REQUIRE_CORPUS();
    int variants = 0;
    for (const char* name :
         {"apple_iphone7_01.jpg", "canon_eos20d_01.jpg", "nikon_e950_01.jpg", "nomake_iptc_03.jpg"}) {
        SCOPED_TRACE(name);
        const auto bytes = testing::ReadFileBytes(CorpusDir() / name);
        ASSERT_FALSE(bytes.empty());
        const std::size_t header = HeaderLength(bytes);
        for (std::size_t cut = 0; cut <= header; ++cut) {
            ReadOneInput(std::span<const std::uint8_t>(bytes.data(), cut));
            ++variants;
        }
    }
    std::printf("[ figures  ] %d truncations read\n", variants);
}

TEST(Mutation, RandomByteFlips) {
    QUORVELA_REQUIRE_CORPUS();
    std::mt19937 random(20261207);
    int variants = 0;
    for (const char* name : kSeeds) {
        SCOPED_TRACE(name);
        auto bytes = testing::ReadFileBytes(CorpusDir() / name);
        ASSERT_FALSE(bytes.empty()) << "missing corpus photo";
        bytes.resize(HeaderLength(bytes));
        for (int variant = 0; variant < 400; ++variant) {
            auto mutated = bytes;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int f = 0; f < flips; ++f) {
                const std::size_t at = random() % mutated.size();
                // Half the flips set bytes that matter most to a parser: counts, offsets, types.
                mutated[at] = (random() % 2) ? static_cast<std::uint8_t>(random()) : std::uint8_t{0xFF};
            }
            ReadOneInput(mutated);
            ++variants;
        }
    }
    std::printf("[ figures  ] %d byte-flip variants read\n", variants);
}

TEST(Mutation, TiffStructuredFilesCutAndFlipped) {
    QUORVELA_REQUIRE_CORPUS();
    // The TIFF inside a JPEG's EXIF block, read as a raw file.
    auto bytes = testing::ReadFileBytes(CorpusDir() / "nikon_d70_01.jpg");
    std::size_t start = 0;
    for (std::size_t i = 0; i + 6 < bytes.size(); ++i) {
        if (bytes[i] == 'E' && bytes[i + 1] == 'x' && bytes[i + 2] == 'i' && bytes[i + 3] == 'f') {
            start = i + 6;
            break;
        }
    }
    ASSERT_GT(start, 0u);
    const std::vector<std::uint8_t> tiff(
        bytes.begin() + static_cast<std::ptrdiff_t>(start),
        bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), start + 40000)));
    metadata::TimgData reader;
    ASSERT_TRUE(reader.ReadJpegBytes("d70.nef", tiff));
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("Model"), "NIKON D70");
    std::mt19937 random(7);
    for (std::size_t cut = 0; cut < 3000 && cut < tiff.size(); cut += 3) {
        reader.ReadJpegBytes("d70.nef", std::span<const std::uint8_t>(tiff.data(), cut));
    }
    for (int variant = 0; variant < 500; ++variant) {
        auto mutated = tiff;
        for (int f = 0; f < 4; ++f) mutated[random() % 2000] = static_cast<std::uint8_t>(random());
        ReadOneInput(mutated);
    }
}

// Every file of the formats corpus (raw, HEIF, AVIF, CR3), cut and flipped where its boxes,
// headers and directories are: its first 256 KiB, which hold them in every file but the
// largest HEIF files (whose EXIF item then lies beyond the cut, another case to survive).
TEST(Mutation, FormatsCorpusCutAndFlipped) {
    const std::filesystem::path folder = QUORVELA_FORMATS_DIR;
    if (!std::filesystem::exists(folder / "truth.json")) GTEST_SKIP() << "formats corpus absent";
    std::mt19937 random(20261208);
    int variants = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "truth.json" || name == "README.md") continue;
        SCOPED_TRACE(name);
        auto bytes = testing::ReadFileBytes(entry.path());
        bytes.resize(std::min<std::size_t>(bytes.size(), 256 * 1024));
        const std::size_t step = std::max<std::size_t>(1, bytes.size() / 300);
        for (std::size_t cut = 0; cut < bytes.size(); cut += cut < 512 ? 1 : step) {
            ReadOneInput(std::span<const std::uint8_t>(bytes.data(), cut));
            ++variants;
        }
        const std::size_t span = std::min<std::size_t>(bytes.size(), 16 * 1024);
        for (int variant = 0; variant < 150; ++variant) {
            auto mutated = bytes;
            const int flips = 1 + static_cast<int>(random() % 6);
            for (int f = 0; f < flips; ++f) {
                mutated[random() % span] = (random() % 2) ? static_cast<std::uint8_t>(random()) : std::uint8_t{0xFF};
            }
            ReadOneInput(mutated);
            ReadIsoInput(mutated);
            ++variants;
        }
    }
    std::printf("[ figures  ] %d cut or flipped variants of the formats corpus read\n", variants);
}

}  // namespace
}  // namespace quorvela::fuzz
