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

TEST(FormatHelpers, ThousandsAreGroupedFromTheRight) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {123456, "123,456"}, {1234567, "1,234,567"}, {-1234, "-1,234"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(GroupThousands(value), text) << value;
}

}  // namespace
}  // namespace quorvela::common
