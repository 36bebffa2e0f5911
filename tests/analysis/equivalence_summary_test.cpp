#include "analysis/equivalence_summary.h"

#include <gtest/gtest.h>

#include "analysis/file_result.h"
#include "library/photo_facts.h"
#include "photo.h"

namespace quorvela::analysis {
namespace {

using equivalence::EquivalentSource;

TEST(EstimateStatusText, NamesTheCamerasMostPhotosFirst) {
    const auto text = [](std::vector<std::tuple<std::string, std::string, EquivalentSource>> photos) {
        EquivalenceCounter counter(true);
        for (const auto& [make, model, source] : photos) counter.Add(source, make, model);
        return EstimateStatusText(counter.Summary());
    };
    const auto manual = EquivalentSource::Manual;
    EXPECT_EQ(text({{"Canon", "Canon EOS 7D", EquivalentSource::Sensor}}), "");
    EXPECT_EQ(text({{"OLYMPUS IMAGING CORP.", "E-P3", manual}}),
              "1 photo estimated with the manual factor: OLYMPUS E-P3 \u2014 set its crop factor");
    EXPECT_EQ(
        text({{"Canon", "Canon PowerShot G9", manual},
              {"SANYO Electric Co.,Ltd.", "SR662", manual},
              {"SANYO Electric Co.,Ltd.", "SR662", manual},
              {"Nikon", "", manual}}),
        "4 photos estimated with the manual factor: SANYO SR662 and 2 other cameras \u2014 set their crop factor");
}

TEST(EquivalenceCounter, CountsAddUpAndOnlyTheEquivalentModeEstimates) {
    EquivalenceCounter estimates(true);
    EquivalenceCounter chosen(false);  // calculate or real-length mode: the factor is the user's choice
    for (EquivalenceCounter* counter : {&estimates, &chosen}) {
        counter->Add(EquivalentSource::Stored, "A", "1");
        counter->Add(EquivalentSource::Table, "A", "1");
        counter->Add(EquivalentSource::Sensor, "A", "1");
        counter->Add(EquivalentSource::Manual, "B", "2");
        counter->Add(EquivalentSource::Manual, "B", "2");
    }
    const EquivalenceSummary a = estimates.Summary();
    EXPECT_EQ(std::vector<int>({a.Stored, a.Table, a.Sensor, a.Manual}), std::vector<int>({1, 1, 1, 2}));
    ASSERT_EQ(a.ManualCameras.size(), 1U);
    EXPECT_EQ(a.ManualCameras[0].Photos, 2);
    EXPECT_EQ(chosen.Summary().Manual, 2);
    EXPECT_TRUE(chosen.Summary().ManualCameras.empty());
}

TEST(DeriveResult, AGuessIsMarkedOnlyInTheEquivalentMode) {
    const equivalence::EquivalentList table;
    const test::NoCameras cameras;
    const Derivation derivation{table, cameras, NoLensCatalogue(), '.'};
    library::PhotoFacts facts;
    facts.HasExif = true;
    facts.Make = "Nowhere ";
    facts.Model = "N1";
    facts.FocalLength = "7.1 mm";
    AnalysisSettings settings;
    FileResult guessed = DeriveResult(facts, "/p.jpg", settings, derivation);
    EXPECT_TRUE(guessed.Estimated);
    EXPECT_EQ(guessed.Make, "Nowhere");
    EXPECT_EQ(guessed.Source, EquivalentSource::Manual);

    facts.PlaneCrop = 4.5;  // the focal plane knows the sensor
    const FileResult derived = DeriveResult(facts, "/p.jpg", settings, derivation);
    EXPECT_FALSE(derived.Estimated);
    EXPECT_EQ(derived.Source, EquivalentSource::Sensor);
    EXPECT_EQ(derived.FocalMm, 32);

    facts.PlaneCrop = 0.0;
    settings.Lens.AlwaysCalculate = true;
    EXPECT_FALSE(DeriveResult(facts, "/p.jpg", settings, derivation).Estimated);
}

}  // namespace
}  // namespace quorvela::analysis
