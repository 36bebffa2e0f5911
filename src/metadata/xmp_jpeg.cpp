#include "xmp_jpeg.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "byte_order.h"

namespace quorvela::metadata {
namespace {

constexpr std::string_view kStandardSignature("http://ns.adobe.com/xap/1.0/\0", 29);
constexpr std::string_view kExtendedSignature("http://ns.adobe.com/xmp/extension/\0", 35);
static_assert(kExtendedSignature.size() == JpegXmp::kSignatureBytes);
constexpr std::size_t kGuidBytes = 32;
constexpr std::size_t kChunkHeaderBytes = kGuidBytes + 8;
// Chunks kept: a packet of 4 MiB takes 65 segments; a file of countless tiny ones stops here.
constexpr std::size_t kMaxChunks = 128;

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

bool JpegXmp::MayBeXmp(std::span<const std::uint8_t> start) {
    const auto matches = [start](std::string_view signature) {
        return StartsWith(start, signature.substr(0, std::min(start.size(), signature.size())));
    };
    return matches(kStandardSignature) || matches(kExtendedSignature);
}

bool JpegXmp::Take(std::span<const std::uint8_t> payload) {
    if (StartsWith(payload, kExtendedSignature)) return TakeChunk(payload.subspan(kExtendedSignature.size()));
    if (!StartsWith(payload, kStandardSignature) || standard_) return false;
    standard_ = ParseXmpDocument(AsText(payload.subspan(kStandardSignature.size())), "XMP");
    return true;
}

bool JpegXmp::TakeChunk(std::span<const std::uint8_t> body) {
    if (body.size() < kChunkHeaderBytes || chunks_.size() >= kMaxChunks) return false;
    Chunk chunk;
    chunk.Guid = AsText(body.first(kGuidBytes));
    chunk.FullLength = static_cast<std::uint32_t>(LoadBe(body, kGuidBytes, 4));
    chunk.Offset = static_cast<std::uint32_t>(LoadBe(body, kGuidBytes + 4, 4));
    const auto data = body.subspan(kChunkHeaderBytes);
    // A chunk of a packet too large to read is kept without its bytes: it says why.
    if (chunk.FullLength <= kMaxXmpBytes) {
        if (data.size() > kMaxXmpBytes - chunkBytes_) return false;
        chunk.Data.assign(data.begin(), data.end());
        chunkBytes_ += data.size();
    }
    chunks_.push_back(std::move(chunk));
    return true;
}

bool JpegXmp::Complete() const {
    if (!standard_) return false;
    const std::string& guid = standard_->ExtendedGuid;
    if (guid.empty()) return true;
    std::uint64_t covered = 0;
    std::optional<std::uint32_t> full;
    for (const Chunk& chunk : chunks_) {
        if (chunk.Guid != guid) continue;
        if (chunk.FullLength > kMaxXmpBytes) return true;  // refused whatever follows
        covered += chunk.Data.size();
        full = chunk.FullLength;
    }
    return full && covered >= *full;
}

XmpFacts JpegXmp::ExtendedFacts() const {
    std::vector<const Chunk*> mine;
    for (const Chunk& chunk : chunks_) {
        if (chunk.Guid == standard_->ExtendedGuid) mine.push_back(&chunk);
    }
    if (mine.empty()) return XmpRefused(XmpStatus::Malformed, "the extended XMP is missing");
    const std::uint32_t full = mine.front()->FullLength;
    if (full > kMaxXmpBytes) return XmpRefused(XmpStatus::TooLarge, "the extended XMP is larger than 4 MiB");
    std::stable_sort(mine.begin(), mine.end(), [](const Chunk* a, const Chunk* b) { return a->Offset < b->Offset; });
    std::string packet(full, '\0');
    std::size_t covered = 0;  // bytes from the start that chunks filled
    for (const Chunk* chunk : mine) {
        if (chunk->FullLength != full || chunk->Offset > full || chunk->Data.size() > full - chunk->Offset) {
            return XmpRefused(XmpStatus::Malformed, "the extended XMP's chunks do not fit together");
        }
        if (chunk->Offset > covered) break;  // a chunk is missing here
        std::copy(chunk->Data.begin(), chunk->Data.end(), packet.begin() + chunk->Offset);
        covered = std::max(covered, std::size_t{chunk->Offset} + chunk->Data.size());
    }
    if (covered < full) return XmpRefused(XmpStatus::Malformed, "the extended XMP is incomplete");
    return ParseXmpDocument(packet, "extended XMP").Facts;
}

std::optional<XmpFacts> JpegXmp::Facts() const {
    if (!standard_) return std::nullopt;
    XmpFacts facts = standard_->Facts;
    if (!facts.Ok() || standard_->ExtendedGuid.empty()) return facts;
    XmpFacts extended = ExtendedFacts();
    if (!extended.Ok()) {
        facts.Status = extended.Status;
        facts.Problem = std::move(extended.Problem);
        return facts;
    }
    if (!facts.Rating) facts.Rating = std::move(extended.Rating);
    if (!facts.Label) facts.Label = std::move(extended.Label);
    if (!facts.Lens) facts.Lens = std::move(extended.Lens);
    return facts;
}

void JpegXmp::Clear() {
    standard_.reset();
    chunks_.clear();
    chunkBytes_ = 0;
}

}  // namespace quorvela::metadata
