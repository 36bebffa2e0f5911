#include "metadata/tag_names.h"

#include <gtest/gtest.h>

#include <string_view>

#include "metadata/tag_tables.h"

namespace quorvela::metadata {
namespace {

// The lookup ignores case, so a name spelled differently from the dictionary would still be
// found today and silently lost the day the lookup became exact; one that names no row finds
// nothing at all.
TEST(TagNames, AreTheDictionarysOwnSpellings) {
    const std::string_view names[] = {tags::Make,
                                      tags::Model,
                                      tags::ResolutionUnit,
                                      tags::ExposureTime,
                                      tags::FNumber,
                                      tags::ISOSpeedRatings,
                                      tags::ShutterSpeedValue,
                                      tags::FocalLength,
                                      tags::FocalPlaneXResolution,
                                      tags::FocalPlaneYResolution,
                                      tags::FocalPlaneResolutionUnit,
                                      tags::FocalLengthIn35mmFilm};
    for (const std::string_view name : names) {
        const TTagEntry& row = FindMainRowByName(name);
        EXPECT_NE(row.TagId, 0) << name;
        EXPECT_EQ(row.TagName.view(), name);
    }
}

}  // namespace
}  // namespace quorvela::metadata
