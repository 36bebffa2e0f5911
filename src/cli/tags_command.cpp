#include "tags_command.h"

#include <fmt/format.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <ostream>

#include "common/code_page.h"
#include "metadata/img_data.h"

namespace quorvela::cli {
namespace {

using common::Cp1252ToUtf8;
using metadata::TimgData;

std::string TagIdText(std::uint16_t id) {
    return fmt::format("0x{:04X}", id);
}

nlohmann::json FileJson(const std::string& path, const TimgData& reader) {
    nlohmann::json file;
    file["file"] = path;
    file["status"] = Cp1252ToUtf8(reader.StatusText);
    file["format"] = std::string(metadata::FormatName(reader.Format));
    file["hasAnyMetadata"] = reader.HasAnyMetadata();
    file["hasExifBlock"] = reader.HasExifBlock();
    file["makerNoteDecoded"] = reader.ExifDirectory != nullptr && reader.ExifDirectory->MakerNoteDecoded;
    nlohmann::json tags = nlohmann::json::array();
    if (reader.ExifDirectory) {
        for (const auto& tag : reader.ExifDirectory->Tags) {
            tags.push_back({{"group", tag.Group},
                            {"id", TagIdText(tag.TagId)},
                            {"name", Cp1252ToUtf8(tag.TagName)},
                            {"description", Cp1252ToUtf8(tag.Description)},
                            {"text", Cp1252ToUtf8(tag.Text)}});
        }
    }
    file["tags"] = std::move(tags);
    nlohmann::json iptc = nlohmann::json::array();
    if (reader.IptcRecords) {
        for (const auto& record : reader.IptcRecords->Records()) {
            iptc.push_back({{"record", record.SubCode},
                            {"dataset", record.TagId},
                            {"name", Cp1252ToUtf8(record.TagName)},
                            {"description", Cp1252ToUtf8(record.Description)},
                            {"text", Cp1252ToUtf8(record.Text)}});
        }
    }
    file["iptc"] = std::move(iptc);
    return file;
}

// The IPTC records of the file, one line each, after its tags.
void PrintIptc(const TimgData& reader, std::ostream& out) {
    if (!reader.IptcRecords || !reader.IptcRecords->HasRecords()) return;
    out << "  IPTC records:\n";
    for (const auto& record : reader.IptcRecords->Records()) {
        out << fmt::format("  {}:{:<3} {} ({}): {}\n", record.SubCode, record.TagId, Cp1252ToUtf8(record.TagName),
                           Cp1252ToUtf8(record.Description), Cp1252ToUtf8(record.Text));
    }
    out << '\n';
}

void PrintFile(const std::string& path, const TimgData& reader, std::ostream& out) {
    const bool makerNote = reader.ExifDirectory != nullptr && reader.ExifDirectory->MakerNoteDecoded;
    out << path << '\n';
    out << fmt::format("  status: {}   metadata: {}   EXIF block: {}   maker note decoded: {}   format: {}\n",
                       Cp1252ToUtf8(reader.StatusText), reader.HasAnyMetadata() ? "yes" : "no",
                       reader.HasExifBlock() ? "yes" : "no", makerNote ? "yes" : "no",
                       metadata::FormatName(reader.Format));
    if (!reader.ExifDirectory || reader.ExifDirectory->Tags.empty()) {
        out << "  (no tags)\n\n";
        PrintIptc(reader, out);
        return;
    }
    std::size_t nameWidth = 4;
    std::size_t descriptionWidth = 11;
    for (const auto& tag : reader.ExifDirectory->Tags) {
        nameWidth = std::max(nameWidth, tag.TagName.size());
        descriptionWidth = std::max(descriptionWidth, tag.Description.size());
    }
    out << fmt::format("  {:<5} {:<6} {:<{}} {:<{}} {}\n", "group", "id", "name", nameWidth, "description",
                       descriptionWidth, "text");
    for (const auto& tag : reader.ExifDirectory->Tags) {
        // Pad by bytes before converting, so accented texts do not shift the columns.
        out << fmt::format("  {:<5} {:<6} {} {} {}\n", tag.Group, TagIdText(tag.TagId),
                           Cp1252ToUtf8(tag.TagName + std::string(nameWidth - tag.TagName.size(), ' ')),
                           Cp1252ToUtf8(tag.Description + std::string(descriptionWidth - tag.Description.size(), ' ')),
                           Cp1252ToUtf8(tag.Text));
    }
    out << '\n';
    PrintIptc(reader, out);
}

// Why `path` cannot be read as a photo; empty when it is a file.
std::string NotAFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno == ENOENT ? "no such file" : std::strerror(errno);
    return S_ISREG(info.st_mode) ? std::string() : "not a file";
}

}  // namespace

int RunTagsCommand(const TagsOptions& options, std::ostream& out, std::ostream& err) {
    TimgData reader(true, options.decimalSeparator);
    nlohmann::json all = nlohmann::json::array();
    int status = 0;
    for (const std::string& path : options.files) {
        if (const std::string problem = NotAFile(path); !problem.empty()) {
            // Listed all the same, so that a script finds every path it gave; a FIFO or a
            // device is never opened.
            err << "quorvela-cli tags: " << problem << ": " << path << '\n';
            status = 1;
            reader.ResetReader();
            reader.StatusText = problem;
        } else {
            reader.ReadJpegFile(path);
        }
        if (options.json) {
            all.push_back(FileJson(path, reader));
        } else {
            PrintFile(path, reader, out);
        }
    }
    if (options.json) out << all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return status;
}

}  // namespace quorvela::cli
