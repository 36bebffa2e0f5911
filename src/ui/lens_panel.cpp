#include "ui/lens_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <algorithm>
#include <iterator>
#include <string>

#include "charts/chart_set.h"
#include "ui/answer_panel.h"
#include "ui/chart_panel.h"
#include "ui/photo_answers.h"
#include "ui/text_codec.h"

namespace quorvela::ui {

namespace {

constexpr const char* kLensPhotosPending =
    "The focal lengths of a lens are known once a run has read its photos: analyse the folder.";

// The title of the lens's focal lengths, in the run's mode as the focal-length chart counts them.
std::string FocalTitle(const analysis::AnalysisSettings& run) {
    return run.Lens.RealLength ? "focal length (mm)" : "focal length, 35 mm equivalent (mm)";
}

}  // namespace

LensPanel::LensPanel(const WindowWidgets& widgets, ChartPanel& charts, AnswerPanel& answers)
    : w_(widgets), charts_(charts), answers_(answers) {
    w_.lensFocalHost->layout()->addWidget(charts_.Charts().LensFocalWidget());
    connect(w_.unnamedLensesCheck, &QCheckBox::toggled, this, [this] { Refill(); });
    ShowSelected();
}

void LensPanel::Clear() {
    rows_.clear();
    selected_.reset();
    Refill();
}

void LensPanel::AddRow(const CategoryCount& row) {
    rows_.push_back(row);
    Refill();
}

void LensPanel::PhotosChanged() {
    ShowSelected();
}

void LensPanel::LensSelected(int point) {
    if (refilling_) return;
    selected_.reset();
    if (point >= 0 && static_cast<std::size_t>(point) < bars_.size())
        selected_ = bars_[static_cast<std::size_t>(point)];
    ShowSelected();
}

void LensPanel::Refill() {
    std::vector<std::string> categories;
    categories.reserve(rows_.size());
    for (const CategoryCount& row : rows_) categories.push_back(row.Category);
    bars_ = LensBars(categories, w_.unnamedLensesCheck->isChecked());

    refilling_ = true;
    charts::ChartSet& charts = charts_.Charts();
    charts.Clear(Quantity::Lens);
    std::vector<std::string> shown;  // the category of each point, as the path list asks for it
    shown.reserve(bars_.size());
    for (const std::optional<std::size_t>& bar : bars_) {
        if (bar) {
            const CategoryCount& row = rows_[*bar];
            charts.AddPoint(Quantity::Lens, row.Label, row.Count, row.Estimated);
            shown.push_back(row.Category);
        } else {
            charts.AddGap(Quantity::Lens);
            shown.emplace_back();
        }
    }
    answers_.SetCategories(Quantity::Lens, std::move(shown));
    // A lens left out takes its selection with it.
    const auto at = selected_ ? std::find(bars_.begin(), bars_.end(), selected_) : bars_.end();
    if (at == bars_.end()) selected_.reset();
    charts.SelectPoint(Quantity::Lens, at == bars_.end() ? -1 : static_cast<int>(std::distance(bars_.begin(), at)));
    refilling_ = false;
    ShowSelected();
}

void LensPanel::ShowSelected() {
    charts::ChartSet& charts = charts_.Charts();
    const std::vector<analysis::PhotoRecord>& photos = answers_.Photos();
    const std::string title = FocalTitle(answers_.RunSettings());
    if (!selected_ || photos.empty()) {
        charts.FillLensFocal(title, {});
        w_.lensUseText->setText(selected_ ? kLensPhotosPending : kLensFocalHint);
        return;
    }
    const CategoryCount& lens = rows_[*selected_];
    const std::vector<std::size_t> chosen = PhotosInCategory(photos, Quantity::Lens, lens.Category);
    std::vector<std::string> labels;
    for (const auto& point : charts.ShownBy(Quantity::FocalLength).Points) labels.push_back(point.first);
    charts.FillLensFocal(
        title, BarsOfPhotos(photos, chosen, Quantity::FocalLength, answers_.Categories(Quantity::FocalLength), labels));
    w_.lensUseText->setText(FromUtf8(LensUseText(photos, chosen, lens.Label)));
}

}  // namespace quorvela::ui
