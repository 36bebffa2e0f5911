#include "viewer/equivalent_editor_panel.h"

#include <QApplication>
#include <QColor>
#include <QFrame>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace quorvela::viewer {

namespace {

const QColor kCream(255, 251, 240);

QPushButton* Button(QFrame* bar, const char* name, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    return button;
}

}  // namespace

EquivalentEditorPanel::EquivalentEditorPanel(QPlainTextEdit* memo, QFrame* bar, EquivalentEditor editor,
                                             equivalence::EquivalentList& list, Actions actions, QObject* parent)
    : QObject(parent), memo_(memo), editor_(std::move(editor)), list_(list), actions_(std::move(actions)) {
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 4, 2);
    LbButton1 = Button(bar, "LbButton1", QStringLiteral("Edit/show equivalent file"),
                       QStringLiteral("Load (or create if not present)"));
    LbButton2 = Button(bar, "LbButton2", QStringLiteral("Save changes and reload"),
                       QStringLiteral("In order to activate changes"));
    LbButton3 = Button(bar, "LbButton3", QStringLiteral("Close"), QStringLiteral("Close disgard changes"));
    LbSpeedButton10 = new QToolButton(bar);
    LbSpeedButton10->setObjectName(QStringLiteral("LbSpeedButton10"));
    // The same flat glyph as the window's other help button.
    LbSpeedButton10->setIcon(bar->style()->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    LbSpeedButton10->setAutoRaise(true);
    LbSpeedButton10->setToolTip(QStringLiteral("Help"));
    layout->addWidget(LbButton1);
    layout->addWidget(LbButton2);
    layout->addWidget(LbButton3);
    layout->addWidget(LbSpeedButton10);
    layout->addStretch(1);

    memo_->setAutoFillBackground(true);
    connect(LbButton1, &QPushButton::clicked, this, [this] { LbButton1Click(); });
    connect(LbButton2, &QPushButton::clicked, this, [this] { LbButton2Click(); });
    connect(LbButton3, &QPushButton::clicked, this, [this] { LbButton3Click(); });
    connect(LbSpeedButton10, &QToolButton::clicked, this, [this] { LbSpeedButton10Click(); });
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    SetText({});
    Apply();
}

void EquivalentEditorPanel::LbButton1Click() {
    try {
        const std::vector<std::string> lines = editor_.Open();
        QStringList text;
        for (const std::string& line : lines) text << QString::fromStdString(line);
        SetText(text.join(QChar('\n')));
    } catch (const std::exception& e) {
        if (actions_.ShowError) actions_.ShowError(QString::fromStdString(e.what()));
    }
    Apply();
}

QString EquivalentEditorPanel::AppendEntries(const std::vector<std::string>& lines) {
    if (editor_.CurrentState() == EquivalentEditor::State::OpenChanged) {
        return QStringLiteral(
            "The camera table has unsaved changes in the \"Equivalent list\" tab: save or close them first.");
    }
    try {
        editor_.Append(lines, list_);
    } catch (const std::exception& e) {
        return QStringLiteral("The crop factors could not be kept in the camera table. ") +
               QString::fromLocal8Bit(e.what());
    }
    if (editor_.CurrentState() == EquivalentEditor::State::OpenUnchanged) LbButton1Click();
    return {};
}

void EquivalentEditorPanel::LbButton2Click() {
    static_cast<void>(Save());
}

bool EquivalentEditorPanel::Save() {
    try {
        editor_.Save(SplitEditorText(memo_->toPlainText().toStdString()), list_);
    } catch (const std::exception& e) {
        if (actions_.ShowError) actions_.ShowError(QString::fromStdString(e.what()));
        return false;
    }
    SetText({});
    Apply();
    if (actions_.Saved) actions_.Saved();
    return true;
}

void EquivalentEditorPanel::LbButton3Click() {
    if (editor_.CurrentState() == EquivalentEditor::State::OpenChanged) {
        switch (AskWhatToDoWithEdits()) {
            case UnsavedEdits::Save:
                static_cast<void>(Save());  // a failed save keeps the editor open with the edits
                return;
            case UnsavedEdits::Cancel:
                return;
            case UnsavedEdits::Discard:
                break;
        }
    }
    editor_.Close();
    SetText({});
    Apply();
}

void EquivalentEditorPanel::Memo1Change() {
    editor_.Changed();
    Apply();
}

void EquivalentEditorPanel::LbSpeedButton10Click() {
    if (actions_.Help) actions_.Help();
}

UnsavedEdits EquivalentEditorPanel::AskWhatToDoWithEdits() const {
    if (AskSaveEdits) return AskSaveEdits();
    const QMessageBox::StandardButton answer = QMessageBox::question(
        memo_->window(), QApplication::applicationName(), QStringLiteral("Save the changes to the equivalent file?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return UnsavedEdits::Save;
    if (answer == QMessageBox::Discard) return UnsavedEdits::Discard;
    return UnsavedEdits::Cancel;
}

void EquivalentEditorPanel::Apply() {
    const EditorControls& controls = editor_.Controls();
    memo_->setEnabled(controls.MemoEnabled);
    QPalette palette = memo_->palette();
    const QColor base = controls.MemoCream ? kCream : QApplication::palette().color(QPalette::Active, QPalette::Base);
    // Disabled text boxes are painted with the disabled group's colours, so both are set.
    palette.setColor(QPalette::Active, QPalette::Base, base);
    palette.setColor(QPalette::Inactive, QPalette::Base, base);
    palette.setColor(QPalette::Disabled, QPalette::Base, base);
    memo_->setPalette(palette);
    LbButton1->setEnabled(controls.EditEnabled);
    LbButton2->setEnabled(controls.SaveEnabled);
    LbButton3->setEnabled(controls.CloseEnabled);
}

void EquivalentEditorPanel::SetText(const QString& text) {
    const QSignalBlocker quiet(memo_);
    memo_->setPlainText(text);
}

}  // namespace quorvela::viewer
