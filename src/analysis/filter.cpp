#include "filter.h"

#include <algorithm>

#include "common/ascii.h"
#include "common/code_page.h"
#include "dates.h"

namespace quorvela::analysis {

using common::UpperAscii;

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return UpperAscii(text).find(UpperAscii(part)) != std::string::npos;
}

}  // namespace

bool HasPeriod(const FilterFields& fields) {
    return !fields.PeriodFrom.empty() || !fields.PeriodTo.empty();
}

bool PeriodUsable(const FilterFields& fields) {
    const auto from = fields.PeriodFrom.empty() ? std::optional<CalendarDay>() : ParseDay(fields.PeriodFrom);
    const auto to = fields.PeriodTo.empty() ? std::optional<CalendarDay>() : ParseDay(fields.PeriodTo);
    if ((!fields.PeriodFrom.empty() && !from) || (!fields.PeriodTo.empty() && !to)) return false;
    return !from || !to || from->Number() <= to->Number();
}

std::string_view PeriodProblem(const FilterFields& fields) {
    const bool bothDays = ParseDay(fields.PeriodFrom) && ParseDay(fields.PeriodTo);
    return bothDays && !PeriodUsable(fields) ? kPeriodReversed : kPeriodRefused;
}

bool CheckFilterFields(const FilterFields& fields) {
    return fields.MakerNoteLabel.empty() == fields.MakerNoteData.empty() && PeriodUsable(fields);
}

FilterVerdict PassesFilter(const library::PhotoFacts& facts, const FilterFields& fields, std::string_view lensLabel) {
    if (!fields.MakerNoteLabel.empty() && !fields.MakerNoteData.empty()) {
        // Label and data must meet in the same entry.
        const bool found =
            facts.HasExif && facts.MakerNoteDecoded &&
            std::any_of(facts.MakerNotePairs.begin(), facts.MakerNotePairs.end(), [&](const auto& pair) {
                return Contains(pair.first, fields.MakerNoteLabel) && Contains(pair.second, fields.MakerNoteData);
            });
        if (!found) return FilterVerdict::Failed;
    }
    if (!fields.Make.empty() || !fields.Model.empty()) {
        if (!facts.HasExif) return FilterVerdict::Failed;
        if (!fields.Make.empty() && !Contains(facts.Make, fields.Make)) return FilterVerdict::Failed;
        if (!fields.Model.empty() && !Contains(facts.Model, fields.Model)) return FilterVerdict::Failed;
    }
    if (!fields.Lens.empty() && !Contains(lensLabel, fields.Lens)) return FilterVerdict::Failed;
    if (fields.MinRating > 0 && facts.Rating < fields.MinRating) return FilterVerdict::Failed;
    if (fields.NoRejected && facts.Rating == kRejected) return FilterVerdict::Failed;
    if (!fields.Label.empty() && !Contains(facts.Label, fields.Label)) return FilterVerdict::Failed;
    if (!HasPeriod(fields)) return FilterVerdict::Passed;
    const auto taken = ParseExifDay(facts.DateTaken);
    if (!taken) return FilterVerdict::Undated;
    // A bound that does not parse was refused before the run; here it takes no part.
    const auto from = ParseDay(fields.PeriodFrom);
    const auto to = ParseDay(fields.PeriodTo);
    if (from && taken->Number() < from->Number()) return FilterVerdict::Failed;
    if (to && taken->Number() > to->Number()) return FilterVerdict::Failed;
    return FilterVerdict::Passed;
}

namespace {

std::string PeriodText(const FilterFields& fields) {
    if (fields.PeriodTo.empty()) return "from " + fields.PeriodFrom;
    if (fields.PeriodFrom.empty()) return "up to " + fields.PeriodTo;
    return fields.PeriodFrom + " to " + fields.PeriodTo;
}

}  // namespace

std::string FilterSummaryText(int filesAnalysed, int filesFound, const FilterFields& fields, int undated) {
    std::string text = "Filtering selected, ";
    text.append(std::to_string(filesAnalysed))
        .append(" files out of a total of ")
        .append(std::to_string(filesFound))
        .append(" files are a match for the filter strings.");
    // One line for each field that takes part, none for the empty ones.
    const auto line = [&text](std::string_view name, std::string_view value) {
        text.append("\n").append(name).append(value);
    };
    if (!fields.Make.empty()) line("Make: ", fields.Make);
    if (!fields.Model.empty()) line("Model: ", fields.Model);
    if (!fields.MakerNoteLabel.empty() && !fields.MakerNoteData.empty()) {
        line("Maker note: ", fields.MakerNoteLabel + " = " + fields.MakerNoteData);
    }
    if (!fields.Lens.empty()) line("Lens: ", fields.Lens);
    if (fields.MinRating > 0) {
        line("Rating: at least ", std::to_string(fields.MinRating) + (fields.MinRating == 1 ? " star" : " stars"));
    }
    if (fields.NoRejected && fields.MinRating == 0) line("Rejected photos left out", "");
    // The text is made in the code page of the metadata; the label is UTF-8, as XMP is.
    if (!fields.Label.empty()) line("Label: ", common::Utf8ToCp1252(fields.Label));
    if (HasPeriod(fields)) {
        line("Period: ", PeriodText(fields) + "; " + std::to_string(undated) + (undated == 1 ? " photo" : " photos") +
                             " without a date left out");
    }
    return text;
}

}  // namespace quorvela::analysis
