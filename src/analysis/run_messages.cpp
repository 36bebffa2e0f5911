#include "run_messages.h"

namespace quorvela::analysis {

std::string RunSummaryText(int filesAnalysed, int filesFound) {
    return "Files analyzed: " + std::to_string(filesAnalysed) + " out of total: " + std::to_string(filesFound);
}

std::string FoldersUnreadableText(int folders, const std::string& firstReason) {
    return std::to_string(folders) + (folders == 1 ? " folder" : " folders") + " could not be read (" + firstReason +
           ").";
}

std::string PhotosNotReadText(int photos, const std::string& reason) {
    return std::to_string(photos) + (photos == 1 ? " photo" : " photos") + " could not be read (" + reason + ").";
}

std::string XmpNotReadText(int photos, const std::string& firstPhoto, const std::string& reason) {
    std::string text = std::to_string(photos);
    text.append(photos == 1 ? " photo has" : " photos have")
        .append(" XMP that was not read, its rating, label and lens left out; the first, ")
        .append(firstPhoto)
        .append(": ")
        .append(reason);
    return text;
}

std::string RawHeifLeftOutText(std::size_t files) {
    return std::to_string(files) + (files == 1 ? " RAW or HEIF file was" : " RAW or HEIF files were") +
           " not read: the run reads JPEG files only.";
}

std::string FoldersLeftOutText(int folders) {
    return std::to_string(folders) + (folders == 1 ? " folder was" : " folders were") +
           " left out: links that lead outside the chosen folder, and system folders such as /proc.";
}

}  // namespace quorvela::analysis
