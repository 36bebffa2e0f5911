#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "end_ind.h"

namespace quorvela::metadata {

class TImageInfo;

// What a renderer may need besides the value text: the decimal separator of the run, and
// for maker-note renderers that add labelled items of their own, the directory being read.
struct RenderContext {
    char DecimalSeparator = '.';
    TImageInfo* Directory = nullptr;
    // Set by a renderer that added its own items; the entry then keeps its plain value text.
    bool MultiLineResult = false;
};

// Extra text transformation of a tag. Throws (any exception) to signal a failed rendering.
using TagRenderer = std::string (*)(const std::string& text, RenderContext& context);

// One tag: a row of a tag table, or an entry of a directory's tag list. Texts are
// Windows-1252 byte strings.
struct TTagEntry {
    std::int32_t Group = 0;
    std::uint16_t ValueType = 0;
    std::uint16_t SubCode = 0;
    std::uint16_t TagId = 0;
    std::string TagName;
    std::string Description;
    std::string CodeList;
    std::string Text;
    Bytes RawBytes;
    std::int32_t RawPosition = 0;
    std::string Pattern;
    std::int32_t ByteLength = 0;
    TagRenderer Renderer = nullptr;
};

// A table row as stored in the constant tables: texts as views into static storage.
struct TagRow {
    std::uint16_t TagId;
    std::string_view TagName;
    std::string_view Description = {};
    std::string_view CodeList = {};
    std::string_view Pattern = {};
    TagRenderer Renderer = nullptr;
};

// Bytes per value of a TIFF type code; 0 for codes outside 1..12.
constexpr int TypeSize(int type) {
    constexpr int sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return (type >= 1 && type <= 12) ? sizes[type] : 0;
}

}  // namespace quorvela::metadata
