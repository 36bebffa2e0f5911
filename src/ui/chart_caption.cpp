#include "ui/chart_caption.h"

#include <string>
#include <utility>
#include <vector>

#include "common/code_page.h"
#include "common/number_format.h"

namespace quorvela::ui {

namespace {

constexpr std::string_view kJoin = " \u00b7 ";

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!text.empty()) text.append(separator);
        text.append(part);
    }
    return text;
}

// "period 2024-01-01 to 2024-06-30", "from 2024-01-01", "up to 2024-06-30"; empty for none.
std::string PeriodWords(const analysis::FilterFields& filter) {
    if (filter.PeriodFrom.empty() && filter.PeriodTo.empty()) return {};
    std::string text("period ");
    if (filter.PeriodTo.empty()) return text.append("from ").append(filter.PeriodFrom);
    if (filter.PeriodFrom.empty()) return text.append("up to ").append(filter.PeriodTo);
    return text.append(filter.PeriodFrom).append(" to ").append(filter.PeriodTo);
}

std::string Field(std::string_view name, const std::string& value) {
    if (value.empty()) return {};
    std::string text(name);
    return text.append(" ").append(common::Cp1252ToUtf8(value));
}

}  // namespace

std::string FilterWords(const analysis::AnalysisSettings& settings) {
    if (!settings.FilterOn) return {};
    const analysis::FilterFields& f = settings.Filter;
    std::string makerNote;
    if (!f.MakerNoteLabel.empty() && !f.MakerNoteData.empty()) {
        makerNote = Field("maker note", f.MakerNoteLabel).append(" = ").append(common::Cp1252ToUtf8(f.MakerNoteData));
    }
    std::string stars;
    if (f.MinRating > 0)
        stars.append("at least ").append(std::to_string(f.MinRating)).append(f.MinRating == 1 ? " star" : " stars");
    std::string label;
    if (!f.Label.empty()) label.append("label ").append(f.Label);  // UTF-8 already, as XMP gives it
    return Joined(
        {Field("make", f.Make), Field("model", f.Model), std::move(makerNote), Field("lens", f.Lens), PeriodWords(f),
         std::move(stars), f.NoRejected && f.MinRating == 0 ? "no rejected photos" : "", std::move(label)},
        ", ");
}

std::string ChartCaption(const analysis::AnalysisSettings& settings, int photos, std::string_view coverage,
                         std::string_view day) {
    std::string count = common::GroupThousands(photos);
    count.append(photos == 1 ? " photo" : " photos");
    std::string filter = FilterWords(settings);
    filter.insert(0, filter.empty() ? "no filter" : "filter: ");
    return Joined({settings.RootFolder, settings.Lens.RealLength ? "real length" : "35 mm equivalent",
                   std::move(filter), std::string(coverage), std::move(count), std::string(day)},
                  kJoin);
}

}  // namespace quorvela::ui
