#include "maker_note.h"

#include "image_info.h"

namespace quorvela::metadata {

bool TmsInfo::ReadMakerNote() {
    // No maker-note layout is decoded yet.
    (void)directory_;
    (void)tiffSource_;
    return false;
}

}  // namespace quorvela::metadata
