#pragma once

#include <string>
#include <string_view>

#include "equivalence/equivalent_table.h"

namespace quorvela::metadata {
class TImageInfo;
class TimgData;
}  // namespace quorvela::metadata

namespace quorvela::viewer {

// The ISO text found in the maker note of the directory: the ISO its make's reader found,
// else the digits of the value of the first entry (group 1) whose "<description> = <value>"
// mentions "ISO SPEED", "CCD SENSITIVITY" or "CCD ISO"; "0" when none does. Reads nothing, so
// it answers for the file the directory came from.
std::string GetIsoFromSpecific(metadata::TImageInfo& exif);

// The exposure summary of the photo at `path`: camera, shutter, aperture, focal length, its
// 35mm value (the file's own, else the camera table's) and ISO ("unknown" when neither the
// EXIF tag nor the maker note gives one other than 0), one per line, the lines
// separated by a single CR. Empty when the file cannot be read or has no EXIF block. The
// reader is reused; the texts come back in UTF-8.
std::string GetExifInfStr(metadata::TimgData& reader, const std::string& path,
                          const equivalence::EquivalentList& table);

// The summary with each CR turned into a line feed, as a label shows lines.
std::string SummaryForDisplay(std::string_view summary);

}  // namespace quorvela::viewer
