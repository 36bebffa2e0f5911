#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "viewer/preview_image.h"

class QProcess;

namespace quorvela::viewer {

// How long one photo may take the helper before it is stopped.
inline constexpr std::chrono::milliseconds kPreviewTimeLimit{10000};

// Where the previews are decoded and how long each may take.
struct PreviewHelper {
    QString Program;  // the helper's executable; empty: quorvela-preview beside the running program
    std::chrono::milliseconds TimeLimit = kPreviewTimeLimit;
};

// Decodes previews in a helper process (quorvela-preview), so that nothing a file holds can
// block, crash or exhaust the window: a decode that outruns the time limit, a helper that dies
// or answers nonsense gives a "cannot be shown" preview, and the next request starts a fresh
// helper. Only the latest request is answered: moving quickly through a list skips the photos
// passed over. Lives on the window's thread.
class PreviewLoader : public QObject {
    Q_OBJECT

  public:
    // `path` as requested, in the file system's own bytes.
    using Done = std::function<void(const std::string& path, const PreviewImage& preview)>;

    PreviewLoader(QSize box, Done done, QObject* parent = nullptr);
    PreviewLoader(QSize box, Done done, PreviewHelper helper, QObject* parent = nullptr);
    // Kills the helper: a decode in progress is not waited for, and its answer never comes.
    ~PreviewLoader() override;
    PreviewLoader(const PreviewLoader&) = delete;
    PreviewLoader& operator=(const PreviewLoader&) = delete;

    void Request(const std::string& path);
    // Drops the answers of requests made so far.
    void Cancel();
    [[nodiscard]] QSize Box() const { return box_; }
    // True when no request is waiting or being decoded.
    [[nodiscard]] bool IsIdle() const { return !current_ && !pending_; }
    // The helper's process id; 0 while none runs.
    [[nodiscard]] qint64 HelperProcessId() const;

  signals:
    // Raised on the window's thread when the latest request has been answered or dropped and
    // nothing else is pending, so a caller can tell that no further answer will come.
    void Idle();

  private:
    struct Job {
        std::string Path;
        int Generation = 0;
    };

    void SendNext();
    void StartHelper();
    void StopHelper();
    void OnOutput();
    void OnHelperEnded();
    void Fail(const QString& reason);
    void Answer(const PreviewImage& preview);

    QSize box_;
    Done done_;
    PreviewHelper helper_;
    QProcess* process_ = nullptr;  // a child of the loader; none before the first request and after a failure
    QByteArray received_;
    QTimer deadline_;
    QElapsedTimer busyFor_;
    std::optional<Job> current_;  // sent to the helper, not answered yet
    std::optional<Job> pending_;  // the latest request made meanwhile
    int generation_ = 0;
};

}  // namespace quorvela::viewer
