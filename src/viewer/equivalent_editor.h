#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "equivalence/equivalent_table.h"

namespace quorvela::viewer {

// What the user chose when closing the editor with unsaved edits.
enum class UnsavedEdits { Save, Discard, Cancel };

// What the camera-table editor's controls show in a state.
struct EditorControls {
    bool MemoEnabled = false;
    bool MemoCream = true;  // cream (255, 251, 240) when closed, the window colour when open
    bool EditEnabled = true;
    bool SaveEnabled = false;
    bool CloseEnabled = false;

    bool operator==(const EditorControls&) const = default;
};

// The camera-table editor: open the table for editing, note changes, save and reload, or close
// and discard. The editor's text and buttons follow `Controls()`; the table file and the list
// in force change only on a save.
class EquivalentEditor {
  public:
    enum class State { Closed, OpenUnchanged, OpenChanged };

    // The two comment lines offered when the table file does not exist yet.
    static const std::vector<std::string>& MissingFileLines();

    // `tableFile` is cam_equiv.txt; `seedFile` the shipped table a missing one is seeded from.
    EquivalentEditor(std::filesystem::path tableFile, std::filesystem::path seedFile = {});

    // The lines to put in the editor: the file's lines, or the two comment lines when it is
    // missing (which counts as a change). Read errors throw std::runtime_error naming the file.
    std::vector<std::string> Open();
    // The editor's text changed (by the user; loading and emptying are not changes).
    void Changed();
    // Writes `lines` over the table file atomically, then empties `list` and reads the saved
    // table into it. Write and read errors throw std::runtime_error; the state is then unchanged.
    void Save(const std::vector<std::string>& lines, equivalence::EquivalentList& list);
    // Adds `lines` at the end of the table file (AppendTableLines), then empties `list` and reads
    // the table into it, as Save does; the editor keeps its state. Write and read errors throw
    // std::runtime_error; the file and the list are then unchanged.
    void Append(const std::vector<std::string>& lines, equivalence::EquivalentList& list);
    // Leaves the editor without saving; the file and the list stay as they were.
    void Close();

    [[nodiscard]] State CurrentState() const { return state_; }
    [[nodiscard]] const EditorControls& Controls() const { return controls_; }
    [[nodiscard]] const std::filesystem::path& TableFile() const { return tableFile_; }

  private:
    std::filesystem::path tableFile_;
    std::filesystem::path seedFile_;
    State state_ = State::Closed;
    EditorControls controls_;
};

// The editor's text as lines: split at line feeds, a CR before one dropped. An empty text has
// no lines; a final line feed does not start another line.
std::vector<std::string> SplitEditorText(const std::string& text);

}  // namespace quorvela::viewer
