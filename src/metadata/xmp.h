#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvela::metadata {

// The largest XMP packet read, embedded or in a sidecar. Editors write a few kilobytes, an
// extended packet with a depth map some hundreds; a larger one is refused unread.
inline constexpr std::size_t kMaxXmpBytes = std::size_t{4} * 1024 * 1024;
// The most bytes a value keeps: a rating, a label or a lens name is a few dozen.
inline constexpr std::size_t kMaxXmpValueBytes = 1024;

enum class XmpStatus {
    Ok,          // read; any value may still be missing
    Malformed,   // not well-formed XML, a document type declared, nested too deeply
    TooLarge,    // above kMaxXmpBytes: not read
    Unreadable,  // a sidecar that cannot be opened or is no regular file
};

// What a photo's XMP says of the properties the analysis uses, matched by namespace, never by
// prefix. A value is the property's text with its whitespace trimmed, cut to
// kMaxXmpValueBytes at a character's start; a property that is absent or blank is nullopt.
// A packet that is not Ok gives no values, except that a JPEG keeps the values of its
// standard packet when only its extended packet is refused.
struct XmpFacts {
    XmpStatus Status = XmpStatus::Ok;
    std::string Problem;                // why, when Status is not Ok, in words for the user
    std::optional<std::string> Rating;  // xmp:Rating, as written ("3", "-1")
    std::optional<std::string> Label;   // xmp:Label
    std::optional<std::string> Lens;    // exifEX:LensModel, else aux:Lens

    [[nodiscard]] bool Ok() const { return Status == XmpStatus::Ok; }
};

// A packet's facts, and the GUID its xmpNote:HasExtendedXMP names (empty when none): the
// standard packet of a JPEG names the extended packet its other segments carry.
struct XmpDocument {
    XmpFacts Facts;
    std::string ExtendedGuid;
};

// Parses one packet. `what` names it in a problem text ("XMP", "extended XMP"). No document
// type is read and no entity declared: a packet with a DOCTYPE is refused, so no entity can
// expand or reach outside it.
XmpDocument ParseXmpDocument(std::string_view packet, std::string_view what);

inline XmpFacts ParseXmp(std::string_view packet) {
    return ParseXmpDocument(packet, "XMP").Facts;
}

// What tells one state of a file from another: a file rewritten, replaced or touched gets
// another. 0s for a file that was not read.
struct FileIdentity {
    std::int64_t Size = 0;
    std::int64_t Inode = 0;
    std::int64_t ModifiedNs = 0;
    std::int64_t ChangedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const struct stat& info);

// The facts of the sidecar at `path`, and in `identity` (when given) the identity of the
// regular file it read. A symbolic link, a FIFO, a device or a folder is refused without
// reading or waiting (Unreadable), a file above kMaxXmpBytes without reading it (TooLarge).
XmpFacts ReadXmpSidecar(const std::string& path, FileIdentity* identity = nullptr);

// Facts that hold only a refusal.
XmpFacts XmpRefused(XmpStatus status, std::string problem);

}  // namespace quorvela::metadata
