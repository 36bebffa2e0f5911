#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "analysis/equivalence_summary.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace quorvela::ui {

// The cameras whose photos were charted with the manual factor, each with a field for its
// crop factor ("CropFactorDialog"; per camera i: "CropFactorCamera<i>", a tick box with the
// make, and "CropFactor<i>", the field). OK ("CropFactorSave") reads the fields by
// crop_factor_rules.h and hands the table entries of the ticked cameras to `keep`; the dialog
// closes only once they are kept. Problems show in "CropFactorProblem".
class CropFactorDialog final : public QDialog {
  public:
    // Keeps the lines of the table entries; the reason when that failed, else empty.
    using Keep = std::function<QString(const std::vector<std::string>& lines)>;

    CropFactorDialog(QWidget* parent, std::vector<analysis::ManualCamera> cameras, char decimalSeparator, Keep keep);

    void accept() override;

  private:
    struct Row {
        QCheckBox* chosen = nullptr;
        QLineEdit* factor = nullptr;
    };

    void AddRow(int index, const analysis::ManualCamera& camera, char decimalSeparator);
    void ShowProblem(const QString& problem);

    std::vector<analysis::ManualCamera> cameras_;
    std::vector<Row> rows_;
    QGridLayout* grid_ = nullptr;
    QLabel* problem_ = nullptr;
    Keep keep_;
};

}  // namespace quorvela::ui
