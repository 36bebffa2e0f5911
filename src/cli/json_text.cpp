#include "json_text.h"

#include <algorithm>

namespace quorvela::cli {

namespace {

constexpr auto kReplace = nlohmann::json::error_handler_t::replace;

// A line of printable ASCII without quote or backslash is written as it stands; any other
// through nlohmann's own escaping, which also decides how invalid UTF-8 is replaced.
void AppendString(std::string& out, const std::string& text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\';
    });
    if (!plain) {
        out += nlohmann::json(text).dump(-1, ' ', false, kReplace);
        return;
    }
    out += '"';
    out += text;
    out += '"';
}

}  // namespace

std::string DumpWithLines(nlohmann::json object, const std::string& key, const std::vector<std::string>& lines) {
    object[key] = nullptr;
    std::string text = object.dump(2, ' ', false, kReplace);
    // The member as a top-level member of an indented object stands on a line of its own; a
    // key inside a string would have its quotes escaped.
    const std::string member = "\n  " + nlohmann::json(key).dump() + ": null";
    const std::size_t at = text.find(member);
    if (at == std::string::npos) return text;  // not an object: nothing to put in
    std::string array;
    if (lines.empty()) {
        array = "[]";
    } else {
        std::size_t size = 8;
        for (const std::string& line : lines) size += line.size() + 8;
        array.reserve(size);
        array = "[\n";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            array += "    ";
            AppendString(array, lines[i]);
            array += i + 1 < lines.size() ? ",\n" : "\n";
        }
        array += "  ]";
    }
    const std::size_t value = at + member.size() - 4;  // where "null" stands
    text.replace(value, 4, array);
    return text;
}

}  // namespace quorvela::cli
