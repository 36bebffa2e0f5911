// The lens name and range a photo's entries give, in a run's reading (the maker note left
// undecoded) and with the note decoded, in both byte orders.

#include <gtest/gtest.h>

#include "library/photo_facts.h"
#include "library/photo_lens.h"
#include "note_files.h"
#include "support/test_files.h"

namespace quorvela::testing {
namespace {

using library::LensSpan;

// Canon's camera settings up to the focal units: field 0 the byte length, 23 the long and 24
// the short focal length, 25 the units per millimetre.
Bytes CanonSettings(const Ifd& ifd, std::uint16_t longFocal, std::uint16_t shortFocal, std::uint16_t units) {
    Bytes bytes;
    for (std::uint16_t field = 0; field < 26; ++field) {
        const std::uint16_t value = field == 0    ? 52
                                    : field == 23 ? longFocal
                                    : field == 24 ? shortFocal
                                    : field == 25 ? units
                                                  : 0;
        const Bytes word = ifd.U16(value);
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    return bytes;
}

struct LensCase {
    const char* name;
    NoteCamera camera;
    NoteMaker note;
    std::function<void(Ifd&)> more;
    std::string lens;
    LensSpan range;
};

std::vector<LensCase> Cases(bool big) {
    const auto ifd = [big] { return Ifd(big); };
    const NoteCamera canon{"Canon", "Canon EOS 350D DIGITAL", "0221", big};
    const NoteCamera nikon{"NIKON CORPORATION", "NIKON D5000", "0221", big};
    const NoteCamera hp{"Hewlett-Packard", "Photosmart M425", "0220", big};
    const NoteMaker none = TiffRelativeNote("", ifd().Short(0x0006, {0}));
    Ifd settings = ifd();
    settings.Raw(0x0001, 3, 26, CanonSettings(settings, 55, 18, 1));
    Ifd compact = ifd();
    compact.Raw(0x0001, 3, 26, CanonSettings(compact, 682, 227, 32));
    Ifd named = ifd();
    named.Raw(0x0001, 3, 26, CanonSettings(named, 55, 18, 1)).Ascii(0x0095, "EF-S18-55mm f/3.5-5.6 IS");
    return {
        {"an HP's LensModel is the number 1", hp, none, [](Ifd& i) { i.Short(0xA434, {1}); }, "", {}},
        {"a LensModel without a letter or digit", hp, none, [](Ifd& i) { i.Ascii(0xA434, " - "); }, "", {}},
        {"LensModel and LensSpecification",
         hp,
         none,
         [](Ifd& i) {
             i.Rational(0xA432, {{18, 1}, {55, 1}, {35, 10}, {56, 10}}).Ascii(0xA434, "  EF-S18-55mm  ");
         },
         "EF-S18-55mm",
         {18, 55, 3.5, 5.6}},
        {"Canon settings alone", canon, TiffRelativeNote("", settings), {}, "", {18, 55, 0, 0}},
        {"Canon settings in 32nds of a millimetre",
         canon,
         TiffRelativeNote("", compact),
         {},
         "",
         {227.0 / 32, 682.0 / 32, 0, 0}},
        {"Canon note's lens model", canon, TiffRelativeNote("", named), {}, "EF-S18-55mm f/3.5-5.6 IS", {18, 55, 0, 0}},
        {"Nikon note's lens information",
         nikon,
         NikonType3Note(ifd().Rational(0x0084, {{18, 1}, {70, 1}, {35, 10}, {45, 10}})),
         {},
         "",
         {18, 70, 3.5, 4.5}},
        {"an unknown aperture is 0",
         nikon,
         NikonType3Note(ifd().Rational(0x0084, {{10, 1}, {20, 1}, {0, 0}, {0, 0}})),
         {},
         "",
         {10, 20, 0, 0}},
    };
}

TEST(FindLens, NameAndRangeFromEveryPlaceInEitherByteOrder) {
    const TempDir dir;
    metadata::TimgData reader;
    for (const bool big : {false, true}) {
        for (const LensCase& c : Cases(big)) {
            const auto path = dir.Write("photo.jpg", JpegWithNote(c.camera, c.note, c.more));
            for (const bool withPairs : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + (big ? " MM" : " II") + (withPairs ? " decoded" : ""));
                const library::PhotoFacts facts = library::ReadFacts(path.string(), true, withPairs, reader);
                EXPECT_EQ(facts.Lens, c.lens);
                EXPECT_EQ(facts.LensRange, c.range);
            }
        }
    }
}

}  // namespace
}  // namespace quorvela::testing
