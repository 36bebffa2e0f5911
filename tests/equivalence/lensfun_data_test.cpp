#include "equivalence/lensfun_data.h"

#include <gtest/gtest.h>
#include <lensfun/lensfun.h>

#include "equivalence/camera_database.h"
#include "equivalence/lens_database.h"

namespace quorvela::equivalence {
namespace {

TEST(SplitLensfunText, MountsForLensfunCamerasByMakeLensesAsListings) {
    struct Case {
        const char* what;
        const char* xml;
        const char* mounts;  // between the database's own start and end tags
        const char* camera;  // the one camera element and its line break, none when null
        std::size_t lenses;
    };
    const Case cases[] = {
        {"a camera", "<camera><model>A</model></camera>", "", "<camera><model>A</model></camera>\n", 0},
        {"a mount", "<mount><name>M</name></mount>", "<mount><name>M</name></mount>\n", nullptr, 0},
        {"a lens", "<lens><model>18mm</model><mount>M</mount></lens>", "", nullptr, 1},
        {"a comment left out", "<!-- <camera><model>A</model></camera> --><lens><model>L</model></lens>", "", nullptr,
         1},
        {"a comment inside", "<camera><model>A</model><!-- x --></camera>", "", "<camera><model>A</model></camera>\n",
         0},
        {"blanks between tags left out", "<camera>\n  <model> A B </model>\n</camera>", "",
         "<camera><model> A B </model></camera>\n", 0},
        {"an unclosed camera", "<camera><model>A</model>", "", nullptr, 0},
        {"an unclosed comment", "<camera><model>A</model></camera><!-- <lens></lens>", "",
         "<camera><model>A</model></camera>\n", 0},
        {"a calibration skipped", "<lens><model>L</model><calibration><tca/></calibration></lens>", "", nullptr, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LensfunParts parts;
        SplitLensfunText(c.xml, parts);
        ASSERT_EQ(parts.Mounts.size(), 1U);
        EXPECT_EQ(parts.Mounts[0], std::string("<lensdatabase version=\"1\">\n") + c.mounts + "</lensdatabase>\n");
        ASSERT_EQ(parts.Cameras.size(), c.camera != nullptr ? 1U : 0U);
        EXPECT_EQ(parts.Cameras.empty() ? std::string() : parts.Cameras[0].Element,
                  c.camera != nullptr ? c.camera : "");
        EXPECT_EQ(parts.Lenses.size(), c.lenses);
    }
}

TEST(SplitLensfunText, ACamerasMakeAsLensfunComparesIt) {
    struct Case {
        const char* camera;
        std::optional<std::string> make;  // none: looked up with every make
    };
    const Case cases[] = {
        {"<camera><maker>Canon</maker></camera>", "canon"},
        {"<camera><maker>  OLYMPUS \t IMAGING  Corp. </maker><maker lang=\"en\">Olympus</maker></camera>",
         "olympus imaging corp."},
        {"<camera><maker lang=\"en\">Olympus</maker><maker>Olympus</maker></camera>", std::nullopt},
        {"<camera><maker>A</maker><maker>B</maker></camera>", std::nullopt},
        {"<camera><maker>A &amp; B</maker></camera>", std::nullopt},
        {"<camera><maker>Leica \xC3\x84</maker></camera>", std::nullopt},
        {"<camera><model>X</model></camera>", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.camera);
        LensfunParts parts;
        SplitLensfunText(c.camera, parts);
        ASSERT_EQ(parts.Cameras.size(), 1U);
        EXPECT_EQ(parts.Cameras[0].Make, c.make);
    }
}

TEST(MakeKey, BlanksAndCaseAsLensfunComparesMakes) {
    struct Case {
        const char* make;
        std::optional<std::string> key;
    };
    const Case cases[] = {
        {"Canon", "canon"},  {" NIKON  CORPORATION\t", "nikon corporation"},
        {"\fA\r\nB", "a b"}, {"A\vB", "a\vb"},
        {"   ", ""},         {"Caf\xC3\xA9", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.make);
        EXPECT_EQ(MakeKey(c.make), c.key);
    }
}

TEST(SplitLensfunText, ALensListingsNamesMountsAndRange) {
    LensfunParts parts;
    SplitLensfunText(R"(<lens><maker>Voigtl&#228;nder</maker><maker lang="de">X</maker><model>Color &amp; 50</model>
        <mount>A</mount><mount>B</mount><focal min="18" max="70"/><aperture min="3.5" max="22"/></lens>)",
                     parts);
    ASSERT_EQ(parts.Lenses.size(), 1U);
    const LensListing& lens = parts.Lenses[0];
    EXPECT_EQ(lens.Maker, "Voigtl\xC3\xA4nder");
    EXPECT_EQ(lens.Model, "Color & 50");
    EXPECT_EQ(lens.Mounts, (std::vector<std::string>{"A", "B"}));
    EXPECT_DOUBLE_EQ(lens.Stated.MinFocal, 18);
    EXPECT_DOUBLE_EQ(lens.Stated.MaxFocal, 70);
    EXPECT_DOUBLE_EQ(lens.Stated.WideAperture, 3.5);
}

TEST(LensfunCameras, FindsAsLensfunMatchesWhatItExpects) {
    LensfunParts parts;
    SplitLensfunText(R"(<lensdatabase version="1">
        <mount><name>Canon EF</name></mount>
        <camera><maker>Canon</maker><model>Canon EOS 5D</model><mount>Canon EF</mount><cropfactor>1</cropfactor>
            </camera>
        <camera><maker>Nikon</maker><model>D70</model><mount>Nikon F</mount><cropfactor>1.5</cropfactor></camera>
        <camera><maker>Nikon</maker><model>D70</model><mount>Nikon F</mount><cropfactor>1.5</cropfactor></camera>
        <camera><maker>Le&#xEF;ca</maker><model>D70</model><mount>L</mount><cropfactor>1</cropfactor></camera>
        </lensdatabase>)",
                     parts);
    const LensfunCameras cameras(parts.Mounts, parts.Cameras);
    struct Case {
        const char* make;
        const char* model;
        std::size_t found;
    };
    const Case cases[] = {
        {"Canon", "Canon EOS 5D", 1},
        {"CANON", "canon eos 5d", 1},
        {"Canon", "Canon EOS 6D", 0},
        {"", "Canon EOS 5D", 0},
        {"Canon", "", 0},
        {"Canon \xE9", "Canon EOS 5D", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.make) + " " + c.model);
        EXPECT_EQ(cameras.Find(c.make, c.model).size(), c.found);
    }
    EXPECT_EQ(cameras.CameraCount(), 3);
    ASSERT_NE(cameras.Mounts(), nullptr);
    ASSERT_NE(cameras.Mounts()[0], nullptr);
    EXPECT_STREQ(cameras.Mounts()[0]->Name, "Canon EF");
}

TEST(LensfunData, BothDatabasesOfTheProcessReadTheFilesOnce) {
    const LensfunData& data = SharedLensfunData();
    EXPECT_EQ(&SharedLensfunData(), &data);
    EXPECT_EQ(CameraDatabase::Shared().CameraCount(), data.Cameras->CameraCount());
    EXPECT_EQ(LensDatabase::Shared().LensCount(), static_cast<int>(data.Lenses.size()));
}

}  // namespace
}  // namespace quorvela::equivalence
