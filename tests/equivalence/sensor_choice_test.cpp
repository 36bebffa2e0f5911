#include <gtest/gtest.h>

#include <map>

#include "equivalence/camera_database.h"
#include "equivalence/focal_length.h"

namespace quorvela::equivalence {
namespace {

// A camera list of the test's own: "make|model" -> crop factor.
class FakeDatabase final : public CropFactorSource {
  public:
    explicit FakeDatabase(std::map<std::string, double> crops) : crops_(std::move(crops)) {}
    [[nodiscard]] std::optional<double> CropFactor(std::string_view make, std::string_view model, double /*aspect*/,
                                                   double /*planeCrop*/) const override {
        const auto it = crops_.find(std::string(make) + "|" + std::string(model));
        if (it == crops_.end()) return std::nullopt;
        return it->second;
    }

  private:
    std::map<std::string, double> crops_;
};

TEST(ChooseLength, SourcesInOrder) {
    const FakeDatabase database({{"Canon|Canon EOS 7D", 1.6}, {"OLYMPUS IMAGING CORP.|E-P3", 2.0}});
    const EquivalentList table{"[MAKE]Canon[MODEL]CanonPowerShotG9[REAL_LENS]1[35MM_EQUIVALENT]4.7",
                               "[MAKE]OLYMPUS[MODEL]E-P3[REAL_LENS]1[35MM_EQUIVALENT]2.5"};
    const LensSettings equivalent;  // the manual factor 8,2 = 38
    const LensSettings calculate{"8,2", "38", false, true};
    const LensSettings real{"8,2", "38", true, false};
    using S = EquivalentSource;
    struct Case {
        const char* name;
        LensFacts facts;
        LensSettings lens;
        const char* text;
        S source;
    };
    const Case cases[] = {
        {"stored value first",
         {"52.00 mm", "35.0 mm", "Canon", "Canon EOS 7D", 1.62, 2.9},
         equivalent,
         "52.00 mm",
         S::Stored},
        {"a stored zero is no value",
         {"0.00 mm", "57.0 mm", "Canon", "Canon EOS 7D", 0, 2.9},
         equivalent,
         "91.20",
         S::Sensor},
        {"the user's table before the database",
         {"", "17.0 mm", "OLYMPUS IMAGING CORP.", "E-P3"},
         equivalent,
         "42.50",
         S::Table},
        {"the table before a resized export's derivation",
         {"", "7.4 mm", "Canon", "Canon PowerShot G9", 0, 7.7},
         equivalent,
         "34.78",
         S::Table},
        {"the maker note's sensor before the database",
         {"", "57.0 mm", "Canon", "Canon EOS 7D", 1.62, 2.9},
         equivalent,
         "92.34",
         S::Sensor},
        {"the database before a resized export's focal plane",
         {"", "57.0 mm", "Canon", "Canon EOS 7D", 0, 2.9},
         equivalent,
         "91.20",
         S::Sensor},
        {"the focal plane for a camera nobody lists",
         {"", "10.0 mm", "Nowhere", "N1", 0, 4.5},
         equivalent,
         "45.00",
         S::Sensor},
        {"an unknown camera without sensor data", {"", "7.1 mm", "Nowhere", "N1"}, equivalent, "32.90", S::Manual},
        {"calculate mode: the factor alone",
         {"52.00 mm", "7.1 mm", "Canon", "Canon EOS 7D", 1.62, 2.9},
         calculate,
         "32.90",
         S::Manual},
        {"real length", {"52.00 mm", "7.1 mm", "Canon", "Canon EOS 7D", 1.62}, real, "7.10", S::Manual},
        {"no focal length", {"", "", "Canon", "Canon EOS 7D", 1.62}, equivalent, "", S::Manual},
        {"a 0 mm focal length is unknown", {"", "0.0 mm", "Canon", "Canon EOS 7D", 1.62}, equivalent, "", S::Manual},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LensLength length = ChooseLength(c.facts, c.lens, table, &database, '.');
        EXPECT_EQ(length.Text, c.text);
        if (!length.Text.empty()) {
            EXPECT_EQ(length.Source, c.source);
        }
    }
}

TEST(ChooseListing, OneFactorOrTheFormatsOrTheFocalPlane) {
    using L = CameraDatabase::Listing;
    const std::vector<L> lx3 = {{4.7, "4:3"}, {5.7528, "16:9"}, {5.1, "3:2"}, {5.32, "1:1"}};
    struct Case {
        const char* name;
        std::vector<L> listings;
        double aspect, plane;
        std::optional<double> crop;
    };
    const Case cases[] = {
        {"unknown camera", {}, 1.5, 1.6, std::nullopt},
        {"one listing, whatever the focal plane says", {{1.6, ""}}, 1.5, 2.9, 1.6},
        {"listings that agree", {{1.53, ""}, {1.531, ""}}, 0, 0, 1.53},
        {"the photo's format", lx3, 16.0 / 9.0, 0, 5.7528},
        {"a portrait photo's format", lx3, 4.0 / 3.0, 0, 4.7},
        {"the focal plane near one", {{3.933, ""}, {4.843, ""}}, 1.33, 4.8, 4.843},
        {"the focal plane near none", {{3.933, ""}, {4.843, ""}}, 1.33, 7.0, std::nullopt},
        {"nothing to choose by", {{3.933, ""}, {4.843, ""}}, 0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChooseListing(c.listings, c.aspect, c.plane), c.crop);
    }
}

TEST(CameraDatabase, CamerasOfTheXmlMatchedAsLensfunMatches) {
    const std::string xml = R"(<lensdatabase version="1">
        <!-- <camera><maker>Ghost</maker><model>G1</model><mount>x</mount><cropfactor>9</cropfactor></camera> -->
        <camera><maker>Olympus Imaging Corp.</maker><maker lang="en">Olympus</maker><model>E-P3</model>
            <mount>Micro 4/3 System</mount><cropfactor>2.0</cropfactor></camera>
        <lens><maker>Olympus</maker><model>M.Zuiko 14-42</model><mount>Micro 4/3 System</mount></lens>
        </lensdatabase>)";
    const CameraDatabase database({CameraElements(xml)});
    EXPECT_EQ(database.CameraCount(), 1);
    EXPECT_EQ(database.CropFactor("OLYMPUS IMAGING CORP.", "E-P3", 4.0 / 3.0, 0.0), 2.0);
    EXPECT_EQ(database.CropFactor("Ghost", "G1", 0.0, 0.0), std::nullopt);
    EXPECT_EQ(database.CropFactor("OLYMPUS IMAGING CORP.", "E-P5", 0.0, 0.0), std::nullopt);
    EXPECT_EQ(database.CropFactor("Olympus \xE9", "E-P3", 0.0, 0.0), std::nullopt);  // not ASCII
}

TEST(CameraDatabase, TheSystemListKnowsTheCamerasOfTheIssue) {
    const CameraDatabase& database = CameraDatabase::Shared();
    if (database.CameraCount() == 0) GTEST_SKIP() << "lensfun's data is not installed";
    struct Case {
        const char* make;
        const char* model;
        double crop;
    };
    const Case cases[] = {
        {"OLYMPUS IMAGING CORP.", "E-P3", 2.0}, {"OLYMPUS IMAGING CORP.", "E-420", 2.0},
        {"Canon", "Canon EOS 7D", 1.6},         {"Canon", "Canon EOS-1D Mark III", 1.3},
        {"Canon", "Canon EOS R6", 1.0},         {"Canon", "Canon EOS R5", 1.0},
        {"Canon", "Canon PowerShot G9", 4.7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        const auto crop = database.CropFactor(c.make, c.model, 1.5, 0.0);
        ASSERT_TRUE(crop.has_value());
        EXPECT_NEAR(*crop, c.crop, 0.03 * c.crop);
    }
}

}  // namespace
}  // namespace quorvela::equivalence

namespace quorvela::equivalence {
namespace {

int databaseReads = 0;

const CameraDatabase& CountedDatabase() {
    ++databaseReads;
    static const CameraDatabase database({CameraElements(R"(<lensdatabase>
        <camera><maker>Panasonic</maker><model>DMC-LX3</model><variant>4:3</variant><mount>m</mount>
            <cropfactor>4.7</cropfactor></camera>
        <camera><maker>Panasonic</maker><model>DMC-LX3</model><variant>16:9</variant><mount>m</mount>
            <cropfactor>5.7528</cropfactor></camera></lensdatabase>)")});
    return database;
}

TEST(RememberedCameras, AReRunWithTheKeptListingsReadsNoList) {
    RememberedCameras first(&CountedDatabase);
    EXPECT_NEAR(first.CropFactor("Panasonic", "DMC-LX3", 16.0 / 9.0, 0.0).value_or(0), 5.7528, 1e-5);
    EXPECT_EQ(first.CropFactor("Nowhere", "N1", 1.5, 0.0), std::nullopt);
    EXPECT_TRUE(first.Changed());
    const int reads = databaseReads;

    RememberedCameras again(&CountedDatabase);
    again.Take(first.Text());
    EXPECT_NEAR(again.CropFactor("Panasonic", "DMC-LX3", 4.0 / 3.0, 0.0).value_or(0), 4.7, 1e-5);  // by format
    EXPECT_EQ(again.CropFactor("Nowhere", "N1", 1.5, 0.0), std::nullopt);  // unknown is kept too
    EXPECT_EQ(databaseReads, reads);
    EXPECT_FALSE(again.Changed());
    EXPECT_EQ(again.Text(), first.Text());

    RememberedCameras damaged(&CountedDatabase);
    damaged.Take("Panasonic\tDMC-LX3\tnot a number\t4:3\n");
    EXPECT_EQ(damaged.Text(), "");
}

}  // namespace
}  // namespace quorvela::equivalence
