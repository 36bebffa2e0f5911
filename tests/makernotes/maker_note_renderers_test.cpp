// The renderers that maker-note rows name: their display texts and the items they add.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "metadata/image_info.h"
#include "metadata/makernotes/tables.h"

namespace quorvela::metadata {
namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

// Runs a renderer against an empty directory and returns the items it added.
struct Rendered {
    std::string text;
    Items items;
    bool multiLine = false;
};

Rendered Render(TagRenderer renderer, const std::string& value, char separator = '.') {
    TImageInfo directory(nullptr, true, separator);
    RenderContext context{separator, &directory, false};
    Rendered out;
    out.text = renderer(value, context);
    out.multiLine = context.MultiLineResult;
    for (const TTagEntry& tag : directory.Tags) {
        EXPECT_EQ(tag.Group, 1);
        EXPECT_EQ(tag.TagName, tag.Description);
        out.items.emplace_back(tag.Description, tag.Text);
    }
    return out;
}

TEST(NikonRenderers, DisplayTexts) {
    struct Case {
        TagRenderer renderer;
        const char* value;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {NikonLensType, "6", '.', "Nikon D series Lens"},
        {NikonLensType, "14", '.', "Nikon G series Lens)"},
        {NikonLensType, "2", '.', "2"},
        {NikonColorMode, "\"MODE1   \"", '.', "Mode1 (sRGB)"},
        {NikonColorMode, "\"MODE2\"", '.', "Mode 2 (Adobe RGB)"},
        {NikonColorMode, "\"MODE3a\"", '.', "Mode 3 (sRGB): higher saturation"},
        {NikonColorMode, "\"1a    \"", '.', "1a   "},
        {NikonColorMode, "\"", '.', ""},
        {NikonLensInfo, "180/10, 700/10, 35/10, 45/10", '.', "18.0-70.0(mm)  F3.5-F4.5"},
        {NikonLensInfo, "180/10, 700/10, 35/10, 45/10", ',', "18,0-70,0(mm)  F3,5-F4,5"},
        {NikonLensInfo, "50/1, 50/1, 14/10, 0/0", '.', "50.0-50.0(mm)  F1.4-F0.0"},
        {NikonLensInfo, "24/1", '.', "24.0-0.0(mm)  F0.0-F0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const Rendered r = Render(c.renderer, c.value, c.separator);
        EXPECT_EQ(r.text, c.expected);
        EXPECT_TRUE(r.items.empty());
        EXPECT_FALSE(r.multiLine);
    }
}

TEST(CanonRenderers, CameraSettingsItemsByField) {
    // Fields 0..32: length, macro 2, self-timer 10, quality 99 (not listed), flash 1, drive 1,
    // -, focus 3, -, -, size 0, easy 1, -, contrast 65535, saturation x (not a number),
    // sharpness 1, CCD ISO 17, metering 3, -, AF point 12291, exposure 1, -, -, long 672,
    // short 224, units 32, -, -, flash details 0, ..., focus mode 8.
    const std::string value =
        "66, 2, 10, 99, 1, 1, 0, 3, 0, 0, 0, 1, 0, 65535, x, 1, 17, 3, 0, 12291, 1, 0, 0, 672, 224, 32, 0, 0, 0, 0, 0, "
        "0, 8";
    const Rendered r = Render(CanonCameraSettings, value);
    const Items expected = {
        {"Macro mode", "Normal"}, {"Self Timer", " 10"},
        {"Flash Mode", "Auto"},   {"Drive Mode", "Continuous"},
        {"Focus Mode", "MF"},     {"Image Size", "Large"},
        {"Easy Shoot", "Manual"}, {"Contrast", "Low"},
        {"Saturation", "0"},      {"Sharpness", "High"},
        {"CCD ISO", "100"},       {"Metering Mode", "Evaluative"},
        {"AF Point", "Center"},   {"Exposure Mode", "Program AE"},
        {"Long focal", " 672"},   {"Short focal", " 224"},
        {"Focal Units", " 32"},   {"Flash Details", " 0"},
        {"Focus Mode", "Manual"},
    };
    EXPECT_EQ(r.items, expected);
    EXPECT_TRUE(r.multiLine);
    EXPECT_EQ(r.text.rfind("\r\nMacro mode = Normal\r\nSelf Timer =  10\r\nFlash Mode = Auto", 0), 0u);
    EXPECT_NE(r.text.find("\r\nCCD ISO = 100"), std::string::npos);
}

TEST(CanonRenderers, CcdIsoCodes) {
    const std::pair<int, const char*> cases[] = {{0, "Not used"}, {15, "auto"}, {16, "50"},      {17, "100"},
                                                 {18, "200"},     {19, "400"},  {32767, nullptr}};
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        std::string value = "34";
        for (int field = 1; field <= 16; ++field) value += ", " + std::to_string(field == 16 ? code : 0);
        const Rendered r = Render(CanonCameraSettings, value);
        const auto iso =
            std::find_if(r.items.begin(), r.items.end(), [](const auto& i) { return i.first == "CCD ISO"; });
        if (text == nullptr) {
            EXPECT_EQ(iso, r.items.end());
        } else {
            ASSERT_NE(iso, r.items.end());
            EXPECT_EQ(iso->second, text);
        }
    }
}

TEST(CanonRenderers, ShortListsYieldOnlyTheFieldsTheyHold) {
    const Rendered r = Render(CanonCameraSettings, "6, 1, 0");
    const Items expected = {{"Macro mode", "Macro"}, {"Self Timer", " 0"}};
    EXPECT_EQ(r.items, expected);
    EXPECT_TRUE(r.multiLine);
}

TEST(CanonRenderers, ShotInfoItems) {
    const std::string value = "54, 0, 0, 0, 0, 0, 0, 4, 3, 0, 8, 0, 0, 0, 0, 65504, 0, 0, 566";
    const Rendered r = Render(CanonShotInfo, value);
    const Items expected = {{"White balance", "Flourescent"}, {"Sequence Number", " 3"},
                            {"OpticalZoom Step", " 8"},       {"AF point", " 0"},
                            {"Flash bias", "-1 EV"},          {"Distance", " 566"}};
    EXPECT_EQ(r.items, expected);
}

TEST(CanonRenderers, CustomFunctionsSplitIntoFunctionAndSetting) {
    // 0x0301 Mirror Lockup 1; 0x0E01 Superimposed Display 1; 0x0909 not listed; 0x1100
    // function 17; function 0; a negative number; a field that is not a number; last field
    // 0x0F01 decoded too.
    const Rendered r = Render(CanonCustomFunctions, "18, 769, 3585, 2313, 4352, 0, -5, x, 3841");
    const Items expected = {
        {"Mirror Lockup", "Enable"}, {"Superimposed Display", "Off"}, {"Shutter Release w/o CF Card", "Disable"}};
    EXPECT_EQ(r.items, expected);
    EXPECT_TRUE(r.multiLine);
    EXPECT_EQ(r.text,
              "\r\nMirror Lockup = Enable\r\nSuperimposed Display = Off\r\nShutter Release w/o CF Card = Disable");
}

TEST(CanonRenderers, EveryAebSequenceSettingIsFound) {
    const char* const texts[] = {"0 - + / Enabled", "0 - + / Disabled", "- 0 + / Enabled", "- 0 + / Disabled"};
    for (int setting = 0; setting < 4; ++setting) {
        SCOPED_TRACE(setting);
        const Rendered r = Render(CanonCustomFunctions, "4, " + std::to_string(0x0700 + setting));
        ASSERT_EQ(r.items.size(), 1u);
        EXPECT_EQ(r.items[0], (std::pair<std::string, std::string>("AEB Sequence", texts[setting])));
    }
}

TEST(CanonRenderers, ItemsAreKeptOnlyWhenTheDirectoryCollectsTags) {
    TImageInfo directory(nullptr, false, '.');
    RenderContext context{'.', &directory, false};
    EXPECT_EQ(CanonCustomFunctions("4, 769", context), "\r\nMirror Lockup = Enable");
    EXPECT_EQ(directory.TagCount(), 0);
    RenderContext detached{'.', nullptr, false};
    EXPECT_EQ(CanonShotInfo("2, 0, 0, 0, 0, 0, 0, 1", detached), "\r\nWhite balance = Sunny");
    EXPECT_TRUE(detached.MultiLineResult);
}

}  // namespace
}  // namespace quorvela::metadata
