#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "equivalent_table.h"

namespace quorvela::metadata {
class TimgData;
}

namespace quorvela::equivalence {

// Every "." and "," becomes `decimalSeparator`; user-typed and table numbers accept both.
std::string FixDecimalSeparator(std::string_view text, char decimalSeparator);

// A number typed by a user or stored in the table: "." and "," both act as the decimal
// point, surrounding blanks are allowed, nothing else is. nullopt when not a finite number.
std::optional<double> ParseDecimal(std::string_view text, char decimalSeparator);

// The digits and decimal separators of a rendered focal length, in order (" 7,10 mm" -> "7,10").
std::string FocalDigits(std::string_view focalText, char decimalSeparator);

// A computed length as fixed-point text with two decimals, rounded first to four significant
// digits or two decimals, whichever is coarser: 32.902439 -> "32.90", 123.456 -> "123.50".
// Empty for a value that is not finite.
std::string LengthText(double value, char decimalSeparator);

// The table's 35mm length for this camera and focal length; empty when no entry applies.
// The last applying entry whose numbers convert decides.
std::string EquivalentfromDataBase(std::string_view focalText, std::string_view makeText, std::string_view modelText,
                                   const EquivalentList& list, char decimalSeparator);

// Focal length x edit2 / edit1. When a field is not a usable number (or edit1 is 0) the
// focal digits come back unchanged, so the file counts at its real length.
std::string CalculateFromFactor(std::string_view focalText, std::string_view edit1, std::string_view edit2,
                                char decimalSeparator);

// How the focal length to plot is chosen: the two manual-factor fields and the mode flags.
struct LensSettings {
    std::string Edit1 = "8,2";  // a real lens length
    std::string Edit2 = "38";   // its 35mm equivalent
    bool RealLength = false;
    bool AlwaysCalculate = false;
};

// The length text to plot for a file already read by `reader`, or empty: the file's own
// 35mm value, else the table, else the manual factor; real-length mode forces a 1 : 1 factor.
// A length that comes out as zero is no length.
std::string Get35mmLens(const metadata::TimgData& reader, const LensSettings& lens, const EquivalentList& list);

// Where a focal length to plot came from, in the order the sources are tried.
enum class EquivalentSource {
    Stored,  // the file's own FocalLengthIn35mmFormat
    Table,   // the user's camera table
    Sensor,  // the sensor's crop factor: the maker note, the camera database, the focal plane
    Manual,  // the manual factor (in the 35mm-equivalent mode a guess)
};

// The crop factors of known cameras (camera_database.h); a test gives its own.
class CropFactorSource {
  public:
    virtual ~CropFactorSource() = default;
    // The camera's crop factor; `aspect` (long side over short side, 0 when unknown) and
    // `planeCrop` (the focal-plane derivation, 0 when none) choose between the formats of a
    // camera listed several times. Nothing when the camera is unknown or the choice unclear.
    [[nodiscard]] virtual std::optional<double> CropFactor(std::string_view make, std::string_view model, double aspect,
                                                           double planeCrop) const = 0;
};

// What a photo tells about its 35mm equivalent.
struct LensFacts {
    std::string_view Stored35mm;  // FocalLengthIn35mmFilm as stored in the file, never derived
    std::string_view Focal;       // FocalLength
    std::string_view Make;
    std::string_view Model;
    double NoteCrop = 0.0;   // the crop factor of the maker note's sensor data; 0 without
    double PlaneCrop = 0.0;  // the crop factor of the focal-plane resolution; 0 when untrusted
    double Aspect = 0.0;     // the frame's long side over its short side; 0 when unknown
};

struct LensLength {
    std::string Text;  // the length text, empty for none
    EquivalentSource Source = EquivalentSource::Manual;
};

// The length to plot and its source. In the 35mm-equivalent mode: the stored value, the
// camera table, the sensor (maker note, then `database`, then the focal plane), the manual
// factor. The calculate and real-length modes use the factor alone, as Get35mmLens does.
LensLength ChooseLength(const LensFacts& facts, const LensSettings& lens, const EquivalentList& list,
                        const CropFactorSource* database, char decimalSeparator);

// The rendered texts the choice above reads from a file with an EXIF block.
struct LensTexts {
    std::string_view Own35mm;  // FocalLengthIn35mmFilm, stored or derived
    std::string_view Focal;    // FocalLength
    std::string_view Make;
    std::string_view Model;
};

// The same choice from texts read earlier, rendered with `decimalSeparator`.
std::string Get35mmLens(const LensTexts& texts, const LensSettings& lens, const EquivalentList& list,
                        char decimalSeparator);

}  // namespace quorvela::equivalence
