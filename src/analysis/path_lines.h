#pragma once

#include <string>
#include <string_view>

#include "library/photo_facts.h"

namespace quorvela::analysis {

// The pieces of a path-list line, from a photo's facts. They come back in UTF-8:
// the metadata's Windows-1252 texts are converted, since the lines are meant for a person.

// " - Make: <make> - Model: <model>", the parts present; empty without both.
std::string MakeModelText(const library::PhotoFacts& facts);

// " - Maker Notes --> " and " Label: <DESCRIPTION> Data: <TEXT> - " per maker-note entry,
// upper-cased; empty when `addMakerNotes` is off or the maker note was not decoded.
std::string Show2MakerNotes(const library::PhotoFacts& facts, bool addMakerNotes);

// The file's own focal-length text for stepped lines: its 35mm value, else "(real length)"
// and its focal length, with " mm" added when the text has no unit.
std::string Debuginfo(const library::PhotoFacts& facts);

// The line layouts. `path` is the full path, `mm` and `mn` the texts above.
std::string FocalLineStepped(std::string_view category, std::string_view debugInfo, std::string_view path,
                             std::string_view mm, std::string_view mn);
std::string FocalLine(std::string_view category, std::string_view path, std::string_view mm, std::string_view mn);
std::string IsoLine(std::string_view iso, std::string_view path, std::string_view mm, std::string_view mn);
std::string ApertureLine(std::string_view fNumber, std::string_view path, std::string_view mm, std::string_view mn);
std::string ShutterLine(std::string_view category, std::string_view path, std::string_view mm, std::string_view mn);
// "<lens> - <path> <make and model><maker notes>", the lens in UTF-8; a rating's line is
// laid out alike ("4 - <path> …", "rejected - <path> …").
std::string LensLine(std::string_view lens, std::string_view path, std::string_view mm, std::string_view mn);

}  // namespace quorvela::analysis
