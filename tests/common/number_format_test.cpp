#include "common/number_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace quorvela::common {
namespace {

TEST(FormatHelpers, RoundingIsHalfToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_FALSE(RoundHalfEven(1e300).has_value());
    EXPECT_EQ(FormatPattern("%5.2f mm", 6.3, ','), " 6,30 mm");
    EXPECT_THROW(FormatPattern("%5.2f", std::numeric_limits<double>::infinity(), '.'), std::domain_error);
    EXPECT_EQ(FormatGeneral(250.0, '.'), "250");
    EXPECT_EQ(FormatGeneral(0.4, ','), "0,4");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0, '.'), "0.333333333333333");
}

}  // namespace
}  // namespace quorvela::common
