#include "ui/chart_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLayout>
#include <QLocale>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "charts/chart_set.h"

namespace quorvela::ui {

namespace {

// The names the save dialog proposes; a chart without one is named after its tab.
constexpr PerQuantity<const char*> kGraphFileNames{{"Focal_length_graph.png", "ISO_graph.png", "Aperture_graph.png",
                                                    "Shutter_graph.png", "Lens_graph.png", "Rating_graph.png"}};
static_assert(EveryQuantity(kGraphFileNames));
// The formats a chart is saved in, PNG first: it is the one every program shows.
constexpr const char* kGraphFilter = "PNG image (*.png);;SVG image (*.svg);;BMP image (*.bmp)";

// The ending the chosen filter names, "png" for one that names none.
QString SuffixOfFilter(const QString& filter) {
    const qsizetype star = filter.indexOf("(*.");
    return star < 0 ? QString("png") : filter.mid(star + 3, filter.indexOf(')', star) - star - 3);
}

// A name without an image ending gets the chosen filter's; none (a cancel) stays none.
QString WithImageSuffix(const QString& file, const QString& filter) {
    if (file.isEmpty()) return file;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == "png" || suffix == "svg" || suffix == "bmp") return file;
    return file + "." + SuffixOfFilter(filter);
}

}  // namespace

ChartPanel::ChartPanel(QWidget* window, const WindowWidgets& widgets, char decimalSeparator, AskSaveFile askSaveFile,
                       InSaveFolder inSaveFolder)
    : window_(window),
      w_(widgets),
      askSaveFile_(std::move(askSaveFile)),
      inSaveFolder_(std::move(inSaveFolder)),
      charts_(std::make_unique<charts::ChartSet>(widgets.overviewPanel)) {
    charts_->SetNumberSeparators(decimalSeparator, QLocale().groupSeparator().toStdString());
    Connect();
}

ChartPanel::~ChartPanel() = default;

void ChartPanel::Connect() {
    connect(w_.statisticsBox, &QComboBox::currentIndexChanged, this, [this] { ApplyStatistics(); });
    connect(w_.threeDCheck, &QCheckBox::toggled, this, [this] { Apply3D(); });
    connect(w_.pointsPerPageSpin, &QSpinBox::valueChanged, this, [this] { ApplyPointsPerPage(); });
    connect(w_.resetZoomsButton, &QToolButton::clicked, this, [this] { ResetOverview(); });
    for (const Quantity q : kQuantities) {
        connect(w_.fitButtons[q], &QToolButton::clicked, this, [this, q] { FitChart(q); });
        connect(w_.saveButtons[q], &QToolButton::clicked, this, [this, q] { SaveChart(q); });
    }
    charts_->OnDoubleClicked = [this](Quantity quantity) { ToggleOwnTab(quantity); };
    charts_->OnPointChosen = [this](Quantity quantity, int point) {
        if (OnPointChosen) OnPointChosen(quantity, point);
    };
    charts_->OnPointSelected = [this](Quantity quantity, int point) {
        if (OnPointSelected) OnPointSelected(quantity, point);
    };
    charts_->OnMouseMove = [this](Quantity) { MouseOverChart(); };
    charts_->OnZoomed = [this](Quantity) { ApplyResetButtons(AfterZoom(CurrentViewStates())); };
    charts_->OnZoomUndone = [this](Quantity quantity) { ZoomUndone(quantity); };
    charts_->OnScrolled = [this](Quantity) { ApplyResetButtons(AfterScroll(CurrentViewStates())); };
}

void ChartPanel::Distribute(bool toOverview) {
    charts_->AllowZoom(false);
    // The lens chart has no place on the overview: it always stands on its own tab.
    for (const Quantity q : kQuantities) {
        if (!OnOverview(q)) ToOwnTab(q);
    }
    if (toOverview && w_.tabs->currentWidget() == w_.overviewTab) {
        for (const Quantity q : kQuantities) {
            if (!OnOverview(q)) continue;
            QWidget* chart = charts_->Widget(q);
            if (chart->parentWidget() != w_.overviewTab) {
                chart->setParent(w_.overviewTab);
                chart->show();
            }
            chart->raise();
        }
        LayOutOverview();
        return;
    }
    for (const Quantity q : kQuantities) {
        if (OnOverview(q)) ToOwnTab(q);
    }
}

void ChartPanel::ToOwnTab(Quantity quantity) {
    QWidget* chart = charts_->Widget(quantity);
    QWidget* host = w_.chartHosts[quantity];
    if (chart->parentWidget() == host) return;
    chart->setParent(host);
    host->layout()->addWidget(chart);
    chart->show();
}

void ChartPanel::LayOutOverview() {
    const std::array<GridCell, 4> grid = OverviewGrid(w_.overviewPanel->width(), w_.overviewPanel->height());
    for (const Quantity q : kQuantities) {
        if (!OnOverview(q)) continue;
        QWidget* chart = charts_->Widget(q);
        const GridCell& cell = grid[IndexOf(q)];
        // On its own tab a chart fills its place; the grid applies when the overview shows again.
        if (chart->parentWidget() != w_.overviewTab) continue;
        chart->setGeometry(cell.Left, cell.Top, cell.Width, cell.Height);
    }
}

void ChartPanel::ToggleOwnTab(Quantity quantity) {
    QWidget* own = w_.chartTabs[quantity];
    const QSignalBlocker quiet(w_.tabs);  // a tab chosen here is not the user's choice
    if (w_.tabs->currentWidget() == own) {
        w_.tabs->setCurrentWidget(w_.overviewTab);
        Distribute(true);
    } else {
        w_.tabs->setCurrentWidget(own);
        Distribute(false);
    }
}

void ChartPanel::ShowOverview() {
    {
        const QSignalBlocker quiet(w_.tabs);
        w_.tabs->setCurrentWidget(w_.overviewTab);
    }
    Distribute(true);
}

void ChartPanel::ApplyStatistics() {
    // The box has "Statistics off" and five statistics; -1 is no entry chosen.
    const int index = w_.statisticsBox->currentIndex();
    charts_->SetStatistics(index >= -1 && index <= 5 ? static_cast<charts::Statistics>(index)
                                                     : charts::Statistics::None);
}

void ChartPanel::Apply3D() {
    charts_->Set3D(w_.threeDCheck->isChecked());
}

void ChartPanel::ApplyPointsPerPage() {
    if (const std::optional<int> wrapped = WrappedPointsPerPage(w_.pointsPerPageSpin->value())) {
        w_.pointsPerPageSpin->setValue(*wrapped);  // runs this handler for the new value first
    }
    charts_->SetPointsPerPage(std::max(w_.pointsPerPageSpin->value(), 0));
    UndoAllZooms();
}

void ChartPanel::MouseOverChart() {
    charts_->AllowZoom(true);
    w_.statusBar->showMessage(kZoomHelp);
}

ViewStates ChartPanel::CurrentViewStates() const {
    ViewStates states;
    for (const Quantity q : kQuantities) states[q] = charts_->View(q);
    return states;
}

void ChartPanel::ZoomUndone(Quantity quantity) {
    // The chart reports its undo before it drops its zoomed flag; it is back at its automatic
    // scales already.
    ViewStates views = CurrentViewStates();
    views[quantity].Zoomed = false;
    ApplyResetButtons(AfterUndoZoom(views));
}

void ChartPanel::ApplyResetButtons(const ResetButtons& buttons) {
    w_.resetZoomsButton->setEnabled(buttons.Overview);
    for (const Quantity q : kQuantities) w_.fitButtons[q]->setEnabled(buttons.Fit[q]);
}

void ChartPanel::UndoAllZooms() {
    charts_->UndoAllZooms();
}

void ChartPanel::ResetOverview() {
    UndoAllZooms();
    w_.resetZoomsButton->setEnabled(false);
}

void ChartPanel::FitChart(Quantity quantity) {
    charts_->UndoZoom(quantity);
    w_.fitButtons[quantity]->setEnabled(false);
}

QString ChartPanel::AskSaveFileName(Quantity quantity) const {
    QString name = kGraphFileNames[quantity];
    if (name.isEmpty())
        name = w_.tabs->tabText(w_.tabs->indexOf(w_.chartTabs[quantity])).replace(' ', '_') + "_graph.png";
    const QString proposed = inSaveFolder_ ? inSaveFolder_(name) : name;
    if (askSaveFile_) return WithImageSuffix(askSaveFile_(proposed, kGraphFilter), kGraphFilter);
    QFileDialog dialog(window_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("png");
    dialog.setNameFilter(kGraphFilter);
    dialog.selectFile(proposed);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The name's ending follows the format chosen.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix = SuffixOfFilter(filter);
        dialog.setDefaultSuffix(suffix);
        const QStringList chosen = dialog.selectedFiles();
        if (!chosen.isEmpty()) dialog.selectFile(QFileInfo(chosen.constFirst()).completeBaseName() + "." + suffix);
    });
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        return WithImageSuffix(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
    }
    return {};
}

void ChartPanel::SaveChart(Quantity quantity) {
    const QString file = AskSaveFileName(quantity);
    if (file.isEmpty()) return;
    if (!charts_->SaveImage(quantity, file, Caption ? Caption() : QString())) {
        w_.statusBar->showMessage("The chart could not be saved as " + file + ".");
        return;
    }
    w_.statusBar->showMessage("The chart was saved as " + file + ".");
}

void ChartPanel::EnableSaving(bool enabled) {
    for (QToolButton* button : w_.saveButtons) button->setEnabled(enabled);
}

void ChartPanel::Clear() {
    charts_->Clear();
    UndoAllZooms();
}

void ChartPanel::AddPoint(Quantity quantity, const std::string& label, int count, int estimated) {
    charts_->AddPoint(quantity, label, count, estimated);
}

void ChartPanel::ShowOwnTab(Quantity quantity) {
    const QSignalBlocker quiet(w_.tabs);
    w_.tabs->setCurrentWidget(w_.chartTabs[quantity]);
    Distribute(false);
}

charts::ChartSet& ChartPanel::Charts() const {
    return *charts_;
}

}  // namespace quorvela::ui
