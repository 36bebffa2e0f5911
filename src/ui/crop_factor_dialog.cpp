#include "ui/crop_factor_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "common/ascii.h"
#include "common/code_page.h"
#include "equivalence/equivalent_table.h"
#include "ui/crop_factor_rules.h"
#include "ui/text_codec.h"

namespace quorvela::ui {

namespace {

constexpr const char* kIntro =
    "The photos of these cameras do not say what their focal lengths are on 35 mm film, so they were "
    "charted with the manual factor: a guess. Enter each camera's crop factor (1 for full frame, 1.5 or "
    "1.6 for APS-C, 2 for Micro Four Thirds). It is kept in the camera table and the folder is analysed "
    "again.";

constexpr int kMostRowsHeight = 360;

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QString PhotoCount(int photos) {
    return photos == 1 ? QStringLiteral("1 photo") : QStringLiteral("%1 photos").arg(photos);
}

}  // namespace

CropFactorDialog::CropFactorDialog(QWidget* parent, std::vector<analysis::ManualCamera> cameras, char decimalSeparator,
                                   Keep keep)
    : QDialog(parent), cameras_(std::move(cameras)), keep_(std::move(keep)) {
    setObjectName("CropFactorDialog");
    setWindowTitle("Set crop factors");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(kIntro, this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    // A folder of many cameras scrolls rather than growing past the screen.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* table = new QWidget(scroll);
    grid_ = new QGridLayout(table);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->addWidget(Heading("Make", table), 0, 0);
    grid_->addWidget(Heading("Model", table), 0, 1);
    grid_->addWidget(Heading("Photos", table), 0, 2);
    grid_->addWidget(Heading("Crop factor", table), 0, 3);
    grid_->setColumnStretch(1, 1);
    scroll->setWidget(table);
    layout->addWidget(scroll, 1);
    for (std::size_t i = 0; i < cameras_.size(); ++i) AddRow(static_cast<int>(i), cameras_[i], decimalSeparator);
    // Every camera in view up to a dozen or so; more scroll.
    scroll->setMinimumHeight(std::min(table->sizeHint().height(), kMostRowsHeight));

    problem_ = new QLabel(this);
    problem_->setObjectName("CropFactorProblem");
    problem_->setWordWrap(true);
    problem_->setStyleSheet("color: #b00000");
    problem_->hide();
    layout->addWidget(problem_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* save = buttons->button(QDialogButtonBox::Ok);
    save->setObjectName("CropFactorSave");
    save->setText("Save and analyse again");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(std::max(sizeHint().width(), 560), sizeHint().height());
}

void CropFactorDialog::AddRow(int index, const analysis::ManualCamera& camera, char decimalSeparator) {
    QWidget* table = grid_->parentWidget();
    const int line = index + 1;
    Row row;
    row.chosen = new QCheckBox(FromUtf8(common::Cp1252ToUtf8(common::Trim(camera.Make))), table);
    row.chosen->setObjectName(QString("CropFactorCamera%1").arg(index));
    auto* model = new QLabel(FromUtf8(common::Cp1252ToUtf8(common::Trim(camera.Model))), table);
    auto* photos = new QLabel(PhotoCount(camera.Photos), table);
    photos->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.factor = new QLineEdit(table);
    row.factor->setObjectName(QString("CropFactor%1").arg(index));
    row.factor->setPlaceholderText(QStringLiteral("e.g. 1") + QChar::fromLatin1(decimalSeparator) + QChar('6'));
    // Room for the example and a few more digits, inside the field's frame.
    row.factor->setFixedWidth(row.factor->fontMetrics().horizontalAdvance(row.factor->placeholderText() + "0000"));
    const std::string unusable = equivalence::CropFactorProblem(camera.Make, camera.Model);
    if (unusable.empty()) {
        row.chosen->setChecked(true);
        connect(row.chosen, &QCheckBox::toggled, row.factor, &QLineEdit::setEnabled);
    } else {
        // Shown, so no camera of the status line goes missing, but it cannot be kept.
        row.chosen->setEnabled(false);
        row.factor->setEnabled(false);
        const QString why = "Cannot be set in the camera table: " + FromUtf8(unusable) + ".";
        row.chosen->setToolTip(why);
        row.factor->setToolTip(why);
        model->setText(model->text() + " (" + FromUtf8(unusable) + ")");
    }
    grid_->addWidget(row.chosen, line, 0);
    grid_->addWidget(model, line, 1);
    grid_->addWidget(photos, line, 2);
    grid_->addWidget(row.factor, line, 3);
    rows_.push_back(row);
}

void CropFactorDialog::ShowProblem(const QString& problem) {
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    // The dialog grows by the message rather than squeezing the text and the cameras.
    layout()->activate();
    resize(width(), std::max(height(), sizeHint().height()));
}

void CropFactorDialog::accept() {
    std::vector<CropFactorRow> typed;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const analysis::ManualCamera& camera = cameras_[i];
        const std::string name = common::Cp1252ToUtf8(std::string(common::Trim(camera.Make)) + " " +
                                                      std::string(common::Trim(camera.Model)));
        typed.push_back({name, rows_[i].chosen->isChecked(), ToUtf8(rows_[i].factor->text())});
    }
    const CropFactorChoices choices = ReadCropFactors(typed);
    if (!choices.Problem.empty()) {
        ShowProblem(FromUtf8(choices.Problem));
        if (choices.ProblemRow >= 0) rows_[static_cast<std::size_t>(choices.ProblemRow)].factor->setFocus();
        return;
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!choices.Factors[i]) continue;
        for (std::string& line :
             equivalence::CropFactorLines(cameras_[i].Make, cameras_[i].Model, *choices.Factors[i])) {
            lines.push_back(std::move(line));
        }
    }
    if (const QString problem = keep_(lines); !problem.isEmpty()) {
        ShowProblem(problem);  // the typed factors stay for another try
        return;
    }
    QDialog::accept();
}

}  // namespace quorvela::ui
