#include "image_info.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

#include "common/ascii.h"
#include "common/number_format.h"
#include "img_data.h"
#include "maker_note.h"
#include "tag_names.h"
#include "value_render.h"

namespace quorvela::metadata {
namespace {

// Links deeper than this are not followed: real files nest three levels, and a crafted
// chain of thousands of directories must not exhaust a worker thread's stack.
constexpr int kMaxDirectoryDepth = 16;

// Value bytes copied per file. A crafted directory can point thousands of entries at the
// same large value; past this budget values are clipped so a file cannot cost gigabytes.
constexpr std::int64_t kValueBudget = std::int64_t{8} * 1024 * 1024;
constexpr std::int64_t kClippedValue = 64;

// A 1/6" sensor, the smallest in cameras that store focal-plane resolutions, has a crop
// factor near 14.5.
constexpr double kLargestCropFactor = 15.0;

// The sensor diagonal an Olympus maker note can give, as a maker-note entry's name.
constexpr std::string_view kCcdDiagonal = "CCDDiagonal";

bool IsLinkTag(std::uint16_t tag) {
    return tag == 0x014A || tag == 0x8769 || tag == 0xA005;
}

// Tags of the main directories whose value the directory reads itself, listed or not: the
// pixel size, Make and Model, ExifVersion and the maker note.
bool ReadsOwnValue(std::uint16_t tag) {
    switch (tag) {
        case 0x0100:
        case 0x0101:
        case 0xA002:
        case 0xA003:
        case 0x010F:
        case 0x0110:
        case 0x9000:
        case 0x927C:
            return true;
        default:
            return false;
    }
}

// What Derive35mmFocalLength reads.
constexpr std::array<std::string_view, 7> kDerivedFrom = {
    tags::FocalLengthIn35mmFilm, tags::FocalPlaneResolutionUnit, tags::ResolutionUnit, tags::FocalLength,
    tags::FocalPlaneXResolution, tags::FocalPlaneYResolution,    kCcdDiagonal};

}  // namespace

TagNameFilter::TagNameFilter(std::span<const std::string_view> names) {
    const auto named = [&names](const TTagEntry& row) {
        const auto equal = [&row](std::string_view name) { return common::EqualsIgnoreAsciiCase(row.TagName, name); };
        return std::any_of(names.begin(), names.end(), equal) ||
               std::any_of(kDerivedFrom.begin(), kDerivedFrom.end(), equal);
    };
    for (const TableKind kind : {TableKind::Main, TableKind::Gps}) {
        for (const TTagEntry& row : kind == TableKind::Gps ? GpsTagTable() : MainTagTable()) {
            // The row a walk finds for the number: a table lists each number once.
            if (row.TagId != 0 && &FindTableRow(row.TagId, kind) == &row && named(row)) {
                (kind == TableKind::Gps ? gps_ : main_).set(row.TagId);
            }
        }
    }
}

TImageInfo::TImageInfo(TimgData* owner, bool collectTags, char decimalSeparator)
    : TImageInfo(owner, collectTags, decimalSeparator, {}, {}) {
    Tags.reserve(64);  // a camera's EXIF block holds 40 to 80 tags
}

TImageInfo::TImageInfo(TimgData* owner, bool collectTags, char decimalSeparator, std::vector<TTagEntry> tags,
                       Bytes block)
    : Tags(std::move(tags)),
      Owner(owner),
      CollectTags(collectTags),
      DecimalSeparator(decimalSeparator),
      valueBudget_(kValueBudget) {
    Block = std::move(block);
    // Completing the dictionary's descriptions happens once, on first use.
    (void)MainTagTable();
}

void TImageInfo::Recycle(TimgData* owner, bool collectTags, char decimalSeparator) {
    std::vector<TTagEntry> tags = std::move(Tags);
    Bytes block = std::move(Block);
    tags.clear();
    block.clear();
    *this = TImageInfo(owner, collectTags, decimalSeparator, std::move(tags), std::move(block));
}

void TImageInfo::SetStatus(std::string text) {
    if (Owner != nullptr) Owner->StatusText = std::move(text);
}

void TImageInfo::WalkDirectory(std::int64_t position, std::int64_t base, TableKind kind, std::int64_t bound) {
    WalkEntries(position, base, kind, bound, 0);
}

void TImageInfo::WalkEntries(std::int64_t position, std::int64_t base, TableKind kind, std::int64_t bound, int depth) {
    visited_.insert({base, position});
    const std::int64_t n = ReadU16(position);
    if (2 + 12 * n > base + bound) {
        SetStatus("Illegally sized directory");
        return;
    }
    for (std::int64_t i = 0; i < n; ++i) WalkEntry(position + 2 + 12 * i, base, kind, bound, depth);
}

void TImageInfo::WalkEntry(std::int64_t e, std::int64_t base, TableKind kind, std::int64_t bound, int depth) {
    const std::uint16_t tag = ReadU16(e);
    const int type = ReadU16(e + 2);
    const std::int32_t count = ReadI32(e + 4);
    // The product wraps like the 32-bit arithmetic of the format's readers.
    const auto length =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(TypeSize(type)) * static_cast<std::uint32_t>(count));
    if (length == 0) return;
    const std::int64_t valuePosition = length > 4 ? std::int64_t{ReadI32(e + 8)} + base : e + 8;
    // The budget weighs only the bytes the block holds: a count far beyond the block must
    // not cut a value that is all there.
    std::int64_t take = CountInside(valuePosition, length);
    if (take > kClippedValue && take > valueBudget_) take = kClippedValue;
    const bool main = kind == TableKind::Main;
    const bool readsItself = main && (ReadsOwnValue(tag) || tag == 0x8825 || IsLinkTag(tag));
    if (KeepOnly != nullptr && !readsItself && !KeepOnly->Keeps(tag, kind)) {
        valueBudget_ -= take;  // an entry this directory neither lists nor reads
        return;
    }

    const TTagEntry& row = FindTableRow(tag, kind);
    const bool listed = CollectTags && row.TagId != 0;
    const bool kept = listed && (KeepOnly == nullptr || KeepOnly->Keeps(tag, kind));
    // Make and Model are needed now: the maker-note decoder reads them.
    const bool makeOrModel = tag == 0x010F || tag == 0x0110;
    Bytes value;
    if (kept || (main && ReadsOwnValue(tag))) value = SliceClipped(std::max<std::int64_t>(valuePosition, 1), take);
    valueBudget_ -= take;
    std::string text;
    const bool pending = RenderOnDemand && !makeOrModel;
    if (listed && !pending && (kept || makeOrModel)) text = RenderEntryText(row, tag, type, value);

    if (main) {
        if (tag == 0x8825) {
            FollowLink(valuePosition, base, TableKind::Gps, bound, depth);
        } else if (IsLinkTag(tag)) {
            FollowLink(valuePosition, base, TableKind::Main, bound, depth);
        } else if (tag == 0x927C && !kept) {
            HandOverMakerNote(std::move(value), valuePosition, base);
            return;  // nothing else of the entry is kept
        } else if (tag == 0x927C) {
            HandOverMakerNote(value, valuePosition, base);  // the entry keeps its own copy
        } else {
            TakeMainValue(tag, type, value, text);
        }
    }

    if (kept) {
        // Built in place: the row's texts are views, the value and text are moved in.
        TTagEntry& entry = Tags.emplace_back(row);
        entry.Text = std::move(text);
        entry.TextPending = pending;
        entry.ByteLength = static_cast<std::int32_t>(value.size());
        entry.RawBytes = std::move(value);
        entry.RawPosition = static_cast<std::int32_t>(valuePosition);
        entry.ValueType = static_cast<std::uint16_t>(type);
    }
}

void TImageInfo::TakeMainValue(std::uint16_t tag, int type, const Bytes& value, const std::string& text) {
    switch (tag) {
        case 0x0100:
        case 0xA002:
            PixelWidth =
                static_cast<std::int32_t>(common::RoundHalfEven(NumericValue(value, type, BigEndian)).value_or(0));
            break;
        case 0x0101:
        case 0xA003:
            PixelHeight =
                static_cast<std::int32_t>(common::RoundHalfEven(NumericValue(value, type, BigEndian)).value_or(0));
            break;
        case 0x010F:
            MakeText = text.substr(0, 32);
            break;
        case 0x0110:
            ModelText = text.substr(0, 40);
            break;
        case 0x9000:
            VersionText.assign(value.begin(), value.begin() + std::min<std::size_t>(6, value.size()));
            break;
        default:
            break;
    }
}

std::string TImageInfo::RenderEntryText(const TTagEntry& row, std::uint16_t tag, int type, const Bytes& value) const {
    std::string text;
    if (type == 2) {
        // An ASCII value ends at its first zero: cameras pad Make and Model with zeros.
        const auto zero = std::find(value.begin(), value.end(), std::uint8_t{0});
        text.assign(value.begin(), zero);
    } else if (type == 7) {
        const auto zero = std::find(value.begin(), value.end(), std::uint8_t{0});
        text = '"' + std::string(value.begin(), zero) + '"';
    } else {
        try {
            text = RenderValue(value, type, row.CodeList, row.Pattern, BigEndian, DecimalSeparator);
        } catch (const std::exception& error) {
            if (!IsFileFault(error)) throw;
            // A pattern that cannot show the number leaves the plain values.
            text = RenderValue(value, type, row.CodeList, {}, BigEndian, DecimalSeparator);
        }
    }
    if (row.Renderer != nullptr) {
        // A failing renderer fails only its own tag, which keeps its plain value text.
        try {
            // The dictionary's renderers add no items of their own: no directory to add to.
            RenderContext context{DecimalSeparator, nullptr, false};
            text = row.Renderer(text, context);
        } catch (const std::exception& error) {
            if (!IsFileFault(error)) throw;
            text = MakePrintable(text);
        }
    } else {
        text = MakePrintable(text);
    }
    if (tag == 0x9286) {
        // UserComment: drop the 8-byte character-code prefix and the final byte.
        const std::size_t size = value.size();
        text =
            size > 9
                ? std::string(common::Trim(std::string_view(reinterpret_cast<const char*>(value.data()) + 8, size - 9)))
                : std::string();
    }
    return text;
}

void TImageInfo::FollowLink(std::int64_t valuePosition, std::int64_t base, TableKind kind, std::int64_t bound,
                            int depth) {
    if (depth >= kMaxDirectoryDepth) return;
    try {
        const std::int64_t p = std::int64_t{ReadI32(valuePosition)} + base;
        if (visited_.count({base, p}) != 0) return;
        WalkEntries(p, base, kind, bound, depth + 1);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        // A broken sub-directory keeps what it stored; the parent goes on.
    }
}

void TImageInfo::HandOverMakerNote(Bytes value, std::int64_t valuePosition, std::int64_t tiffBase) {
    // A second note: the first is decoded from its own bytes before they are replaced.
    DecodeMakerNote();
    MakerNoteBytes = std::move(value);
    MakerNotePosition = static_cast<std::int32_t>(valuePosition);
    MakerNoteTiffBase = tiffBase;
    if (DeferMakerNote) {
        makerNotePending_ = true;
        makerNoteSlot_ = Tags.size();
        return;
    }
    TmsInfo decoder(*this, TiffSource);
    MakerNoteDecoded = decoder.ReadMakerNote();
}

void TImageInfo::DecodeMakerNoteAt(std::int64_t position, std::int64_t length, std::int64_t tiffBase) {
    HandOverMakerNote(SliceClipped(position, length), position, tiffBase);
}

void TImageInfo::DecodeMakerNote() {
    if (!makerNotePending_) return;
    makerNotePending_ = false;
    const std::size_t before = Tags.size();
    TmsInfo decoder(*this, TiffSource);
    MakerNoteDecoded = decoder.ReadMakerNote();
    const std::size_t slot = std::min(makerNoteSlot_, before);
    std::rotate(Tags.begin() + static_cast<std::ptrdiff_t>(slot), Tags.begin() + static_cast<std::ptrdiff_t>(before),
                Tags.end());
}

std::vector<TTagEntry> TImageInfo::PendingMakerNoteEntries(std::span<const std::string_view> names) {
    if (!makerNotePending_) return {};
    return TmsInfo(*this, TiffSource).FindEntries(names);
}

void TImageInfo::PrepareLookup(std::string_view name) {
    if (!makerNotePending_ || !MakerNoteMayName(name)) return;
    const int index = TagIndexByName(name);
    if (index < 0 || static_cast<std::size_t>(index) >= makerNoteSlot_) DecodeMakerNote();
}

int TImageInfo::AppendTag(TTagEntry entry) {
    if (entry.TagId != 0) Tags.push_back(std::move(entry));
    return TagCount() - 1;
}

int TImageInfo::TagIndexByName(std::string_view name) const {
    for (std::size_t i = 0; i < Tags.size(); ++i) {
        // Most names differ in length: that test needs no call.
        const std::string_view tagName = Tags[i].TagName.view();
        if (tagName.size() == name.size() && common::EqualsIgnoreAsciiCase(tagName, name)) return static_cast<int>(i);
    }
    return -1;
}

std::string TImageInfo::TagTextByName(std::string_view name) const {
    const int index = TagIndexByName(name);
    if (index < 0) return {};
    const TTagEntry& entry = Tags[static_cast<std::size_t>(index)];
    return entry.TextPending ? RenderEntryText(entry, entry.TagId, entry.ValueType, entry.RawBytes) : entry.Text;
}

bool TImageInfo::FindNextTag(int group, TTagEntry& out) {
    out = TTagEntry{};
    while (SearchCursor < Tags.size() && Tags[SearchCursor].Group != group) ++SearchCursor;
    if (SearchCursor >= Tags.size()) {
        SearchCursor = Tags.size();
        return false;
    }
    out = Tags[SearchCursor++];
    if (out.TextPending) {
        out.Text = RenderEntryText(out, out.TagId, out.ValueType, out.RawBytes);
        out.TextPending = false;
    }
    return true;
}

double TImageInfo::TagNumberByName(std::string_view name) const {
    const int index = TagIndexByName(name);
    if (index < 0) return 0.0;
    const TTagEntry& entry = Tags[static_cast<std::size_t>(index)];
    if (entry.TagId == 0) return 0.0;
    return NumericValue(entry.RawBytes, entry.ValueType, BigEndian);
}

int TImageInfo::TagRoundedByName(std::string_view name) const {
    const auto rounded = common::RoundHalfEven(TagNumberByName(name));
    if (!rounded || *rounded > INT32_MAX || *rounded < INT32_MIN) return 0;
    return static_cast<int>(*rounded);
}

void TImageInfo::Derive35mmFocalLength() {
    for (const std::string_view name : kDerivedFrom) PrepareLookup(name);
    // Whether the note was decoded decides the factor of an Olympus.
    if (common::UpperAscii(MakeText.substr(0, 5)) == "OLYMP") DecodeMakerNote();
    if (TagIndexByName(tags::FocalLengthIn35mmFilm) >= 0) return;
    int unit = TagRoundedByName(tags::FocalPlaneResolutionUnit);
    if (unit < 1) unit = TagRoundedByName(tags::ResolutionUnit);
    const double mmPerUnit = unit == 2 ? 25.4 : unit == 3 ? 10.0 : 0.0;
    if (mmPerUnit == 0.0) return;
    const double f = TagNumberByName(tags::FocalLength);
    if (f == 0.0) return;
    double w = 0.0;
    double h = 0.0;
    if (const int xr = TagRoundedByName(tags::FocalPlaneXResolution); xr > 0) w = PixelWidth * mmPerUnit / xr;
    if (const int yr = TagRoundedByName(tags::FocalPlaneYResolution); yr > 0) h = PixelHeight * mmPerUnit / yr;

    double k = 0.0;
    if (common::UpperAscii(MakeText.substr(0, 5)) == "OLYMP") {
        if (MakerNoteDecoded && common::UpperAscii(ModelText.substr(0, 2)) == "E-") k = 2.0;
        const double diagonal = TagNumberByName(kCcdDiagonal);
        if (diagonal > 0.0) k = 43.2 / diagonal;
    } else {
        if (!(w * h > 0.0)) return;
        k = 43.26661531 / std::sqrt(w * w + h * h);
        // An editor that shrinks a photo rewrites its pixel size but keeps the camera's
        // focal-plane resolution: the "sensor" then measures a millimetre or two and the
        // length becomes thousands of mm. No camera sensor is that small.
        if (k > kLargestCropFactor) return;
    }
    const double f35 = f * k;
    TTagEntry entry = FindMainRowByName(tags::FocalLengthIn35mmFilm);
    try {
        entry.Text = common::FormatFixed(f35, 2, 5, DecimalSeparator);
    } catch (const std::exception& error) {
        if (!IsFileFault(error)) throw;
        return;  // a length that cannot be written is no length
    }
    entry.RawBytes.clear();
    entry.ByteLength = 0;
    entry.Pattern = "%s mm"_tag;
    entry.ValueType = 10;
    AppendTag(std::move(entry));
}

}  // namespace quorvela::metadata
