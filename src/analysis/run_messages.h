#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvela::analysis {

// The texts a run says, as the user reads them.

inline constexpr std::string_view kNoFolderSelected = "No folder selected.";
inline constexpr std::string_view kNoJpegFiles = "No jpeg files found.";
inline constexpr std::string_view kNoExifInfo = "None of the jpeg files contained EXIF info.";
inline constexpr std::string_view kNoFilterMatch = "None of the jpeg files match the make and/or model filter strings.";
inline constexpr std::string_view kPlotInterrupted = "Plot interrupted, graph not complete.";
inline constexpr std::string_view kCacheSetAside = "Remembered photos are not used in this run, the photos are read: ";
inline constexpr const char* kOutOfMemory = "not enough memory";

// "Files analyzed: N out of total: M".
std::string RunSummaryText(int filesAnalysed, int filesFound);

// How many folders the walk left out, and why.
std::string FoldersLeftOutText(int folders);
// How many folders could not be read, and why the first could not.
std::string FoldersUnreadableText(int folders, const std::string& firstReason);
// How many photos could not be read for `reason`, a failure of the machine's (kOutOfMemory) or
// of the program's rather than of the photos'.
std::string PhotosNotReadText(int photos, const std::string& reason);
// How many photos had XMP (their own or a sidecar) that could not be read, the first photo and why.
std::string XmpNotReadText(int photos, const std::string& firstPhoto, const std::string& reason);
// Beside kNoJpegFiles: how many RAW and HEIF files a run of JPEG files only passed over.
std::string RawHeifLeftOutText(std::size_t files);

}  // namespace quorvela::analysis
