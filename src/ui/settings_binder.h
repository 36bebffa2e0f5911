#pragma once

#include <QString>
#include <functional>

#include "settings/settings_file.h"
#include "ui/window_layout.h"

class QButtonGroup;
class QMainWindow;

namespace quorvela::ui {

// Checks entry `index` of the group; with no such entry, none stays checked.
void SetChoice(QButtonGroup* group, int index);

// The window's controls and the values of the settings file (vintrop.ini), bound by one table
// with a row per key in the file's order (settings_binder.cpp): reading the file puts the
// values into the controls, closing the window takes them back out.
class SettingsBinder {
  public:
    struct Hooks {
        // The folder chosen in the tree, written as the last folder.
        std::function<QString()> SelectedFolder;
        // The file names no path-list entry: the buttons were all released.
        std::function<void()> PathListCleared;
    };

    SettingsBinder(QMainWindow& window, const WindowWidgets& widgets, Hooks hooks);

    // Puts the values into the controls and the window's place, row by row.
    void Apply(const settings::IniSettings& values);
    // The values as the controls and the window hold them now.
    [[nodiscard]] settings::IniSettings Collect() const;

    // The last folder of the file, selected when the window first shows.
    [[nodiscard]] const QString& SavedFolder() const { return savedFolder_; }
    // The tree's width: the file's until the window has first shown, then the tree's own.
    [[nodiscard]] int TreeWidth() const;
    // The window shows for the first time: the splitter now has a width to share out.
    void LayInTreeWidth();

  private:
    struct Applier;
    struct Collector;

    QMainWindow& window_;
    const WindowWidgets& w_;
    Hooks hooks_;
    QString savedFolder_;
    int pendingTreeWidth_ = 185;
    bool treeLaidIn_ = false;
};

}  // namespace quorvela::ui
