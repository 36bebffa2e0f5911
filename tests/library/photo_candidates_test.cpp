#include "library/photo_candidates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvela::library {
namespace {

using Names = std::vector<std::string>;

TEST(CandidateKindOf, ExtensionsInAnyCase) {
    struct Case {
        const char* name;
        CandidateKind withRawHeif;
        CandidateKind jpegOnly;
    };
    const Case cases[] = {
        {"a.jpg", CandidateKind::Jpeg, CandidateKind::Jpeg},
        {"a.THM", CandidateKind::Jpeg, CandidateKind::Jpeg},
        {"a.heic", CandidateKind::Heif, CandidateKind::None},
        {"a.Hif", CandidateKind::Heif, CandidateKind::None},
        {"a.avif", CandidateKind::Heif, CandidateKind::None},
        {"a.cr3", CandidateKind::Raw, CandidateKind::None},
        {"a.3fr", CandidateKind::Raw, CandidateKind::None},
        {"a.Rw2", CandidateKind::Raw, CandidateKind::None},
        {"a.CRW", CandidateKind::Raw, CandidateKind::None},
        {"/x.nef/a.dng", CandidateKind::Raw, CandidateKind::None},
        {"a.CR2.xmp", CandidateKind::None, CandidateKind::None},
        {"a.xmp", CandidateKind::None, CandidateKind::None},
        {"a.tif", CandidateKind::None, CandidateKind::None},
        {"a.raw", CandidateKind::None, CandidateKind::None},
        {"nef", CandidateKind::None, CandidateKind::None},
        {"/x.nef/readme", CandidateKind::None, CandidateKind::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CandidateKindOf(c.name, true), c.withRawHeif);
        EXPECT_EQ(CandidateKindOf(c.name, false), c.jpegOnly);
    }
}

TEST(ChoosePhotos, OneFilePerShot) {
    struct Case {
        const char* what;
        Names listing;
        Names chosen;
    };
    const Case cases[] = {
        {"a lone RAW", {"a.NEF", "notes.txt"}, {"a.NEF"}},
        {"RAW after its JPEG", {"a.JPG", "a.CR2"}, {"a.JPG"}},
        {"RAW before its JPEG", {"a.CR2", "a.JPG"}, {"a.JPG"}},
        {"extension case differs", {"a.cr2", "a.Jpg"}, {"a.Jpg"}},
        {"stem case differs: two shots", {"A.CR2", "a.JPG"}, {"A.CR2", "a.JPG"}},
        {"JPEG and HEIC", {"a.HEIC", "a.JPG"}, {"a.JPG"}},
        {"HEIF before RAW", {"a.DNG", "a.heif"}, {"a.heif"}},
        {"two RAWs: the first", {"a.DNG", "a.CR2"}, {"a.DNG"}},
        {"two HEIFs: the first", {"a.HIF", "a.HEIC", "a.ARW"}, {"a.HIF"}},
        {"two JPEGs both stay", {"a.JPG", "a.THM", "a.CRW"}, {"a.JPG", "a.THM"}},
        {"sidecar is no photo", {"a.xmp", "a.ORF.xmp", "a.ORF"}, {"a.ORF"}},
        {"listing order kept", {"c.RAF", "b.JPG", "c.jpg", "a.MRW", "b.RW2"}, {"b.JPG", "c.jpg", "a.MRW"}},
        {"dotted stems are whole", {"a.b.NEF", "a.JPG"}, {"a.b.NEF", "a.JPG"}},
        {"nothing to choose", {"a.txt", "b", ".xmp"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChoosePhotos(c.listing, true), c.chosen);
    }
}

// Without RAW and HEIF files the choice is the JPEG names alone, as a run has always taken them.
TEST(ChoosePhotos, JpegOnlyTakesEveryJpegAndNothingElse) {
    const Names listing{"a.CR2", "a.JPG", "b.HEIC", "c.jpeg", "c.NEF", "d.thm", "e.png"};
    EXPECT_EQ(ChoosePhotos(listing, false), (Names{"a.JPG", "c.jpeg", "d.thm"}));
}

}  // namespace
}  // namespace quorvela::library
