#include "equivalence/lens_database.h"

#include <gtest/gtest.h>

namespace quorvela::equivalence {
namespace {

TEST(RangeInName, TheFormsLensNamesWrite) {
    struct Case {
        const char* name;
        LensRange range;
    };
    const Case cases[] = {
        {"Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED", {18, 70, 3.5, 4.5}},
        {"Sony DT 55-200mm F4-5.6 SAM", {55, 200, 4, 5.6}},
        {"D-Xenon 1:3.5-5.6 18-55mm AL", {18, 55, 3.5, 5.6}},
        {"Canon EF 70-200mm f/2.8L IS USM", {70, 200, 2.8, 2.8}},             // the same at both ends
        {"XF18-55mmF2.8-4 R LM OIS", {18, 55, 2.8, 4}},                       // glued to the length
        {"EF-S18-55mm f/4-5.6 IS STM", {18, 55, 4, 5.6}},                     // the series' hyphen
        {"Canon EF85mm f/1.4L IS USM", {85, 85, 1.4, 1.4}},                   // the F of EF
        {"OLYMPUS M.12-45mm F4.0", {12, 45, 4, 4}},                           // the dot of M.
        {"Nikon AF-S Nikkor 24-85 mm f/3.5-4.5G ED VR", {24, 85, 3.5, 4.5}},  // a space before mm
        {"Nikon AF-S VR Nikkor 400mm f_2.8G ED", {400, 400, 2.8, 2.8}},
        {"Tamron SP AF 90mm f/2.8 Di Macro 1:1", {90, 90, 2.8, 2.8}},  // a scale, no f-number
        {"Mitakon wide MC f=24mm 1:2.8", {24, 24, 2.8, 2.8}},
        {"LEICA DG 100-400/F4.0-6.3", {100, 400, 4, 6.3}},
        {"Zeiss Milvus 1.4/50", {50, 50, 1.4, 1.4}},
        {"Carl Zeiss Planar T* 1,4/50 ZF.2", {50, 50, 1.4, 1.4}},  // a decimal comma
        {"Minolta MD 35mm 1/2.8", {35, 35, 2.8, 2.8}},
        {"24mm 2.0 Macro", {24, 24, 2, 2}},
        {"Tokina AT-X 14-20 F2 PRO DX", {14, 20, 2, 2}},
        {"Summicron TL 1:2 23 ASPH.", {23, 23, 2, 2}},
        {"Samyang 35mm T1.5 Cine Lens", {35, 35, 0, 0}},  // a T-stop
        {"Canon PowerShot G2 & compatibles (Standard)", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LensRange range = RangeInName(c.name);
        EXPECT_DOUBLE_EQ(range.MinFocal, c.range.MinFocal);
        EXPECT_DOUBLE_EQ(range.MaxFocal, c.range.MaxFocal);
        EXPECT_DOUBLE_EQ(range.WideAperture, c.range.WideAperture);
        EXPECT_DOUBLE_EQ(range.LongAperture, c.range.LongAperture);
    }
}

// Two texts, as lensfun's files are: the mounts come after the lenses that use them.
const LensDatabase& SmallDatabase() {
    static const LensDatabase database({R"(<lensdatabase version="1">
        <camera><maker>Nikon Corporation</maker><model>Nikon D70</model><mount>Nikon F AF</mount>
            <cropfactor>1.5</cropfactor></camera>
        <camera><maker>Canon</maker><model>Canon EOS 40D</model><mount>Canon EF-S</mount><cropfactor>1.6</cropfactor>
            </camera>
        <camera><maker>Canon</maker><model>Canon EOS 5D</model><mount>Canon EF</mount><cropfactor>1</cropfactor></camera>
        <camera><maker>Canon</maker><model>Canon PowerShot G2</model><mount>canonG2</mount><cropfactor>4.8</cropfactor>
            </camera>
        <lens><maker>Nikon</maker><model>Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED</model>
            <mount>Nikon F AF</mount><aperture min="3.5" max="29"/><cropfactor>1.5</cropfactor>
            <calibration><distortion model="ptlens" focal="17" a="0" b="0" c="0"/></calibration></lens>
        <!-- <lens><maker>Nikon</maker><model>Nikon 17-70mm f/2.8</model><mount>Nikon F AF</mount>
            <cropfactor>1.5</cropfactor></lens> -->
        <lens><maker>Sigma</maker><model>10-20mm f/4-5.6 EX DC</model><mount>Nikon F AF</mount><mount>Canon EF</mount>
            <cropfactor>1.5</cropfactor></lens>
        <lens><maker>Sigma</maker><model>10-20mm f/4-5.6 EX DC</model><mount>Nikon F AF</mount><mount>Canon EF</mount>
            <cropfactor>1.6</cropfactor></lens>
        <lens><maker>Canon</maker><model>Canon EF-S 18-55mm f/3.5-5.6</model><mount>Canon EF-S</mount>
            <cropfactor>1.6</cropfactor></lens>
        <lens><maker>Canon</maker><model>Canon EF-S 18-55mm f/3.5-5.6 IS</model><mount>Canon EF-S</mount>
            <cropfactor>1.6</cropfactor></lens>
        <lens><maker>Canon</maker><model>EF-S18-55mm f/4-5.6 IS STM</model><mount>Canon EF-S</mount>
            <cropfactor>1.6</cropfactor></lens>
        <lens><maker>Canon</maker><model>Canon EF 28-105mm f/3.5-4.5 USM</model><mount>Canon EF</mount>
            <cropfactor>1</cropfactor></lens>
        <lens><maker>Canon</maker><model>Canon EF 70-200mm f/4L USM</model><mount>Canon EF</mount>
            <cropfactor>1</cropfactor></lens>
        <lens><maker>Canon</maker><model>Canon EF 70-200mm f/4L USM + EF 1.4x extender</model><mount>Canon EF</mount>
            <cropfactor>1</cropfactor></lens>
        <lens><maker>Canon</maker><model>Canon PowerShot G2 &amp; compatibles (Standard)</model><mount>canonG2</mount>
            <focal min="7" max="21"/><cropfactor>4.8</cropfactor></lens>
        <lens><maker>Voigtl&#228;nder</maker><model>Voigtl&#xE4;nder Color-Skopar X 1:2,8/50</model>
            <mount>Nikon F AF</mount><cropfactor>1</cropfactor></lens>
        <lens><maker>Lensbaby</maker><model>Lensbaby Composer 50mm f/2</model><mount>Generic</mount>
            <cropfactor>1</cropfactor></lens>
        <lens><maker>Generic</maker><model>Rectilinear 10-1000mm f/1.0</model><mount>Canon EF</mount>
            <cropfactor>1</cropfactor></lens>
        </lensdatabase>)",
                                        R"(<lensdatabase version="1">
        <mount><name>Canon EF</name><compat>M42</compat><compat>Generic</compat></mount>
        <mount><name>Canon EF-S</name><compat>Canon EF</compat><compat>Generic</compat></mount>
        <mount><name>Nikon F AF</name><compat>Generic</compat></mount>
        <mount><name>Generic</name><compat>Canon EF</compat><compat>Nikon F AF</compat></mount>
        </lensdatabase>)"});
    return database;
}

TEST(LensDatabase, TheOneLensThatFitsTheCameraAndTheRange) {
    struct Case {
        const char* what;
        const char* make;
        const char* model;
        LensRange range;
        const char* lens;  // none when null
    };
    const Case cases[] = {
        {"the one lens",
         "NIKON CORPORATION",
         "Nikon D70",
         {18, 70, 3.5, 4.5},
         "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED"},
        {"no f-numbers: by the range",
         "NIKON CORPORATION",
         "Nikon D70",
         {18, 70, 0, 0},
         "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED"},
        {"maker notes round the range",
         "NIKON CORPORATION",
         "Nikon D70",
         {18.3, 69.5, 3.48, 4.5},
         "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED"},
        {"another wide end", "NIKON CORPORATION", "Nikon D70", {19, 70, 0, 0}, nullptr},
        {"wide f-number differs", "NIKON CORPORATION", "Nikon D70", {18, 70, 2.8, 4.5}, nullptr},
        {"long f-number differs", "NIKON CORPORATION", "Nikon D70", {18, 70, 3.5, 5.6}, nullptr},
        {"a lens in a comment", "NIKON CORPORATION", "Nikon D70", {17, 70, 2.8, 2.8}, nullptr},
        {"character references",
         "NIKON CORPORATION",
         "Nikon D70",
         {50, 50, 2.8, 2.8},
         "Voigtl\xC3\xA4nder Color-Skopar X 1:2,8/50"},
        {"listed twice, one lens", "NIKON CORPORATION", "Nikon D70", {10, 20, 4, 5.6}, "Sigma 10-20mm f/4-5.6 EX DC"},
        {"EF lens on EF-S camera", "Canon", "Canon EOS 40D", {28, 105, 3.5, 4.5}, "Canon EF 28-105mm f/3.5-4.5 USM"},
        {"EF-S lens on EF camera", "Canon", "Canon EOS 5D", {18, 55, 3.5, 5.6}, nullptr},
        {"several 18-55s", "Canon", "Canon EOS 40D", {18, 55, 0, 0}, nullptr},
        {"two at f/3.5", "Canon", "Canon EOS 40D", {18, 55, 3.5, 5.6}, nullptr},
        {"one at f/4", "Canon", "Canon EOS 40D", {18, 55, 4, 5.6}, "Canon EF-S18-55mm f/4-5.6 IS STM"},
        {"an extender's listing", "Canon", "Canon EOS 5D", {70, 200, 4, 4}, "Canon EF 70-200mm f/4L USM"},
        {"Generic compat not followed", "Canon", "Canon EOS 40D", {50, 50, 2, 2}, nullptr},
        {"a Generic lens", "Canon", "Canon EOS 5D", {10, 1000, 1, 1}, nullptr},
        {"a compact's own lens",
         "Canon",
         "Canon PowerShot G2",
         {7, 21, 2, 2.5},
         "Canon PowerShot G2 & compatibles (Standard)"},
        {"unknown camera", "Canon", "Canon EOS 999D", {18, 55, 4, 5.6}, nullptr},
        {"not ASCII", "Canon \xE9", "Canon EOS 40D", {28, 105, 3.5, 4.5}, nullptr},
        {"no range", "Canon", "Canon EOS 40D", {0, 0, 3.5, 4.5}, nullptr},
    };
    const LensDatabase& database = SmallDatabase();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<std::string> lens = database.NameOf(c.make, c.model, c.range);
        EXPECT_EQ(lens, c.lens != nullptr ? std::optional<std::string>(c.lens) : std::nullopt);
    }
    EXPECT_TRUE(database.HasBuiltInLens("Canon", "Canon PowerShot G2"));
    EXPECT_FALSE(database.HasBuiltInLens("Canon", "Canon EOS 40D"));
    EXPECT_FALSE(database.HasBuiltInLens("Canon", "Canon EOS 999D"));
}

TEST(LensDatabase, TheSystemListKnowsTheLensesOfOldCameras) {
    const LensDatabase& database = LensDatabase::Shared();
    if (database.LensCount() == 0) GTEST_SKIP() << "lensfun's data is not installed";
    EXPECT_EQ(database.NameOf("NIKON CORPORATION", "NIKON D70", {18, 70, 3.5, 4.5}),
              "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED");
    EXPECT_EQ(database.NameOf("OLYMPUS CORPORATION", "E-1", {14, 54, 2.8, 3.5}),
              "Olympus Zuiko Digital 14-54mm f/2.8-3.5");
    EXPECT_EQ(database.NameOf("Canon", "Canon EOS 350D DIGITAL", {18, 55, 0, 0}), std::nullopt);
    EXPECT_TRUE(database.HasBuiltInLens("Canon", "Canon PowerShot G2"));
    EXPECT_FALSE(database.HasBuiltInLens("Canon", "Canon EOS 40D"));
}

}  // namespace
}  // namespace quorvela::equivalence
