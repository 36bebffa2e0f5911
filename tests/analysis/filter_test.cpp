#include "analysis/filter.h"

#include <gtest/gtest.h>

#include "analysis/lens_label.h"
#include "photo.h"

namespace quorvela::analysis {
namespace {

using test::PhotoBytes;

// The filter's verdict on the facts of a file `reader` has read.
bool Passes(metadata::TimgData& reader, const FilterFields& fields) {
    const library::PhotoFacts facts = library::FactsOf(reader, true);
    return PassesFilter(facts, fields, LabelLens(facts, NoLensCatalogue()).Text) == FilterVerdict::Passed;
}

TEST(CheckFilterFields, OnlyAHalfFilledMakerNotePairIsRefused) {
    struct Case {
        FilterFields fields;
        bool passes;
    };
    const Case cases[] = {
        {{"", "", "", ""}, true},        {{"Canon", "", "", ""}, true},          {{"", "", "record", "fine"}, true},
        {{"", "", "record", ""}, false}, {{"Canon", "300D", "", "fine"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields.Make + "|" + c.fields.Model + "|" + c.fields.MakerNoteLabel + "|" +
                     c.fields.MakerNoteData);
        EXPECT_EQ(CheckFilterFields(c.fields), c.passes);
    }
}

struct FilterCase {
    const char* name;
    const char* make;                                        // nullptr: no Make tag
    const char* model;                                       // nullptr: no Model tag
    std::vector<std::pair<std::string, std::string>> notes;  // decoded maker note when not empty
    FilterFields fields;
    bool passes;
};

TEST(PassesFilter, CameraAndMakerNoteTests) {
    const std::vector<std::pair<std::string, std::string>> notes{{"Record Mode", "Normal"}, {"Quality", "Fine"}};
    const FilterCase cases[] = {
        {"make substring, case ignored", "Canon", "Canon EOS 300D DIGITAL", {}, {"canon", "", "", ""}, true},
        {"other make", "NIKON CORPORATION", "NIKON D70", {}, {"canon", "", "", ""}, false},
        {"make and model", "Canon", "Canon EOS 300D DIGITAL", {}, {"Canon", "300D", "", ""}, true},
        {"make and other model", "Canon", "Canon EOS 20D", {}, {"Canon", "300D", "", ""}, false},
        {"model alone", "NIKON CORPORATION", "NIKON D70s", {}, {"", "D70", "", ""}, true},
        {"model filter, no Model tag", "NIKON CORPORATION", nullptr, {}, {"", "D70", "", ""}, false},
        {"label and data in one entry", "X", "Y", notes, {"", "", "record", "norm"}, true},
        {"label and data in different entries", "X", "Y", notes, {"", "", "record", "fine"}, false},
        {"maker note not decoded", "X", "Y", {}, {"", "", "record", "normal"}, false},
        {"maker note and camera", "X", "Y", notes, {"x", "", "quality", "fine"}, true},
        {"maker note passes, camera fails", "X", "Y", notes, {"Z", "", "quality", "fine"}, false},
        {"all fields empty", nullptr, nullptr, {}, {"", "", "", ""}, true},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::PhotoTags tags;
        if (c.make) tags.Make = c.make;
        if (c.model) tags.Model = c.model;
        tags.FNumber = test::Fraction{28, 10};
        metadata::TimgData reader;
        reader.ReadJpegBytes("p.jpg", PhotoBytes(tags));
        if (!c.notes.empty()) test::AddMakerNotes(reader, c.notes);
        EXPECT_EQ(Passes(reader, c.fields), c.passes);
    }
}

TEST(PassesFilter, UnreadableFileFailsEveryTestWithText) {
    metadata::TimgData reader;
    reader.ReadJpegBytes("p.jpg", samples::Jpeg().Soi().Comment("no exif").Sos().Eoi().Build());
    EXPECT_FALSE(Passes(reader, {"a", "", "", ""}));
    EXPECT_FALSE(Passes(reader, {"", "", "a", "b"}));
    EXPECT_TRUE(Passes(reader, {}));
}

TEST(FilterSummaryText, OneLineForEachFieldThatTakesPart) {
    const std::string head =
        "Filtering selected, 2 files out of a total of 5 files are a match for the filter strings.";
    const std::pair<FilterFields, std::string> cases[] = {
        {{"Canon", "", "record", "fine"}, "\nMake: Canon\nMaker note: record = fine"},
        {{.Model = "D70", .Lens = "18-70", .MinRating = 1, .NoRejected = true},
         "\nModel: D70\nLens: 18-70\nRating: at least 1 star"},
        {{.NoRejected = true, .Label = "Gr\xC3\xBCn"}, "\nRejected photos left out\nLabel: Gr\xFCn"},
        {{.PeriodFrom = "2026-06-01"}, "\nPeriod: from 2026-06-01; 3 photos without a date left out"},
    };
    for (const auto& [fields, lines] : cases) EXPECT_EQ(FilterSummaryText(2, 5, fields, 3), head + lines);
}

}  // namespace
}  // namespace quorvela::analysis
