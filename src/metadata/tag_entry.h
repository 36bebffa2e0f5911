#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

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

// A name, description, code list or pattern of a tag entry. Nearly all of them come from
// the constant tag tables, and a file stores dozens of entries: an entry then holds a view
// of the table's text instead of a copy. Texts made at run time are owned, so copying an
// entry always copies its texts' values.
class TagText {
  public:
    TagText() = default;
    TagText(std::string text) : owned_(std::move(text)), owns_(true) {}  // NOLINT(google-explicit-constructor)
    explicit TagText(std::string_view text) : owned_(text), owns_(true) {}
    // A view is copied as a view: a directory copies a table row for every entry it stores.
    TagText(const TagText& other) : view_(other.view_), owns_(other.owns_) {
        if (owns_) owned_ = other.owned_;
    }
    TagText& operator=(const TagText& other) {
        if (this == &other) return *this;
        if (other.owns_) {
            owned_ = other.owned_;
        } else {
            owned_.clear();
        }
        view_ = other.view_;
        owns_ = other.owns_;
        return *this;
    }
    TagText(TagText&&) noexcept = default;
    TagText& operator=(TagText&&) noexcept = default;
    ~TagText() = default;
    // A view of text that outlives every entry: the constant tables and their completions.
    static TagText Static(std::string_view text) {
        TagText t;
        t.view_ = text;
        return t;
    }

    [[nodiscard]] std::string_view view() const { return owns_ ? std::string_view(owned_) : view_; }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    [[nodiscard]] std::string str() const { return std::string(view()); }
    [[nodiscard]] bool empty() const { return view().empty(); }
    [[nodiscard]] std::size_t size() const { return view().size(); }
    [[nodiscard]] const char* data() const { return view().data(); }
    char operator[](std::size_t i) const { return view()[i]; }

    friend bool operator==(const TagText& a, std::string_view b) { return a.view() == b; }
    friend std::string operator+(const TagText& a, std::string_view b) { return a.str().append(b); }
    friend std::string operator+(std::string_view a, const TagText& b) { return std::string(a).append(b.view()); }
    friend std::ostream& operator<<(std::ostream& out, const TagText& t) { return out << t.view(); }

  private:
    std::string owned_;
    std::string_view view_;
    bool owns_ = false;
};

// A string literal as a tag text, kept as a view: a literal lives as long as the program.
// Only a literal can be written so; a buffer that could go away must be copied (TagText of a
// std::string) or be of static storage (TagText::Static).
inline namespace tag_text_literals {
inline TagText operator""_tag(const char* text, std::size_t size) {
    return TagText::Static(std::string_view(text, size));
}
}  // namespace tag_text_literals

// One tag: a row of a tag table, or an entry of a directory's tag list. Texts are
// Windows-1252 byte strings.
struct TTagEntry {
    std::int32_t Group = 0;
    std::uint16_t ValueType = 0;
    std::uint16_t SubCode = 0;
    std::uint16_t TagId = 0;
    TagText TagName;
    TagText Description;
    TagText CodeList;
    std::string Text;
    Bytes RawBytes;
    std::int32_t RawPosition = 0;
    TagText Pattern;
    std::int32_t ByteLength = 0;
    TagRenderer Renderer = nullptr;
    // The directory renders Text when it is asked for (TImageInfo::RenderOnDemand).
    bool TextPending = false;
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
