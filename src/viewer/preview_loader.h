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
    // True while a decode is pending or running, or its answer has yet to be given or dropped.
    [[nodiscard]] bool Busy() const { return unsettled_ > 0; }

  signals:
    // No decode is pending or running any more: every request so far has been answered or
    // dropped. Emitted on the loader's thread.
    void Idle();

  private:
    class Settler;
    void Settled();

    QSize box_;
    Done done_;
    QThreadPool pool_;
    std::atomic<int> generation_{0};
    int unsettled_ = 0;  // requests whose decode has not yet ended, on the loader's thread
};

}  // namespace quorvela::viewer
