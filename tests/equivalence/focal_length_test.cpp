#include "equivalence/focal_length.h"

#include <gtest/gtest.h>

#include <optional>

#include "common/number_format.h"
#include "exif_writer.h"
#include "metadata/img_data.h"

namespace quorvela::equivalence {
namespace {

using samples::Ifd;
using samples::Jpeg;
using samples::Tiff;

TEST(FixDecimalSeparator, BothPointsBecomeTheSeparator) {
    EXPECT_EQ(FixDecimalSeparator("8,2", '.'), "8.2");
    EXPECT_EQ(FixDecimalSeparator("8.2", ','), "8,2");
    EXPECT_EQ(FixDecimalSeparator("1.2,3 mm", ','), "1,2,3 mm");
}

TEST(ParseDecimal, AcceptsEitherPointAndRejectsTheRest) {
    struct Case {
        const char* text;
        char separator;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"5,4", '.', 5.4}, {"5.4", ',', 5.4}, {" 38 ", '.', 38.0}, {"0", '.', 0.0},
        {"", '.', {}},     {"abc", '.', {}},  {"5.4.1", '.', {}},  {"inf", '.', {}},
        {"nan", '.', {}},  {"1e3", '.', {}},  {"38mm", '.', {}},   {".5", ',', 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseDecimal(c.text, c.separator), c.value);
    }
}

TEST(LengthText, FourSignificantDigitsOrTwoDecimalsWhicheverIsCoarser) {
    struct Case {
        double value;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {32.902439, ',', "32,90"}, {123.456, ',', "123,50"},  {5.04878, ',', "5,05"},  {7.1, '.', "7.10"},
        {0.0, '.', "0.00"},        {1234.56, '.', "1235.00"}, {99.999, '.', "100.00"}, {12346.0, '.', "12350.00"},
        {0.123456, '.', "0.12"},   {999.96, '.', "1000.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(LengthText(c.value, c.separator), c.text);
    }
}

TEST(IsZeroLengthText, StoredAndDerivedZeros) {
    EXPECT_TRUE(common::IsZeroLengthText(" 0.00"));
    EXPECT_TRUE(common::IsZeroLengthText(" 0,00"));
    EXPECT_TRUE(common::IsZeroLengthText(" 0.00 mm"));
    EXPECT_FALSE(common::IsZeroLengthText("52.00 mm"));
    EXPECT_FALSE(common::IsZeroLengthText(" 0.50"));
    EXPECT_FALSE(common::IsZeroLengthText(""));
    EXPECT_FALSE(common::IsZeroLengthText("mm"));
}

TEST(EquivalentfromDataBase, MatchingRules) {
    const EquivalentList list{
        "[MAKE]Canon[MODEL]CanonPowerShotA70[REAL_LENS]5,4[35MM_EQUIVALENT]35",
        "[MAKE]Nikon Corporation[MODEL]E990[REAL_LENS]8.2[35MM_EQUIVALENT]38",
    };
    struct Case {
        const char* focal;
        const char* make;
        const char* model;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {" 5,40 mm", "Canon Inc.", "Canon PowerShot A70", ',', "35,00"},  // make as a substring, case ignored
        {" 5.40 mm", "CANON", "Canon PowerShot A70", '.', "35.00"},       // "5,4" read under either locale
        {" 5.40 mm", "Canon", "CanonPowerShotA70", '.', "35.00"},         // file model without spaces
        {" 5.40 mm", "Canon", "Canon PowerShot A70 IS", '.', ""},         // model must match whole
        {" 8.20 mm", "Nikon", "E990", '.', ""},                           // table make longer than the file's
        {" 8.20 mm", "NIKON CORPORATION", "E990", '.', "38.00"},
        {" 7.10 mm", "NIKON CORPORATION", "E990", '.', "32.90"},  // 7.1 x 38 / 8.2 = 32.902439
        {"mm", "Canon", "Canon PowerShot A70", '.', ""},          // no focal digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.make) + " " + c.model + " " + c.focal);
        EXPECT_EQ(EquivalentfromDataBase(c.focal, c.make, c.model, list, c.separator), c.expected);
    }
}

TEST(EquivalentfromDataBase, LastUsableMatchingEntryWins) {
    const std::string a = "[MAKE]Canon[MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]35";
    const std::string b = "[MAKE]Canon[MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]70";
    const std::string zero = "[MAKE]Canon[MODEL]G2[REAL_LENS]0[35MM_EQUIVALENT]70";
    const std::string text = "[MAKE]Canon[MODEL]G2[REAL_LENS]seven[35MM_EQUIVALENT]70";
    const std::string noMake = "[MAKE][MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]14";
    EXPECT_EQ(EquivalentfromDataBase(" 7.00 mm", "Canon", "G2", {a, b}, '.'), "70.00");
    EXPECT_EQ(EquivalentfromDataBase(" 7.00 mm", "Canon", "G2", {a, zero}, '.'), "35.00");
    EXPECT_EQ(EquivalentfromDataBase(" 7.00 mm", "Canon", "G2", {a, text}, '.'), "35.00");
    EXPECT_EQ(EquivalentfromDataBase(" 7.00 mm", "Canon", "G2", {noMake}, '.'), "");
    const std::string negative = "[MAKE]Canon[MODEL]G2[REAL_LENS]7[35MM_EQUIVALENT]-70";
    EXPECT_EQ(EquivalentfromDataBase(" 7.00 mm", "Canon", "G2", {a, negative}, '.'), "35.00");
    const std::string negativeZero = "[MAKE]Canon[MODEL]G2[REAL_LENS]-7[35MM_EQUIVALENT]0";
    EXPECT_EQ(EquivalentfromDataBase(" 7.00 mm", "Canon", "G2", {a, negativeZero}, '.'), "0.00");
}

TEST(CalculateFromFactor, FactorAndFallbacks) {
    struct Case {
        const char* focal;
        const char* edit1;
        const char* edit2;
        char separator;
        const char* expected;
    };
    // A zero from a negative factor is the zero that means none ("0.00"), not "-0.00".
    const Case cases[] = {
        {" 7,10 mm", "8,2", "38", ',', "32,90"}, {" 7.10 mm", "8,2", "38", '.', "32.90"},
        {" 7.10 mm", "1", "1,6", '.', "11.36"},  {" 7.10 mm", "1", "1", '.', "7.10"},
        {" 7.10 mm", "", "38", '.', "7.10"},     {" 7.10 mm", "0", "38", '.', "7.10"},
        {" 7.10 mm", "8,2", "x", '.', "7.10"},   {"", "8,2", "38", '.', ""},
        {" 7.10 mm", "-1", "38", '.', "7.10"},   {" 7.10 mm", "-1", "0", '.', "0.00"},
        {" 0.00 mm", "-8", "38", '.', "0.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.focal) + " " + c.edit1 + "=" + c.edit2);
        EXPECT_EQ(CalculateFromFactor(c.focal, c.edit1, c.edit2, c.separator), c.expected);
    }
}

// A photo with the given focal tags; `stored35` 0xFFFF leaves the 35mm tag out.
std::vector<std::uint8_t> Photo(std::pair<std::uint32_t, std::uint32_t> focal, int stored35,
                                const char* model = "Canon PowerShot G2") {
    Tiff tiff;
    Ifd exif(false);
    if (focal.second != 0) exif.Rational(0x920A, {focal});
    if (stored35 >= 0) exif.Short(0xA405, {static_cast<std::uint16_t>(stored35)});
    tiff.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, model).Link(0x8769, exif);
    return Jpeg().Soi().Exif(tiff).Sos().Eoi().Build();
}

std::string Lens(const std::vector<std::uint8_t>& bytes, const LensSettings& lens, char separator = '.') {
    metadata::TimgData reader(true, separator);
    reader.ReadJpegBytes("photo.jpg", bytes);
    const EquivalentList table{"[MAKE]canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]35"};
    return Get35mmLens(reader, lens, table);
}

TEST(Get35mmLens, ModesAndSources) {
    const LensSettings equivalent{"8,2", "38", false, false};
    const LensSettings calculate{"8,2", "38", false, true};
    const LensSettings real{"8,2", "38", true, false};
    const LensSettings realAndCalculate{"8,2", "38", true, true};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> photo;
        LensSettings lens;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {"own 35mm value wins over the table", Photo({7, 1}, 52), equivalent, '.', "52.00 mm"},
        {"own value in the reader's separator", Photo({7, 1}, 52), equivalent, ',', "52,00 mm"},
        {"table when no 35mm value", Photo({14, 1}, -1), equivalent, '.', "70.00"},
        {"stored zero counts as absent", Photo({14, 1}, 0), equivalent, '.', "70.00"},
        {"manual factor without table entry", Photo({71, 10}, -1, "Other"), equivalent, ',', "32,90"},
        {"stored zero falls through to the factor", Photo({71, 10}, 0, "Other"), equivalent, '.', "32.90"},
        {"calculate ignores tag and table", Photo({71, 10}, 52), calculate, '.', "32.90"},
        {"real length", Photo({71, 10}, 52), real, ',', "7,10"},
        {"real length beats always-calculate", Photo({71, 10}, 52), realAndCalculate, '.', "7.10"},
        {"no focal length and no 35mm value", Photo({0, 0}, -1), equivalent, '.', ""},
        {"no focal length but an own 35mm value", Photo({0, 0}, 40), equivalent, '.', "40.00 mm"},
        {"no focal length in real-length mode", Photo({0, 0}, 40), real, '.', ""},
        {"focal length 0 is unknown, not 0 mm", Photo({0, 1}, -1, "Other"), equivalent, '.', ""},
        {"focal length 0 in real-length mode", Photo({0, 1}, -1), real, '.', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Lens(c.photo, c.lens, c.separator), c.expected);
    }
}

TEST(Get35mmLens, FileWithoutExifGivesNothing) {
    metadata::TimgData reader;
    reader.ReadJpegBytes("photo.jpg", Jpeg().Soi().Comment("no exif").Sos().Eoi().Build());
    EXPECT_EQ(Get35mmLens(reader, {}, {}), "");
}

}  // namespace
}  // namespace quorvela::equivalence
