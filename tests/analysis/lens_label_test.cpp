// A photo's lens label from its facts, one name per lens, and what a lens was used for.

#include "analysis/lens_label.h"

#include <gtest/gtest.h>

#include "analysis/lens_use.h"

namespace quorvela::analysis {
namespace {

// Knows one lens of Nikon's D70 and one compact with a lens of its own.
class TestCatalogue final : public LensCatalogue {
  public:
    [[nodiscard]] std::optional<std::string> NameOf(std::string_view, std::string_view model,
                                                    const library::LensSpan& range) const override {
        if (model == "NIKON D70" && range.MinFocal == 18 && range.MaxFocal == 70 && range.WideAperture == 3.5) {
            return "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED";
        }
        return std::nullopt;
    }
    [[nodiscard]] bool HasBuiltInLens(std::string_view, std::string_view model) const override {
        return model == "Canon PowerShot G2";
    }
};

TEST(LabelLens, NameThenRangeThenTheCamera) {
    struct Case {
        const char* make;
        const char* model;
        const char* lens;
        library::LensSpan range;
        const char* label;
        bool named;
    };
    const Case cases[] = {
        {"Canon", "Canon EOS 6D", "EF24-70mm f/2.8L II USM", {}, "EF24-70mm f/2.8L II USM", true},
        {"NIKON CORPORATION",
         "NIKON D70",
         "",
         {18, 70, 3.5, 4.5},
         "Nikon AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED",
         true},
        {"NIKON CORPORATION", "NIKON D50", "", {18, 70, 3.5, 4.5}, "Nikon 18-70mm f/3.5-4.5", true},
        // A name that states only a range is named as the range.
        {"NIKON CORPORATION", "NIKON D5300", "18.0-250.0 mm f/3.5-6.3", {}, "Nikon 18-250mm f/3.5-6.3", true},
        {"Canon", "Canon EOS 350D DIGITAL", "", {18, 55, 0, 0}, "Canon 18-55mm", true},
        {"Canon", "Canon PowerShot G2", "", {7, 21, 0, 0}, "built-in 7-21mm \x97 Canon PowerShot G2", false},
        {"Canon", "Canon PowerShot S40", "", {7.09375, 21.3125, 0, 0}, "Canon 7.1-21.3mm", true},
        {"Canon", "Canon PowerShot G2", "", {}, "built-in lens \x97 Canon PowerShot G2", false},
        {"Motorola", "XT1575", "", {}, "built-in lens \x97 Motorola XT1575", false},
        {"samsung", "SM-G930F", "", {4.2, 4.2, 1.7, 1.7}, "built-in 4.2mm f/1.7 \x97 samsung SM-G930F", false},
        {"Canon", "Canon EOS 40D", "", {}, "unknown lens \x97 Canon EOS 40D", false},
        {"EASTMAN KODAK COMPANY", "DC210 Zoom (V05.00)", "", {}, "unknown lens \x97 Kodak DC210 Zoom (V05.00)", false},
        {"", "", "", {}, "unknown lens", false},
    };
    for (const Case& c : cases) {
        library::PhotoFacts facts;
        facts.HasExif = true;
        facts.Make = c.make;
        facts.Model = c.model;
        facts.Lens = c.lens;
        facts.LensRange = c.range;
        const LensLabel label = LabelLens(facts, TestCatalogue());
        EXPECT_EQ(label.Text, c.label) << c.model;
        EXPECT_EQ(label.Named, c.named) << c.model;
        EXPECT_EQ(NamesLens(label.Text), c.named) << c.model;
    }
}

TEST(SpanOfName, TheLengthsAndApertures) {
    const std::pair<const char*, library::LensSpan> cases[] = {
        {"EF24-70mm f/2.8L II USM", {24, 70, 2.8, 2.8}},
        {"18.0-70.0 mm f/3.5-4.5", {18, 70, 3.5, 4.5}},
        {"XF50mmF2 R WR", {50, 50, 2, 2}},
        {"Pixel 8 Pro back camera 6.9mm f/1.68", {6.9, 6.9, 1.68, 1.68}},
        {"FE 35mm F1.4 GM", {35, 35, 1.4, 1.4}},
        {"Summilux", {}},
    };
    for (const auto& [name, span] : cases) EXPECT_EQ(SpanOfName(name), span) << name;
}

TEST(OneNamePerLens, SameNumbersOrSameNameCountAsOne) {
    using Names = std::unordered_map<std::string, std::string>;
    struct Case {
        std::vector<std::string> labels;
        Names expected;
    };
    const Case cases[] = {
        {{"Nikon 18-70mm f/3.5-4.5", "18.0-70.0 mm f/3.5-4.5"},
         {{"18.0-70.0 mm f/3.5-4.5", "Nikon 18-70mm f/3.5-4.5"}}},
        {{"EF-S18-55mm f/3.5-5.6 IS", "ef-s 18-55mm f/3.5-5.6 is"},
         {{"ef-s 18-55mm f/3.5-5.6 is", "EF-S18-55mm f/3.5-5.6 IS"}}},
        {{"Canon 28-135mm f/3.5-5.6", "EF28-135mm f/3.5-5.6 IS USM"},
         {{"Canon 28-135mm f/3.5-5.6", "EF28-135mm f/3.5-5.6 IS USM"}}},
        // Two lenses of the same numbers: a bare range cannot tell which.
        {{"Canon 18-55mm f/3.5-5.6", "EF-S18-55mm f/3.5-5.6 IS", "EF-S18-55mm f/3.5-5.6 III"}, {}},
        // Without its apertures a range is no description of a named lens.
        {{"Canon 28-135mm", "EF28-135mm f/3.5-5.6 IS USM"}, {}},
        {{"unknown lens \xE2\x80\x94 Canon EOS 40D", "UNKNOWN LENS \xE2\x80\x94 CANON EOS 40D"}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(OneNamePerLens(c.labels), c.expected) << c.labels.front();
}

TEST(LensUse, TheEndsOfAZoomWithinTwoPercent) {
    LensUseCounter counter;
    const library::LensSpan zoom{24, 70, 2.8, 2.8};
    for (const double length : {24.0, 24.4, 70.0, 68.7, 50.0, 0.0}) counter.Add("EF24-70mm f/2.8L", zoom, length);
    counter.Add("EF-S 24-70", zoom, 24.0);  // counted under the name it maps to
    counter.Add("EF50mm f/1.8", {50, 50, 1.8, 1.8}, 50.0);
    const auto uses = counter.Uses({{"EF-S 24-70", "EF24-70mm f/2.8L"}});
    const LensUse& used = uses.at("EF24-70mm f/2.8L");
    EXPECT_EQ(used.Photos, 7);
    EXPECT_EQ(used.AtWideEnd, 3);
    EXPECT_EQ(used.AtLongEnd, 2);
    EXPECT_EQ(LensUseSentence("EF24-70mm f/2.8L", used),
              "EF24-70mm f/2.8L: 7 photos \xE2\x80\x94 50 % at 24 mm (the wide end), 33 % at 70 mm (the long end), "
              "17 % between; 1 without a focal length");
    EXPECT_EQ(LensUseSentence("EF50mm f/1.8", uses.at("EF50mm f/1.8")), "EF50mm f/1.8: 1 photo");
}

}  // namespace
}  // namespace quorvela::analysis
