#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvela::equivalence {

// The camera table in memory: one joined text per accepted entry, in file order, such as
// "[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07".
using EquivalentList = std::vector<std::string>;

inline constexpr std::string_view kTableFileName = "cam_equiv.txt";
inline constexpr std::string_view kSeedFileName = "cam_equiv.exp";

// Appends the accepted entries of the table's lines to `list` (which is not emptied).
void AppendEquivalentEntries(const std::vector<std::string>& lines, EquivalentList& list);

// Reads the table file into `list`. When the file is missing and the seed file exists (by
// default cam_equiv.exp in the table's folder), the seed's lines are first copied to it. A
// missing table leaves the list as it was. File errors throw std::runtime_error naming the file.
void ReadEquivalentData(const std::filesystem::path& tableFile, EquivalentList& list,
                        const std::filesystem::path& seedFile = {});

}  // namespace quorvela::equivalence
