#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "equivalence/equivalent_table.h"
#include "metadata/img_data.h"
#include "viewer/line_path.h"
#include "viewer/preview_loader.h"

class QLabel;
class QPlainTextEdit;
class QTextBlock;

namespace quorvela::viewer {

// The path-list view made browsable: clicking a line or moving through the list with the keys
// shows that line's photo in the preview, its exposure summary below it, and selects its path
// in the list. The window gives it its three controls; the viewer listens to them itself.
// Neither the preview nor the summary is read on the window's thread.
class PathListViewer : public QObject {
  public:
    // The side of the largest square a preview is decoded for.
    static constexpr int kLargestPreview = 480;

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
    // Saves the list's lines as a text file chosen in the dialog. True when written; a failure
    // is told through ShowError, so nobody takes an unsaved list for saved.
    bool Lb_SaveRicheditClick();

    // The file of each line of the list, as the run named it; empty when the list was not built
    // by a run. Without them (or when the list no longer has one line per path) the path is
    // read back from the line itself.
    void SetLinePaths(std::vector<std::string> paths) { linePaths_ = std::move(paths); }

    // The heading over the list while it shows part of the run's photos; its "Show all" link
    // brings the whole list back. Without one, parts are shown without a heading.
    void SetHeading(QLabel* heading);
    // The run's whole list, with the file of each line; shown at once, replacing any part.
    void SetFullList(const QStringList& lines, std::vector<std::string> paths);
    // Only these lines (with their files) under `heading`, the first line's photo shown.
    void ShowOnly(const QString& heading, const QStringList& lines, std::vector<std::string> paths);
    // The whole list again after ShowOnly; false when it shows already.
    bool ShowAll();
    [[nodiscard]] bool ShowingPart() const { return showingPart_; }

    // Drops the answers of a preview still being decoded and a summary still being read (a new
    // run has cleared the preview).
    void CancelPreview() {
        loader_->Cancel();
        ++summaryGeneration_;
    }
    // The decoder of the previews: whether it is still at work.
    [[nodiscard]] const PreviewLoader& Loader() const { return *loader_; }

    void SetAskSaveFile(AskSaveFile ask) { askSaveFile_ = std::move(ask); }
    void SetFileExists(FileExists exists) { exists_ = std::move(exists); }
    // Tells the user why the list was not saved.
    std::function<void(const QString& message)> ShowError;
    // Called on the window's thread when a preview has been shown (or its failure reported).
    std::function<void(const QString& path)> OnPreviewShown;
    // The file whose exposure summary was shown last, in the file system's bytes.
    [[nodiscard]] const std::string& ShownSummaryFile() const { return shownSummaryFile_; }

    // The file of the line shown last, and of the preview shown last, in the file system's bytes.
    [[nodiscard]] const std::string& SelectedFile() const { return selectedFile_; }
    [[nodiscard]] const std::string& ShownPreviewFile() const { return shownPreviewFile_; }
    [[nodiscard]] QString SelectedPath() const { return QString::fromStdString(selectedFile_); }
    [[nodiscard]] QString ShownPreviewPath() const { return QString::fromStdString(shownPreviewFile_); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The preview scaled down to the label's size.
    void FitPreview();
    [[nodiscard]] std::string PathOfLine(const QTextBlock& line) const;
    void ShowPreview(const std::string& path, const PreviewImage& preview);
    void RequestSummary(const std::string& path);

    QPlainTextEdit* richEdit_;
    QLabel* image_;
    QLabel* summary_;
    const equivalence::EquivalentList& table_;
    metadata::TimgData reader_;
    std::unique_ptr<PreviewLoader> loader_;
    AskSaveFile askSaveFile_;
    FileExists exists_ = IsRegularFile;
    std::vector<std::string> linePaths_;
    QLabel* heading_ = nullptr;
    QStringList fullLines_;
    std::vector<std::string> fullPaths_;
    bool showingPart_ = false;
    std::string selectedFile_;
    std::string shownPreviewFile_;
    QImage shownImage_;  // the preview as decoded
    std::string shownSummaryFile_;
    int summaryGeneration_ = 0;  // the latest summary asked for; older ones are not shown
    // One thread reads the summaries with `reader_`, one at a time. Last, so that it is stopped
    // before anything it uses goes.
    QThreadPool summaryPool_;
};

// The platform's save-file dialog, asking before it overwrites, with "txt" as default extension.
QString AskSaveTextFile(QWidget* parent, const QString& proposedName, const QString& filter);

}  // namespace quorvela::viewer
