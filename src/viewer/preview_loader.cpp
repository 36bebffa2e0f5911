#include "viewer/preview_loader.h"

#include <QMetaObject>
#include <memory>
#include <utility>

namespace quorvela::viewer {

// Goes with a request's task, whether the task runs or is dropped from the queue unstarted:
// when the last copy goes, the loader learns on its own thread that the request has settled.
class PreviewLoader::Settler {
  public:
    explicit Settler(PreviewLoader* loader) : loader_(loader) {}
    Settler(const Settler&) = delete;
    Settler& operator=(const Settler&) = delete;
    ~Settler() {
        PreviewLoader* loader = loader_;
        QMetaObject::invokeMethod(
            loader, [loader] { loader->Settled(); }, Qt::QueuedConnection);
    }

  private:
    PreviewLoader* loader_;
};

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
    ++unsettled_;
    auto settler = std::make_shared<Settler>(this);
    pool_.start([this, path, generation, settler] {
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

void PreviewLoader::Settled() {
    if (--unsettled_ == 0) emit Idle();
}

}  // namespace quorvela::viewer
