#pragma once

#include <QTreeView>
#include <functional>

namespace quorvela::ui {

// The tree of folders to choose from. When the current folder's row (or a row above it) is
// removed, because the folder was deleted, the view would make another folder current: this
// tells the window first, while the chosen folder is still current.
class FolderTree : public QTreeView {
  public:
    using QTreeView::QTreeView;

    std::function<void()> CurrentRemoved;

  protected:
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override {
        for (QModelIndex at = currentIndex(); at.isValid(); at = at.parent()) {
            if (at.parent() == parent && at.row() >= start && at.row() <= end && CurrentRemoved) CurrentRemoved();
        }
        QTreeView::rowsAboutToBeRemoved(parent, start, end);
    }
};

}  // namespace quorvela::ui
