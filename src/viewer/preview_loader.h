#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <string>

#include "viewer/preview_decoder.h"

namespace quorvela::viewer {

// Decodes previews on a thread of its own, so a large photo never blocks the window. Only the
// latest request is answered: moving quickly through a list skips the photos passed over.
class PreviewLoader : public QObject {
    Q_OBJECT

  public:
    // `path` as requested, in the file system's own bytes.
    using Done = std::function<void(const std::string& path, const PreviewImage& preview)>;

    PreviewLoader(QSize box, Done done, QObject* parent = nullptr);
    // Waits for a decode in progress, whose answer is then dropped.
    ~PreviewLoader() override;

    void Request(const std::string& path);
    // Drops the answers of requests made so far.
    void Cancel() { ++generation_; }
    [[nodiscard]] QSize Box() const { return box_; }
    // True when no request is waiting, being decoded or on its way back to the window's thread.
    [[nodiscard]] bool IsIdle() const { return handled_ == requested_; }

  signals:
    // Raised on the window's thread when the latest request has been answered or dropped and
    // nothing else is pending, so a caller can tell that no further answer will come.
    void Idle();

  private:
    void Finish(const std::string& path, int generation, int request, const PreviewImage* preview);

    QSize box_;
    Done done_;
    QThreadPool pool_;
    std::atomic<int> generation_{0};
    // Counted on the window's thread: requests made, and the last one whose handling ended.
    int requested_ = 0;
    int handled_ = 0;
};

}  // namespace quorvela::viewer
