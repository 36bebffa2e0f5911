#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "end_ind.h"
#include "tag_entry.h"
#include "tag_tables.h"

namespace quorvela::metadata {

class TimgData;

// The entries a walk keeps: those whose table row is named one of a list (ignoring case), and
// always those the 35mm focal length is derived from. A reader that is asked for a dozen names
// needs none of a photo's other fifty entries, each an allocation.
class TagNameFilter {
  public:
    explicit TagNameFilter(std::span<const std::string_view> names);
    // Whether an entry of this tag number in a directory of this kind is kept: a tag of the
    // table whose row is named.
    [[nodiscard]] bool Keeps(std::uint16_t tag, TableKind kind) const {
        return (kind == TableKind::Gps ? gps_ : main_).test(tag);
    }

  private:
    std::bitset<65536> main_;
    std::bitset<65536> gps_;
};

// The EXIF directory of one file: every known tag of IFD0 and the directories it links
// to, as named, rendered entries; maker-note entries carry Group 1.
class TImageInfo : public tEndInd {
  public:
    TImageInfo(TimgData* owner, bool collectTags, char decimalSeparator);

    std::vector<TTagEntry> Tags;
    TimgData* Owner = nullptr;
    std::string VersionText;  // at most 6 bytes
    std::string MakeText;     // at most 32 characters
    std::string ModelText;    // at most 40 characters
    std::int32_t PixelHeight = 0;
    std::int32_t PixelWidth = 0;
    bool CollectTags = true;
    Bytes MakerNoteBytes;
    bool TiffSource = false;
    bool MakerNoteDecoded = false;
    // The ISO the decoded maker note keeps, rounded: its own ISO field, or the one the camera
    // computed from its settings. None when the note keeps none or its make reads none.
    std::optional<std::int64_t> MakerNoteIso;
    std::int32_t MakerNotePosition = 0;
    // The 1-based block position of the TIFF header the maker note's offsets count from.
    std::int64_t MakerNoteTiffBase = 9;
    std::size_t SearchCursor = 0;
    char DecimalSeparator = '.';
    // Entries of the EXIF, GPS and interoperability directories are rendered when
    // TagTextByName or FindNextTag asks for them rather than during the walk: a run reads a
    // dozen of a photo's sixty tags. Every text is the same either way; direct readers of
    // `Tags` (the tag listing) keep this off.
    bool RenderOnDemand = false;
    // The walk keeps the maker note's bytes but leaves decoding it to DecodeMakerNote: most
    // runs need no maker-note entry, and decoding one costs more than the rest of the walk.
    bool DeferMakerNote = false;
    // When set, the walk lists only the entries it keeps (the maker note's are all listed).
    // Every look-up of a kept name answers as without it.
    const TagNameFilter* KeepOnly = nullptr;

    // This directory made anew for another file, keeping the capacity of its block and list.
    void Recycle(TimgData* owner, bool collectTags, char decimalSeparator);

    [[nodiscard]] bool MakerNotePending() const { return makerNotePending_; }
    // Decodes a deferred maker note; its entries take the place an undeferred walk gives
    // them, so every look-up answers as if it had never been deferred.
    void DecodeMakerNote();
    // The entries a decode of the deferred maker note would add from table rows named one of
    // `names`, in its order, with their value bytes and no text; none when no note is pending.
    // The note stays deferred.
    std::vector<TTagEntry> PendingMakerNoteEntries(std::span<const std::string_view> names);
    // Decodes a deferred maker note when one of its entries could answer TagTextByName(name)
    // ahead of the entry found now.
    void PrepareLookup(std::string_view name);

    [[nodiscard]] int TagCount() const { return static_cast<int>(Tags.size()); }

    // Reads the directory at 1-based `position` and, through links, its sub-directories.
    // A read outside the block throws ReadFailure out of the top directory only.
    void WalkDirectory(std::int64_t position, std::int64_t base, TableKind kind, std::int64_t bound);

    // Adds a copy unless its TagId is 0; returns the index of the last entry.
    int AppendTag(TTagEntry entry);

    [[nodiscard]] int TagIndexByName(std::string_view name) const;
    [[nodiscard]] std::string TagTextByName(std::string_view name) const;
    bool FindNextTag(int group, TTagEntry& out);
    void RewindTagSearch() { SearchCursor = 0; }
    [[nodiscard]] double TagNumberByName(std::string_view name) const;
    [[nodiscard]] int TagRoundedByName(std::string_view name) const;

    // Decodes a maker note that is a directory of its own rather than a tag's value: the
    // `length` bytes at 1-based `position`, whose offsets count from `tiffBase` (a CR3 file's).
    void DecodeMakerNoteAt(std::int64_t position, std::int64_t length, std::int64_t tiffBase);

    // Adds a computed FocalLengthin35mmFilm entry from the sensor size when none is stored.
    void Derive35mmFocalLength();

    // Records a problem in the owner's status text.
    void SetStatus(std::string text);

  private:
    TImageInfo(TimgData* owner, bool collectTags, char decimalSeparator, std::vector<TTagEntry> tags, Bytes block);
    void WalkEntries(std::int64_t position, std::int64_t base, TableKind kind, std::int64_t bound, int depth);
    void FollowLink(std::int64_t valuePosition, std::int64_t base, TableKind kind, std::int64_t bound, int depth);
    void WalkEntry(std::int64_t entry, std::int64_t base, TableKind kind, std::int64_t bound, int depth);
    void TakeMainValue(std::uint16_t tag, int type, const Bytes& value, const std::string& text);
    [[nodiscard]] std::string RenderEntryText(const TTagEntry& row, std::uint16_t tag, int type,
                                              const Bytes& value) const;
    void HandOverMakerNote(Bytes value, std::int64_t valuePosition, std::int64_t tiffBase);

    std::set<std::pair<std::int64_t, std::int64_t>> visited_;
    bool makerNotePending_ = false;
    std::size_t makerNoteSlot_ = 0;  // where the deferred note's entries belong in Tags
    std::int64_t valueBudget_;
};

}  // namespace quorvela::metadata
