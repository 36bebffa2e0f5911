#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorvela::viewer {

// Whether a file exists at a path; the file system's answer by default, a test's own in tests.
using FileExists = std::function<bool(const std::string& path)>;

bool IsRegularFile(const std::string& path);

// The photo's path on a path-list line. Every line layout puts " - " right before the full
// path, and after it comes the end of the line, a blank, or " - " and the make, model or maker
// notes. The path starts at the first " - " followed by an absolute path ("/", "C:\" or
// "\\server"); it ends after a photo extension (.jpg, .jpeg, .jpe, .thm, or a RAW's or HEIF's
// such as .cr3, .nef, .heic, in any case) that is followed by one of those endings. Of the
// possible ends the first that names an existing file wins, else the first possible end: a
// folder or file name may itself hold ".jpg", " " or " - ". Empty when the line holds no such
// path.
std::string PathFromLine(std::string_view line, const FileExists& exists = IsRegularFile);

}  // namespace quorvela::viewer
