#include "viewer/equivalent_editor.h"

#include <system_error>
#include <utility>

#include "common/text_file.h"

namespace quorvela::viewer {

namespace fs = std::filesystem;

const std::vector<std::string>& EquivalentEditor::MissingFileLines() {
    static const std::vector<std::string> lines = {
        "; Lines started with a semicolon (;) are ignored bij Quorvela",
        "; See the help how to add cameras without 35mm information in the exif.",
    };
    return lines;
}

EquivalentEditor::EquivalentEditor(fs::path tableFile, fs::path seedFile)
    : tableFile_(std::move(tableFile)), seedFile_(std::move(seedFile)) {}

std::vector<std::string> EquivalentEditor::Open() {
    std::error_code error;
    if (fs::exists(tableFile_, error)) {
        std::vector<std::string> lines = common::ReadTextLines(tableFile_);
        state_ = State::OpenUnchanged;
        controls_ = {
            .MemoEnabled = true, .MemoCream = false, .EditEnabled = false, .SaveEnabled = false, .CloseEnabled = true};
        return lines;
    }
    // The comment lines are new text: saving them creates the file. Edit and Close keep
    // the states they had.
    state_ = State::OpenChanged;
    controls_.MemoEnabled = true;
    controls_.MemoCream = false;
    controls_.SaveEnabled = true;
    return MissingFileLines();
}

void EquivalentEditor::Changed() {
    if (state_ == State::Closed) return;
    state_ = State::OpenChanged;
    controls_.SaveEnabled = true;
}

void EquivalentEditor::Save(const std::vector<std::string>& lines, equivalence::EquivalentList& list) {
    // Written first and then read, so the seed is never copied over the user's table.
    common::WriteTextLines(tableFile_, lines);
    equivalence::EquivalentList fresh;
    equivalence::ReadEquivalentData(tableFile_, fresh, seedFile_);
    list = std::move(fresh);
    Close();
}

void EquivalentEditor::Append(const std::vector<std::string>& lines, equivalence::EquivalentList& list) {
    equivalence::AppendTableLines(tableFile_, lines, seedFile_);
    equivalence::EquivalentList fresh;
    equivalence::ReadEquivalentData(tableFile_, fresh, seedFile_);
    list = std::move(fresh);
}

void EquivalentEditor::Close() {
    state_ = State::Closed;
    controls_ = {};
}

std::vector<std::string> SplitEditorText(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace quorvela::viewer
