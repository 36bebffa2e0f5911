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
    pool_.clear();  // requests not yet started are stale now
    pool_.start([this, path, generation] {
        if (generation != generation_) return;
        PreviewImage preview = DecodePreview(path, box_);
        // Back on the window's thread; an answer overtaken by a newer request is dropped there.
        QMetaObject::invokeMethod(
            this,
            [this, path, generation, preview = std::move(preview)] {
                if (generation == generation_ && done_) done_(path, preview);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace quorvela::viewer
