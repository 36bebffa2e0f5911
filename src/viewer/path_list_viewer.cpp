#include "viewer/path_list_viewer.h"

#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_file.h"
#include "viewer/exif_summary.h"

namespace quorvela::viewer {

namespace {

const QString kProposedName = QStringLiteral("value_path_list.txt");
const QString kSaveFilter = QStringLiteral("file (*.txt);;All (*)");

}  // namespace

PathListViewer::PathListViewer(QPlainTextEdit* richEdit, QLabel* image, QLabel* summary,
                               const equivalence::EquivalentList& table, char decimalSeparator, QObject* parent)
    : QObject(parent),
      richEdit_(richEdit),
      image_(image),
      summary_(summary),
      table_(table),
      reader_(true, decimalSeparator) {
    // Decoded for the largest square the window gives the preview; shown at the square's size.
    const QSize box = image_->maximumSize().boundedTo(QSize(kLargestPreview, kLargestPreview));
    loader_ = std::make_unique<PreviewLoader>(
        box, [this](const std::string& path, const PreviewImage& preview) { ShowPreview(path, preview); });
    askSaveFile_ = [this](const QString& proposed, const QString& filter) {
        return AskSaveTextFile(richEdit_->window(), proposed, filter);
    };
    summaryPool_.setMaxThreadCount(1);
    image_->setAlignment(Qt::AlignCenter);
    image_->setWordWrap(true);
    image_->setStyleSheet(QStringLiteral("color: white;"));
    richEdit_->installEventFilter(this);
    richEdit_->viewport()->installEventFilter(this);
    image_->installEventFilter(this);
}

PathListViewer::~PathListViewer() {
    summaryPool_.clear();
    summaryPool_.waitForDone();
}

bool PathListViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == richEdit_->viewport() && event->type() == QEvent::MouseButtonPress) {
        // The list places its caret only once it has handled the press.
        QMetaObject::invokeMethod(
            this, [this] { RichEdit1MouseDown(); }, Qt::QueuedConnection);
    } else if (watched == richEdit_ && event->type() == QEvent::KeyRelease) {
        RichEdit1KeyUp();
    } else if (watched == image_ && event->type() == QEvent::Resize && !shownImage_.isNull()) {
        FitPreview();
    }
    return QObject::eventFilter(watched, event);
}

void PathListViewer::RichEdit1MouseDown() {
    ShowLineAtCaret();
}

void PathListViewer::RichEdit1KeyUp() {
    ShowLineAtCaret();
}

std::string PathListViewer::PathOfLine(const QTextBlock& line) const {
    const auto index = static_cast<std::size_t>(line.blockNumber());
    if (static_cast<std::size_t>(richEdit_->document()->blockCount()) == linePaths_.size() &&
        index < linePaths_.size()) {
        return linePaths_[index];
    }
    return PathFromLine(line.text().toStdString(), exists_);
}

void PathListViewer::ShowLineAtCaret() {
    const QTextBlock line = richEdit_->textCursor().block();
    if (!line.isValid()) return;
    const int lineStart = line.position();
    const std::string path = PathOfLine(line);
    selectedFile_ = path;
    // Only regular files are read: a FIFO or device named like a photo would block the window.
    const bool exists = !path.empty() && exists_(path);
    summary_->clear();
    ++summaryGeneration_;
    if (exists) {
        RequestSummary(path);
        loader_->Request(path);
    }
    // The path as the line shows it.
    if (!path.empty()) SearchForText_AndSelect(richEdit_, QString::fromStdString(common::OnOneLine(path)), lineStart);
}

void PathListViewer::RequestSummary(const std::string& path) {
    summaryPool_.clear();  // summaries not yet read are stale now
    // The table is copied: the editor may change it while the summary is read.
    summaryPool_.start([this, path, generation = summaryGeneration_, table = table_] {
        std::string summary;
        try {
            summary = SummaryForDisplay(GetExifInfStr(reader_, path, table));
        } catch (const std::bad_alloc&) {
            summary = "The exposure summary cannot be read: there is not enough memory for it.";
        }
        QMetaObject::invokeMethod(
            this,
            [this, path, generation, summary = std::move(summary)] {
                if (generation != summaryGeneration_) return;
                summary_->setText(QString::fromStdString(summary));
                shownSummaryFile_ = path;
            },
            Qt::QueuedConnection);
    });
}

void PathListViewer::SetHeading(QLabel* heading) {
    heading_ = heading;
    heading_->setTextFormat(Qt::RichText);
    connect(heading_, &QLabel::linkActivated, this, [this] { ShowAll(); });
}

void PathListViewer::SetFullList(const QStringList& lines, std::vector<std::string> paths) {
    fullLines_ = lines;
    fullPaths_ = paths;
    showingPart_ = false;
    if (heading_ != nullptr) heading_->hide();
    richEdit_->setPlainText(lines.join(QChar('\n')));
    SetLinePaths(std::move(paths));
}

void PathListViewer::ShowOnly(const QString& heading, const QStringList& lines, std::vector<std::string> paths) {
    showingPart_ = true;
    if (heading_ != nullptr) {
        heading_->setText(heading.toHtmlEscaped() + QStringLiteral(" \u2014 <a href=\"all\">Show all</a>"));
        heading_->show();
    }
    richEdit_->setPlainText(lines.join(QChar('\n')));
    SetLinePaths(std::move(paths));
    QTextCursor start(richEdit_->document());
    richEdit_->setTextCursor(start);
    if (!lines.isEmpty()) ShowLineAtCaret();
}

bool PathListViewer::ShowAll() {
    if (!showingPart_) return false;
    SetFullList(fullLines_, fullPaths_);
    return true;
}

bool PathListViewer::SearchForText_AndSelect(QPlainTextEdit* richEdit, const QString& text, int start) {
    if (text.isEmpty()) return false;
    // The first occurrence from the line's start is the path on the line itself; a later one
    // would be another photo whose path ends with this one ("/backup/a/b.jpg" holds "/a/b.jpg").
    const QTextCursor found = richEdit->document()->find(text, start, QTextDocument::FindCaseSensitively);
    if (found.isNull()) return false;
    richEdit->setFocus();
    // Placing the cursor scrolls it into view both ways; only the vertical part is wanted: a
    // long path would push the value at the line's start out of sight.
    QScrollBar* sideways = richEdit->horizontalScrollBar();
    const int column = sideways->value();
    richEdit->setTextCursor(found);
    sideways->setValue(column);
    return true;
}

bool PathListViewer::Lb_SaveRicheditClick() {
    const QString file = askSaveFile_ ? askSaveFile_(kProposedName, kSaveFilter) : QString();
    if (file.isEmpty()) return false;
        // Ended as the platform's text files are, so the user's own editors and tools read it.
#ifdef Q_OS_WIN
    constexpr std::string_view kLineEnd = "\r\n";
#else
    constexpr std::string_view kLineEnd = "\n";
#endif
    std::string text;
    for (QTextBlock block = richEdit_->document()->firstBlock(); block.isValid(); block = block.next()) {
        text.append(block.text().toStdString()).append(kLineEnd);
    }
    // An empty list is one empty block; it saves as an empty file.
    if (text == kLineEnd) text.clear();
    try {
        common::WriteFileAtomically(file.toStdString(), text);
        return true;
    } catch (const std::exception& e) {
        if (ShowError) ShowError(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

void PathListViewer::ShowPreview(const std::string& path, const PreviewImage& preview) {
    shownPreviewFile_ = path;
    if (preview.Image.isNull()) {
        shownImage_ = {};
        image_->clear();
        image_->setText(preview.Error);
    } else {
        shownImage_ = preview.Image;
        FitPreview();
    }
    if (OnPreviewShown) OnPreviewShown(QString::fromStdString(path));
}

void PathListViewer::FitPreview() {
    const QSize room = image_->size();
    const bool fits = shownImage_.width() <= room.width() && shownImage_.height() <= room.height();
    image_->setPixmap(QPixmap::fromImage(
        fits ? shownImage_ : shownImage_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QString AskSaveTextFile(QWidget* parent, const QString& proposedName, const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilter(filter);
    dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    dialog.selectFile(proposedName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace quorvela::viewer
