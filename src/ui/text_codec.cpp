#include "ui/text_codec.h"

#include "common/code_page.h"

namespace quorvela::ui {

QString FromCp1252(std::string_view bytes) {
    return FromUtf8(common::Cp1252ToUtf8(bytes));
}

std::string ToCp1252(const QString& text) {
    // Through UTF-8, so a character outside the Basic Multilingual Plane (two UTF-16 units)
    // becomes one "?", as on the command line.
    return common::Utf8ToCp1252(ToUtf8(text));
}

}  // namespace quorvela::ui
