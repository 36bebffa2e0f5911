#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvela::library {

// A folder as the file system knows it, whatever path led to it.
using FolderId = std::pair<dev_t, ino_t>;

// An entry of a folder that is a folder, or a link to one.
struct Subfolder {
    std::string Name;
    FolderId Id{};
    // Not to be entered: a link to a folder outside the chosen one, or a system folder
    // (/proc, /sys and their kind) that holds no photos but may lead anywhere.
    bool LeftOut = false;
};

// The folder a walk was asked for, as the file system resolves it: no link leads the walk out
// of it.
struct WalkBounds {
    std::string Root;  // the chosen folder's real path, links resolved
    explicit WalkBounds(const std::string& chosen);
    [[nodiscard]] bool Inside(const std::string& realPath) const;
};

// The path of `name` in `folder`.
std::string JoinPath(const std::string& folder, const std::string& name);

// Whether `path` names an existing folder (after following links).
bool IsExistingFolder(const std::string& path);

// Whether `path` names something that may be read as a photo: a regular file, after
// following links. FIFOs and devices named like photos are never opened.
bool IsReadableFile(const std::string& path);

// The subfolders of `folder`, links to folders included (a link to a folder is a folder, like a
// junction), in listing order; nothing when the folder cannot be read. A link that leads out
// of `bounds`, and a system folder, come marked LeftOut.
std::optional<std::vector<Subfolder>> ReadSubfolders(const std::string& folder, const WalkBounds& bounds);

class FolderWarmer;

// The folder and every folder below it, depth first, each before its own subfolders,
// siblings in listing order. Links to folders inside it are followed, but no folder is entered
// twice, so a link cycle ends; links out of it and system folders are left out, and counted in
// `leftOut` when given. When `stop` is given and set, the walk ends where it is: a stop must
// not wait for the walk of a large tree. With `warmer` (started at `root`), the folders are
// read by its threads and not again here.
void CollectFolders(const std::string& root, std::vector<std::string>& list, const std::atomic<bool>* stop = nullptr,
                    FolderWarmer* warmer = nullptr, int* leftOut = nullptr);

// What a folder's listing said of an entry. A plain file needs no look of its own before it is
// opened; anything else (a link, a file system that does not say) is looked at first, since a
// FIFO or a device must never be opened.
enum class EntryKind { Plain, NotPlain, Unknown };

// A file to read, and what its folder's listing said of it.
struct PhotoPath {
    std::string Path;
    EntryKind Kind = EntryKind::Unknown;
    // Its XMP sidecars, in the order they take precedence: DIR/NAME.EXT.xmp, those of the
    // shot's other files (NAME.NEF.xmp beside NAME.JPG), DIR/NAME.xmp; ".xmp" in any case.
    std::vector<std::string> Sidecars = {};
};

// What a folder's listing told besides its photos.
struct ListingNotes {
    std::string Problem;             // why the folder could not be read; empty when it could
    std::size_t RawHeifLeftOut = 0;  // RAW and HEIF files not taken, as a run without them asks
};

// The photos of one folder (ChoosePhotos of its listing), in listing order; nothing when the
// folder cannot be read. A folder named like a photo, or a link to one, is no photo.
std::vector<PhotoPath> FolderPhotos(const std::string& folder, bool withRawHeif, ListingNotes* notes = nullptr);

}  // namespace quorvela::library
