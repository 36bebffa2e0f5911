#pragma once

namespace quorvela::metadata {

class TImageInfo;

// Decodes the maker note that the directory reader stored on `directory`
// (MakerNoteBytes, MakerNotePosition), adding its entries with Group 1.
class TmsInfo {
public:
    TmsInfo(TImageInfo& directory, bool tiffSource) : directory_(directory), tiffSource_(tiffSource) {}
    // True when the make was recognised and its note walked.
    bool ReadMakerNote();

private:
    TImageInfo& directory_;
    bool tiffSource_;
};

}  // namespace quorvela::metadata
