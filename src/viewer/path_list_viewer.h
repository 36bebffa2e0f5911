#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "equivalence/equivalent_table.h"
#include "metadata/img_data.h"
#include "viewer/line_path.h"
#include "viewer/preview_loader.h"

class QLabel;
class QPlainTextEdit;

namespace quorvela::viewer {

// The path-list view made browsable: clicking a line or moving through the list with the keys
// shows that line's photo in the preview, its exposure summary below it, and selects its path
// in the list. The window gives it its three controls; the viewer listens to them itself.
class PathListViewer : public QObject {
  public:
    // The save-file dialog: the chosen file, or empty when cancelled.
    using AskSaveFile = std::function<QString(const QString& proposedName, const QString& filter)>;

    PathListViewer(QPlainTextEdit* richEdit, QLabel* image, QLabel* summary, const equivalence::EquivalentList& table,
                   char decimalSeparator, QObject* parent = nullptr);
    // The table is read at each click: it must outlive the viewer.
    PathListViewer(QPlainTextEdit*, QLabel*, QLabel*, equivalence::EquivalentList&&, char, QObject* = nullptr) = delete;
    ~PathListViewer() override;

    // The two handlers run the same steps once the list has placed its caret.
    void RichEdit1MouseDown();
    void RichEdit1KeyUp();
    // Shows the line holding the caret: summary, preview and selected path.
    void ShowLineAtCaret();
    // Selects the first occurrence of `text` (matching case) from `start` on; false when there is none.
    static bool SearchForText_AndSelect(QPlainTextEdit* richEdit, const QString& text, int start);
    // Saves the list's lines as a text file chosen in the dialog; errors are ignored. True when written.
    bool Lb_SaveRicheditClick();

    // Drops the answer of a preview still being decoded (a new run has cleared the preview).
    void CancelPreview() { loader_->Cancel(); }

    void SetAskSaveFile(AskSaveFile ask) { askSaveFile_ = std::move(ask); }
    void SetFileExists(FileExists exists) { exists_ = std::move(exists); }
    // Called on the window's thread when a preview has been shown (or its failure reported).
    std::function<void(const QString& path)> OnPreviewShown;

    [[nodiscard]] const QString& SelectedPath() const { return selectedPath_; }
    [[nodiscard]] const QString& ShownPreviewPath() const { return shownPreviewPath_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowPreview(const QString& path, const PreviewImage& preview);

    QPlainTextEdit* richEdit_;
    QLabel* image_;
    QLabel* summary_;
    const equivalence::EquivalentList& table_;
    metadata::TimgData reader_;
    std::unique_ptr<PreviewLoader> loader_;
    AskSaveFile askSaveFile_;
    FileExists exists_ = IsRegularFile;
    QString selectedPath_;
    QString shownPreviewPath_;
};

// The platform's save-file dialog, asking before it overwrites, with "txt" as default extension.
QString AskSaveTextFile(QWidget* parent, const QString& proposedName, const QString& filter);

}  // namespace quorvela::viewer
