#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "equivalence/equivalent_table.h"
#include "viewer/equivalent_editor.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace quorvela::viewer {

// The "Equivalent list" tab's editor: `Memo1` and, in the bar below it, "Edit/show equivalent
// file", "Save changes and reload", "Close" and the help button. The rules are
// EquivalentEditor's; this class shows them on the controls.
class EquivalentEditorPanel : public QObject {
  public:
    struct Actions {
        std::function<void()> Saved;                            // the table in force changed
        std::function<void()> Help;                             // help on the camera table
        std::function<void(const QString& message)> ShowError;  // file errors
    };

    // Builds the buttons into `bar`; `list` is the table in force, reloaded on a save.
    EquivalentEditorPanel(QPlainTextEdit* memo, QFrame* bar, EquivalentEditor editor, equivalence::EquivalentList& list,
                          Actions actions, QObject* parent = nullptr);

    void LbButton1Click();
    void LbButton2Click();
    void LbButton3Click();
    void Memo1Change();
    void LbSpeedButton10Click();

    [[nodiscard]] const EquivalentEditor& Editor() const { return editor_; }
    // Adds entries at the end of the table file and reloads the table in force; an open editor
    // shows the file again. Refused while the editor holds unsaved edits, which a later save
    // would write over the new entries. The reason when refused or failed, else empty.
    [[nodiscard]] QString AppendEntries(const std::vector<std::string>& lines);
    // Asked when Close meets unsaved edits; a box with Save, Discard and Cancel when empty.
    std::function<UnsavedEdits()> AskSaveEdits;

    QPushButton* LbButton1 = nullptr;
    QPushButton* LbButton2 = nullptr;
    QPushButton* LbButton3 = nullptr;
    QToolButton* LbSpeedButton10 = nullptr;

  private:
    void Apply();
    [[nodiscard]] UnsavedEdits AskWhatToDoWithEdits() const;
    // Saves the editor's text and reloads the table; false (and told) when that failed.
    bool Save();
    // Replaces the editor's text without it counting as a change.
    void SetText(const QString& text);

    QPlainTextEdit* memo_;
    EquivalentEditor editor_;
    equivalence::EquivalentList& list_;
    Actions actions_;
};

}  // namespace quorvela::viewer
