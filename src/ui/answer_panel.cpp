#include "ui/answer_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTabWidget>
#include <cmath>
#include <string>

#include "analysis/coverage.h"
#include "charts/chart_set.h"
#include "ui/chart_panel.h"
#include "ui/coverage_field.h"
#include "ui/photo_answers.h"
#include "ui/text_codec.h"
#include "viewer/path_list_viewer.h"

namespace quorvela::ui {

AnswerPanel::AnswerPanel(const WindowWidgets& widgets, ChartPanel& charts, const library::Collation& order)
    : w_(widgets), charts_(charts), order_(order) {
    connect(w_.coverageEdit, &QLineEdit::textChanged, this, [this] { ApplyCoverage(); });
}

void AnswerPanel::Clear() {
    settings_ = pending_;
    for (auto& categories : categories_) categories.clear();
    photos_.clear();
    ApplyCoverage();
}

void AnswerPanel::AddCategory(Quantity quantity, std::string category) {
    categories_[quantity].push_back(std::move(category));
}

void AnswerPanel::SetCategories(Quantity quantity, std::vector<std::string> categories) {
    categories_[quantity] = std::move(categories);
}

void AnswerPanel::SetPhotos(std::vector<analysis::PhotoRecord> photos) {
    photos_ = std::move(photos);
    ApplyCoverage();
}

bool AnswerPanel::ShowPointPhotos(Quantity quantity, int point) {
    const std::vector<std::string>& categories = categories_[quantity];
    if (viewer_ == nullptr || photos_.empty() || point < 0 || static_cast<std::size_t>(point) >= categories.size() ||
        categories[static_cast<std::size_t>(point)].empty()) {
        return false;
    }
    const std::vector<std::size_t> chosen =
        PhotosInCategory(photos_, quantity, categories[static_cast<std::size_t>(point)]);
    std::vector<std::string> lines;
    std::vector<std::string> paths;
    for (const std::size_t i : chosen) {
        lines.push_back(analysis::LineFor(photos_[i], quantity, settings_));
        paths.push_back(photos_[i].Path);
    }
    // In the list's own order: the lines of one bar differ by their paths.
    const std::vector<std::size_t> order = order_.SortOrder(lines);
    library::ApplyOrder(order, lines);
    library::ApplyOrder(order, paths);
    QStringList shown;
    for (const std::string& line : lines) shown << FromUtf8(line);
    const std::string label = charts_.Charts().ShownBy(quantity).Points.at(static_cast<std::size_t>(point)).first;
    w_.tabs->setCurrentWidget(w_.pathListTab);
    viewer_->ShowOnly(FromUtf8(BarPhotosHeading(quantity, label, lines.size())), shown, std::move(paths));
    return true;
}

void AnswerPanel::ApplyCoverage() {
    const CoverageField field = ReadCoverageField(ToUtf8(w_.coverageEdit->text()));
    charts::ChartSet& charts = charts_.Charts();
    QString sentence = FromUtf8(field.Problem);
    std::optional<charts::ChartSet::Span> band;
    if (field.Range) {
        const auto& points = charts.ShownBy(Quantity::FocalLength).Points;
        std::vector<std::string> labels;
        labels.reserve(points.size());
        for (const auto& point : points) labels.push_back(point.first);
        const std::optional<PointRun> run = CoveredPoints(labels, *field.Range);
        if (run) band = {{run->First, run->Last}};
        if (!photos_.empty()) {
            std::vector<std::int64_t> lengths;
            lengths.reserve(photos_.size());
            for (const analysis::PhotoRecord& photo : photos_) lengths.push_back(photo.FocalMm);
            sentence = FromUtf8(CoverageWords(*field.Range, analysis::CountCoverage(*field.Range, lengths),
                                              settings_.Lens.RealLength, ShadedBarsOf(points, run)));
        }
    }
    charts.Shade(Quantity::FocalLength, band);
    w_.coverageText->setText(sentence);
    w_.overviewCoverageText->setText(sentence);
}

std::optional<ShadedBars> AnswerPanel::ShadedBarsOf(const std::vector<std::pair<std::string, double>>& points,
                                                    const std::optional<PointRun>& run) const {
    if (!run || !settings_.UseSteps) return std::nullopt;
    ShadedBars bars;
    bars.StepSize = settings_.StepSize;
    for (int i = run->First; i <= run->Last; ++i) {
        const auto& [label, value] = points.at(static_cast<std::size_t>(i));
        if (std::isnan(value)) continue;
        const LengthSpan span = StepSpan(std::stoll(label), settings_.StepSize, settings_.IgnoreUpTo);
        bars.Lengths = bars.Bars == 0 ? span : LengthSpan{bars.Lengths.From, span.To};
        bars.Photos += static_cast<int>(value);
        ++bars.Bars;
    }
    return bars;
}

}  // namespace quorvela::ui
