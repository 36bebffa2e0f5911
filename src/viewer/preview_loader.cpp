#include "viewer/preview_loader.h"

#include <QMetaObject>
#include <utility>

namespace quorvela::viewer {

PreviewLoader::PreviewLoader(QSize box, Done done, QObject* parent)
    : QObject(parent), box_(box), done_(std::move(done)) {
    pool_.setMaxThreadCount(1);
}

PreviewLoader::~PreviewLoader() {
    ++generation_;
    pool_.clear();
    pool_.waitForDone();
}

void PreviewLoader::Request(const std::string& path) {
    const int generation = ++generation_;
    const int request = ++requested_;
    pool_.clear();  // requests not yet started are stale now
    pool_.start([this, path, generation, request] {
        // A request overtaken before it started is answered without decoding, so that the
        // window's thread still learns it is over.
        const bool current = generation == generation_;
        PreviewImage preview = current ? DecodePreview(path, box_) : PreviewImage{};
        // Back on the window's thread; an answer overtaken by a newer request is dropped there.
        QMetaObject::invokeMethod(
            this,
            [this, path, generation, request, current, preview = std::move(preview)] {
                Finish(path, generation, request, current ? &preview : nullptr);
            },
            Qt::QueuedConnection);
    });
}

void PreviewLoader::Finish(const std::string& path, int generation, int request, const PreviewImage* preview) {
    if (preview && generation == generation_ && done_) done_(path, *preview);
    // Requests run one at a time in order, so the latest one ending leaves nothing pending;
    // `done_` may have asked for another preview meanwhile.
    if (request > handled_) handled_ = request;
    if (IsIdle()) emit Idle();
}

}  // namespace quorvela::viewer
