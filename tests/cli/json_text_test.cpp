// The path list is written into the JSON without nlohmann's tree; the text must be the one
// nlohmann would write, whatever a line holds.
#include "cli/json_text.h"

#include <gtest/gtest.h>

namespace quorvela::cli {
namespace {

TEST(DumpWithLines, AsNlohmannWritesTheWholeObject) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {""},
        {"___50 mm - /photos/IMG_1.JPG - Make: Canon"},
        {"a \"quoted\" \\ back/slash", "tab\there", "line\nbreak\r", std::string("nul\0in", 6), "\x01\x1f\x7f"},
        {"caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x93\xB7", "latin-1 \xE9t\xE9", "cut \xE6\x97", "\xC0\xAF over-long",
         "\xED\xA0\x80 surrogate", "\xF4\x90\x80\x80 beyond", "\xC3"},
        {"\"pathList\": null", "\n  \"pathList\": null"},
    };
    for (const auto& lines : cases) {
        nlohmann::json object;
        object["messages"] = std::vector<std::string>{"m\n  \"pathList\": null"};
        object["root"] = "/photos";
        object["zebra"] = 1;
        nlohmann::json whole = object;
        whole["pathList"] = lines;
        const auto replace = nlohmann::json::error_handler_t::replace;
        EXPECT_EQ(DumpWithLines(object, "pathList", lines), whole.dump(2, ' ', false, replace))
            << (lines.empty() ? std::string("no lines") : lines.front());
    }
}

}  // namespace
}  // namespace quorvela::cli
