// A file's result comes from its facts and the run's settings alone.

#include "analysis/file_result.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "photo.h"

namespace quorvela::analysis {
namespace {

library::PhotoFacts Canon() {
    library::PhotoFacts facts;
    facts.HasExif = true;
    facts.Make = "Canon";
    facts.Model = "Canon EOS 300D DIGITAL";
    facts.FocalLength = " 7,10 mm";
    facts.FocalLength35 = "52";
    facts.Iso = "100";
    facts.FNumber = "F5,6";
    facts.ExposureTime = "1/125 sec";
    facts.Lens = "EF-S18-55mm";
    facts.DateTaken = "2024:05:01 10:00:00";
    return facts;
}

TEST(DeriveResult, FromLiteralFacts) {
    struct Case {
        const char* name;
        library::PhotoFacts facts;
        void (*adjust)(AnalysisSettings&);
        // Focal, ISO, aperture, shutter, lens categories and the path line; "-" for not passed.
        std::string expected;
    };
    const std::string mm = " - Make: Canon - Model: Canon EOS 300D DIGITAL";
    const auto none = [](AnalysisSettings&) {};
    const Case cases[] = {
        {"stored 35mm value, stepped line", Canon(), none,
         "___50|___100|__F5,6|0,008|EF-S18-55mm|___50 mm = 52 mm - /p.jpg" + mm},
        {"no steps, ISO line", Canon(),
         [](AnalysisSettings& s) {
             s.UseSteps = false;
             s.PathList = Quantity::Iso;
         },
         "___52|___100|__F5,6|0,008|EF-S18-55mm|ISO _100 - /p.jpg " + mm},
        {"real length, fraction shutter, shutter line", Canon(),
         [](AnalysisSettings& s) {
             s.Lens.RealLength = true;
             s.FractionShutter = true;
             s.PathList = Quantity::Shutter;
         },
         "____7|___100|__F5,6|1/125|EF-S18-55mm|__1/125 sec - /p.jpg " + mm},
        {"maker-note ISO, no path list",
         [] {
             library::PhotoFacts f = Canon();
             f.Iso = "0";
             f.MakerNoteIso = "400";
             return f;
         }(),
         [](AnalysisSettings& s) { s.PathList = std::nullopt; }, "___50|___400|__F5,6|0,008|EF-S18-55mm|"},
        {"no EXIF: only the unknown lens", library::PhotoFacts{}, none, "||||unknown lens|"},
        {"filtered out by the make", Canon(),
         [](AnalysisSettings& s) {
             s.FilterOn = true;
             s.Filter.Make = "nikon";
         },
         "-"},
        {"left out for want of a date",
         [] {
             library::PhotoFacts f = Canon();
             f.DateTaken.clear();
             return f;
         }(),
         [](AnalysisSettings& s) {
             s.FilterOn = true;
             s.Filter.PeriodFrom = "2020-01-01";
         },
         "- undated"},
    };
    const equivalence::EquivalentList table;
    const test::NoCameras cameras;
    for (const Case& c : cases) {
        AnalysisSettings settings;
        c.adjust(settings);
        const FileResult r = DeriveResult(c.facts, "/p.jpg", settings, {table, cameras, NoLensCatalogue(), ','});
        const std::string got =
            !r.Passed ? std::string("-") + (r.Undated ? " undated" : "")
                      : r.Focal + "|" + r.Iso + "|" + r.Aperture + "|" + r.Shutter + "|" + r.Lens + "|" + r.PathLine;
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace quorvela::analysis
