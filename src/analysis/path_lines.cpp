#include "path_lines.h"

#include <algorithm>

#include "common/ascii.h"
#include "common/code_page.h"
#include "file_values.h"
#include "metadata/img_data.h"
#include "metadata/tag_names.h"

namespace quorvela::analysis {

using common::Cp1252ToUtf8;
using metadata::TimgData;

namespace {

bool HasExif(const TimgData& reader) {
    return reader.HasAnyMetadata() && reader.HasExifBlock() && reader.ExifDirectory != nullptr;
}

std::string Join(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) size += part.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view part : parts) out += part;
    return OnOneLine(std::move(out));
}

}  // namespace

std::string OnOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, '?');
    // U+2028 and U+2029 in UTF-8: a text view breaks its lines there too.
    for (std::size_t at = text.find("\xE2\x80"); at != std::string::npos; at = text.find("\xE2\x80", at + 1)) {
        if (at + 2 < text.size() && (text[at + 2] == '\xA8' || text[at + 2] == '\xA9')) {
            text[at] = '?';
            text.erase(at + 1, 2);
        }
    }
    return text;
}

std::string MakeModelText(const TimgData& reader) {
    if (!HasExif(reader)) return {};
    const metadata::TImageInfo& exif = *reader.ExifDirectory;
    std::string text;
    if (const std::string make = exif.TagTextByName(metadata::tags::Make); !make.empty()) text = "Make: " + make;
    if (const std::string model = exif.TagTextByName(metadata::tags::Model); !model.empty())
        text += " - Model: " + model;
    return text.empty() ? std::string() : Cp1252ToUtf8(" - " + text);
}

std::string Show2MakerNotes(const TimgData& reader, bool addMakerNotes) {
    if (!addMakerNotes || !HasExif(reader)) return {};
    metadata::TImageInfo& exif = *reader.ExifDirectory;
    exif.RewindTagSearch();
    if (!exif.MakerNoteDecoded) return {};
    std::string text = " - Maker Notes --> ";
    metadata::TTagEntry entry;
    while (exif.FindNextTag(1, entry)) {
        text += " Label: " + common::UpperAscii(entry.Description) + " Data: " + common::UpperAscii(entry.Text) + " - ";
    }
    return Cp1252ToUtf8(text);
}

std::string Debuginfo(const TimgData& reader) {
    if (!HasExif(reader)) return {};
    const metadata::TImageInfo& exif = *reader.ExifDirectory;
    std::string text = exif.TagTextByName(metadata::tags::FocalLengthIn35mmFilm);
    if (text.empty()) text = "(real length)" + exif.TagTextByName(metadata::tags::FocalLength);
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
