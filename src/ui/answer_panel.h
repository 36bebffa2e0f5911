#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysis_settings.h"
#include "analysis/photo_record.h"
#include "common/quantity.h"
#include "library/collation.h"
#include "ui/control_rules.h"
#include "ui/coverage_field.h"
#include "ui/photo_answers.h"
#include "ui/window_layout.h"

namespace quorvela::viewer {
class PathListViewer;
}

namespace quorvela::ui {

class ChartPanel;

// The answers the window gives from a run's photos without another run: which photos stand
// behind a bar (the path list narrowed to them, under a heading with "Show all"), and how much
// of the photos a focal-length range covers (a band on the focal-length chart and a sentence
// under it, following the range as it is typed).
class AnswerPanel final : public QObject {
  public:
    AnswerPanel(const WindowWidgets& widgets, ChartPanel& charts, const library::Collation& order);

    void SetPathListViewer(viewer::PathListViewer* viewer) { viewer_ = viewer; }

    // A run is about to start with these settings; its photos' lines are made with them.
    void RunStarting(const analysis::AnalysisSettings& settings) { pending_ = settings; }
    // The run has opened its folder: the earlier run's photos and categories go.
    void Clear();
    // The category of the next point of chart `index`, in the order the points arrive.
    void AddCategory(Quantity quantity, std::string category);
    // The category of each point of chart `quantity`, when its points were laid out anew (an
    // empty category for an empty slot).
    void SetCategories(Quantity quantity, std::vector<std::string> categories);
    [[nodiscard]] const std::vector<std::string>& Categories(Quantity quantity) const { return categories_[quantity]; }
    // The settings of the run whose photos these are.
    [[nodiscard]] const analysis::AnalysisSettings& RunSettings() const { return settings_; }
    // The run's photos, when it kept them.
    void SetPhotos(std::vector<analysis::PhotoRecord> photos);
    [[nodiscard]] const std::vector<analysis::PhotoRecord>& Photos() const { return photos_; }

    // The path list with only the photos of point `point` of chart `index`, on its tab, the first
    // photo shown; false when the run kept no photos for it.
    bool ShowPointPhotos(Quantity quantity, int point);
    // The band and sentence for the range typed now.
    void ApplyCoverage();

  private:
    // What the band's bars hold and count, with steps on in the last run; none without steps.
    [[nodiscard]] std::optional<ShadedBars> ShadedBarsOf(const std::vector<std::pair<std::string, double>>& points,
                                                         const std::optional<PointRun>& run) const;

    const WindowWidgets& w_;
    ChartPanel& charts_;
    const library::Collation& order_;
    viewer::PathListViewer* viewer_ = nullptr;
    analysis::AnalysisSettings pending_;
    analysis::AnalysisSettings settings_;
    PerQuantity<std::vector<std::string>> categories_;
    std::vector<analysis::PhotoRecord> photos_;
};

}  // namespace quorvela::ui
