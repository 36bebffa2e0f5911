#include "common/ascii.h"

#include <gtest/gtest.h>

namespace quorvela::common {
namespace {

TEST(RemoveChar, RemovesEveryOccurrence) {
    EXPECT_EQ(RemoveChar("Canon PowerShot A70 ", ' '), "CanonPowerShotA70");
    EXPECT_EQ(RemoveChar("___50", '_'), "50");
    EXPECT_EQ(RemoveChar("", '_'), "");
}

}  // namespace
}  // namespace quorvela::common
