#include "time/WholeMillis.h"

#include <gtest/gtest.h>

namespace
{
constexpr double inf = std::numeric_limits<double>::infinity();

TEST (WholeMillis, DefinedForEveryDouble)
{
    using I32 = std::numeric_limits<int32_t>;
    using I64 = std::numeric_limits<int64_t>;
    struct Case
    {
        double ms;
        int32_t as32;
        int64_t as64;
    };
    const Case cases[] = {
        { 1.9, 1, 1 },                       // truncated toward zero
        { -1.9, -1, -1 },
        { std::nan (""), 0, 0 },             // not a number counts as 0
        { -std::nan (""), 0, 0 },
        { inf, 0, 0 },                       // so does infinity
        { -inf, 0, 0 },
        { 9e15, I32::max(), 9000000000000000 },
        { 1e308, I32::max(), I64::max() },   // clamped to the type
        { -1e308, I32::min(), I64::min() },
        { 2147483647.5, I32::max(), 2147483647 },
        { -2147483648.5, I32::min(), -2147483648 },
        { 9223372036854775807.0, I32::max(), I64::max() }, // rounds up to 2^63 as a double
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (toWholeMillis (c.ms), c.as32) << c.ms;
        EXPECT_EQ (toWholeMillis<int64_t> (c.ms), c.as64) << c.ms;
    }
    EXPECT_EQ (toWholeMillis<uint32_t> (-5.0), 0u);
}
}
