#include "path_lines.h"

#include "common/ascii.h"
#include "common/code_page.h"
#include "common/text_file.h"
#include "file_values.h"

namespace quorvela::analysis {

using common::Cp1252ToUtf8;

namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) size += part.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view part : parts) out += part;
    return common::OnOneLine(std::move(out));
}

}  // namespace

std::string MakeModelText(const library::PhotoFacts& facts) {
    if (!facts.HasExif || (facts.Make.empty() && facts.Model.empty())) return {};
    std::string text;
    text.reserve(20 + facts.Make.size() + facts.Model.size());
    text += " - ";
    if (!facts.Make.empty()) (text += "Make: ") += facts.Make;
    if (!facts.Model.empty()) (text += " - Model: ") += facts.Model;
    return Cp1252ToUtf8(text);
}

std::string Show2MakerNotes(const library::PhotoFacts& facts, bool addMakerNotes) {
    if (!addMakerNotes || !facts.HasExif || !facts.MakerNoteDecoded) return {};
    std::string text = " - Maker Notes --> ";
    for (const auto& [description, value] : facts.MakerNotePairs) {
        text += " Label: " + common::UpperAscii(description) + " Data: " + common::UpperAscii(value) + " - ";
    }
    return Cp1252ToUtf8(text);
}

std::string Debuginfo(const library::PhotoFacts& facts) {
    if (!facts.HasExif) return {};
    std::string text = facts.FocalLength35;
    if (text.empty()) text = "(real length)" + facts.FocalLength;
    if (text.find("mm") == std::string::npos) text += " mm";
    return Cp1252ToUtf8(text);
}

std::string FocalLineStepped(std::string_view category, std::string_view debugInfo, std::string_view path,
                             std::string_view mm, std::string_view mn) {
    return Join({category, " mm = ", debugInfo, " - ", path, mm, mn});
}

std::string FocalLine(std::string_view category, std::string_view path, std::string_view mm, std::string_view mn) {
    return Join({category, " mm - ", path, mm, mn});
}

std::string IsoLine(std::string_view iso, std::string_view path, std::string_view mm, std::string_view mn) {
    return Join({"ISO ", LeftFill(iso, 4), " - ", path, " ", mm, mn});
}

std::string ApertureLine(std::string_view fNumber, std::string_view path, std::string_view mm, std::string_view mn) {
    return Join({LeftFill(fNumber, 5), " - ", path, " ", mm, mn});
}

std::string ShutterLine(std::string_view category, std::string_view path, std::string_view mm, std::string_view mn) {
    return Join({LeftFill(category, 7), " sec - ", path, " ", mm, mn});
}

std::string LensLine(std::string_view lens, std::string_view path, std::string_view mm, std::string_view mn) {
    return Join({lens, " - ", path, " ", mm, mn});
}

}  // namespace quorvela::analysis
