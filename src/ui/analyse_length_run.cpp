// The run in the window: the settings it takes from the controls, starting and stopping it,
// and the window after it.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

#include "common/file_names.h"
#include "common/number_format.h"
#include "library/photo_cache.h"
#include "ui/analyse_length.h"
#include "ui/answer_panel.h"
#include "ui/chart_caption.h"
#include "ui/coverage_field.h"
#include "ui/crop_factor_dialog.h"
#include "ui/run_controller.h"
#include "ui/run_presenter.h"
#include "ui/text_codec.h"
#include "viewer/equivalent_editor_panel.h"

namespace quorvela::ui {

namespace {

// A period end as the run takes it: the day, or empty when that end is open.
std::string PeriodDay(const QCheckBox* enabled, const QDateEdit* day) {
    return enabled->isChecked() ? ToUtf8(day->date().toString(QStringLiteral("yyyy-MM-dd"))) : std::string();
}

}  // namespace

analysis::AnalysisSettings TAnalyseLength::CurrentAnalysisSettings() const {
    analysis::AnalysisSettings s;
    s.RootFolder = ToUtf8(SelectedFolder());
    s.IncludeSubfolders = ui_.subfoldersCheck->isChecked();
    s.IncludeRawHeif = ui_.rawHeifCheck->isChecked();
    s.FilterOn = ui_.filterCheck->isChecked();
    s.Filter = {ToCp1252(ui_.makeEdit->text()),           ToCp1252(ui_.modelEdit->text()),
                ToCp1252(ui_.makerNoteLabelEdit->text()), ToCp1252(ui_.makerNoteDataEdit->text()),
                ToCp1252(ui_.lensEdit->text()),           PeriodDay(ui_.fromCheck, ui_.fromDate),
                PeriodDay(ui_.toCheck, ui_.toDate),       ui_.minRatingSpin->value(),
                ui_.noRejectedCheck->isChecked(),         ToUtf8(ui_.labelEdit->text())};
    s.UseSteps = ui_.stepsCheck->isChecked();
    s.StepSize = ui_.stepSpin->value();
    s.IgnoreUpTo = ui_.ignoreSpin->value();
    s.FractionShutter = ui_.fractionShutterCheck->isChecked();
    s.PathList = QuantityAt(ui_.pathListQuantity->checkedId());
    s.AddMakerNotes = ui_.makerNoteCheck->isChecked();
    s.Lens = {ToCp1252(ui_.lensLengthEdit->text()), ToCp1252(ui_.equivalentEdit->text()),
              ui_.realLengthButton->isChecked(), ui_.alwaysCalculateCheck->isChecked()};
    s.Coverage = ReadCoverageField(ToUtf8(ui_.coverageEdit->text())).Range;
    return s;
}

void TAnalyseLength::StartAnalyzingClick() {
    if (controller_->Active() || closePending_) return;
    analysis::RunEnvironment environment;
    environment.DecimalSeparator = decimalSeparator_;
    environment.Order = collation_.get();
    environment.PathListFile = programFolder_ / common::kPathListFileName;
    if (ui_.rememberPhotosCheck->isChecked()) environment.CacheFile = services_.CacheFile;
    // The photos behind the bars and the coverage of a range are answered from them after the run.
    environment.KeepPhotoRecords = true;
    // The button stays out of reach until the run has ended; the run itself shows Stop.
    ui_.startButton->setEnabled(false);
    const analysis::AnalysisSettings settings = CurrentAnalysisSettings();
    lastSettings_ = settings;
    answers_->RunStarting(settings);
    controller_->Start(settings, environment, equivalentList_);
}

QString TAnalyseLength::ChartCaptionText() const {
    // The coverage sentence goes along only when it answers a range, not when it explains the field.
    const bool answers = ReadCoverageField(ToUtf8(ui_.coverageEdit->text())).Range.has_value();
    return FromUtf8(ChartCaption(lastSettings_, lastResult_.FilesAnalysed,
                                 answers ? ToUtf8(ui_.coverageText->text()) : std::string(),
                                 ToUtf8(QDate::currentDate().toString(Qt::ISODate))));
}

void TAnalyseLength::ForgetPhotosClick() {
    if (!services_.AskForgetPhotos()) return;
    std::int64_t forgotten = 0;
    if (std::string problem; !library::PhotoCache::Forget(services_.CacheFile, problem, &forgotten)) {
        services_.Messages->ShowMessage(
            QString::fromStdString("The remembered photos could not be forgotten: " + problem));
        return;
    }
    std::string said = common::GroupThousands(forgotten);
    said.append(forgotten == 1 ? " remembered photo forgotten" : " remembered photos forgotten")
        .append(": the next run reads every photo again.");
    ui_.statusBar->showMessage(QString::fromStdString(said));
}

void TAnalyseLength::EstimateLinkClick() {
    const std::vector<analysis::ManualCamera>& cameras = presenter_->Equivalence().ManualCameras;
    if (cameras.empty() || controller_->Active() || closePending_) return;
    auto* dialog =
        new CropFactorDialog(this, cameras, decimalSeparator_, [this](const std::vector<std::string>& lines) {
            // Written as the table editor writes, so an open editor shows the new entries.
            return tableEditor_->AppendEntries(lines);
        });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The charts still show the guesses: the folder is analysed again with the factors.
    connect(dialog, &QDialog::accepted, this, [this] {
        SetReAnalyseColor();
        StartAnalyzingClick();
    });
    dialog->open();
}

void TAnalyseLength::StopAnalyzingClick() {
    controller_->RequestStop();
}

bool TAnalyseLength::Running() const {
    return controller_->Active();
}

bool TAnalyseLength::StopRequested() const {
    return controller_->StopRequested();
}

const QString& TAnalyseLength::RunSummaryText() const {
    return presenter_->Summary();
}

void TAnalyseLength::RunFinished(const analysis::AnalysisResult& result) {
    presenter_->RestoreCursor();
    lastResult_ = result;
    chartsShown_ = chartsShown_ || result.Outcome != analysis::RunOutcome::Refused;
    // The button follows the tree's selection again, which may have changed during the run.
    ui_.startButton->setEnabled(FolderChosen());
    if (closePending_) {
        close();
        return;
    }
    if (OnRunFinished) OnRunFinished();
}

}  // namespace quorvela::ui
