#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_names.h"

namespace quorvela::equivalence {

// One entry of the camera table: its joined text, such as
// "[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07", and its fields,
// cut out once when the entry is made rather than for every photo it is matched against.
// An entry converts from and to its text, as the table file and the editor hold it.
class EquivalentEntry {
  public:
    EquivalentEntry(std::string text);                                         // NOLINT(google-explicit-constructor)
    EquivalentEntry(const char* text) : EquivalentEntry(std::string(text)) {}  // NOLINT(google-explicit-constructor)

    [[nodiscard]] const std::string& Text() const { return text_; }
    operator const std::string&() const { return text_; }  // NOLINT(google-explicit-constructor)

    // The fields, upper-cased. Without a [MODEL] marker an entry matches no camera.
    [[nodiscard]] bool HasModel() const { return hasModel_; }
    // Before [MODEL], without its [MAKE] marker: a part of the photo's make.
    [[nodiscard]] const std::string& Make() const { return make_; }
    // Between [MODEL] and [REAL_LENS]: the photo's model without spaces. Each field is empty
    // when its end marker is missing or stands before it.
    [[nodiscard]] const std::string& Model() const { return model_; }
    [[nodiscard]] const std::string& RealLens() const { return realLens_; }
    [[nodiscard]] const std::string& Equivalent() const { return equivalent_; }

    friend bool operator==(const EquivalentEntry& a, const EquivalentEntry& b) { return a.text_ == b.text_; }
    friend std::ostream& operator<<(std::ostream& out, const EquivalentEntry& e) { return out << e.text_; }

  private:
    std::string text_;
    bool hasModel_ = false;
    std::string make_;
    std::string model_;
    std::string realLens_;
    std::string equivalent_;
};

// The camera table in memory: the accepted entries in file order.
using EquivalentList = std::vector<EquivalentEntry>;

// The table's file names, for callers that know the table but not the program's other files.
inline constexpr std::string_view kTableFileName = common::kTableFileName;
inline constexpr std::string_view kSeedFileName = common::kSeedFileName;

// Appends the accepted entries of the table's lines to `list` (which is not emptied).
void AppendEquivalentEntries(const std::vector<std::string>& lines, EquivalentList& list);

// Reads the table file into `list`. When the file is missing and the seed file exists (by
// default cam_equiv.exp in the table's folder), the seed's lines are first copied to it. A
// missing table leaves the list as it was. File errors throw std::runtime_error naming the file.
void ReadEquivalentData(const std::filesystem::path& tableFile, EquivalentList& list,
                        const std::filesystem::path& seedFile = {});

// Why the table cannot hold an entry for a camera of this make and model (Windows-1252, as the
// photos give them): no make, which an entry needs to match any camera, or a "[" or "]" or line
// break, which the table's markers would misread. Empty when it can.
std::string CropFactorProblem(std::string_view make, std::string_view model);

// The lines of a table entry that gives a camera `cropFactor`: a comment naming the camera, then
// [_START], make and model trimmed, real length 1 and the factor as its equivalent, [_END].
// Throws std::invalid_argument when CropFactorProblem is not empty or the factor is not a
// positive number.
std::vector<std::string> CropFactorLines(std::string_view make, std::string_view model, double cropFactor);

// Adds `lines` at the end of the table file, where they win over the entries before them, written
// atomically and every other line kept as it was, in the file's own line ends. A missing table
// starts as a copy of the seed (when it exists), as ReadEquivalentData would make it. File errors
// throw std::runtime_error naming the file; the file is then unchanged.
void AppendTableLines(const std::filesystem::path& tableFile, const std::vector<std::string>& lines,
                      const std::filesystem::path& seedFile = {});

}  // namespace quorvela::equivalence
