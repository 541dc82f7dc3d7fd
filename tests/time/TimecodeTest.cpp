#include "time/Timecode.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ltc.h>

void PrintTo (const Timecode& t, std::ostream* os)
{
    *os << "{" << t.hours << ", " << t.minutes << ", " << t.seconds << ", " << t.frames << "}";
}

namespace
{
struct FromMillisCase
{
    double ms;
    int fps;
    Timecode expected;
};

TEST (Timecode, FromMillis)
{
    const FromMillisCase cases[] = {
        { 3723004.0, 25, { 1, 2, 3, 0 } },
        { 3723040.0, 25, { 1, 2, 3, 1 } },
        { 90000000.0, 30, { 1, 0, 0, 0 } },      // hours wrap at 24
        { 999.0, 30, { 0, 0, 0, 30 } },          // rounding reaches fps, nothing carried
        { 1234.0, 1000, { 0, 0, 1, 234 } },
        { -1500.0, 30, { 0, 0, -1, -15 } },      // negative times give negative fields
        { 86399990.0, 1000, { 23, 59, 59, 992 } }, // sub-second part taken in single precision
        { 36000480.0, 25, { 10, 0, 0, 12 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (Timecode::fromMillis (c.ms, c.fps), c.expected) << c.ms << " ms at " << c.fps;
}

TEST (Timecode, FromMillisOfAbsurdTimes)
{
    // Documents may hold any number as a time: every double gives some timecode. Beyond what
    // 32 bits of seconds hold the seconds stop at 2147483647 (03:14:07 after the hours wrap).
    constexpr double inf = std::numeric_limits<double>::infinity();
    const FromMillisCase cases[] = {
        { std::nan (""), 30, {} },
        { -std::nan (""), 30, {} },
        { inf, 30, {} },
        { -inf, 30, {} },
        { 1e308, 30, { 3, 14, 7, 13 } },
        { -1e308, 30, { -3, -14, -8, -13 } },
        { 9e15, 30, { 3, 14, 7, 2 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (Timecode::fromMillis (c.ms, c.fps), c.expected) << c.ms << " ms at " << c.fps;
}

TEST (Timecode, ToMillis)
{
    EXPECT_DOUBLE_EQ (Timecode (0, 0, 1, 500).toMillis (1000), 1500.0);
    EXPECT_DOUBLE_EQ (Timecode (0, 0, 0, 30).toMillis (25), 960.0); // frames clamped to the last frame
    EXPECT_NEAR (Timecode (0, 0, 1, 45).toMillis (30), 1966.6667, 1e-3);
    EXPECT_DOUBLE_EQ (Timecode (10, 0, 0, 12).toMillis (25), 36000480.0);
    EXPECT_DOUBLE_EQ (Timecode (0, 44, 59, 24).toMillis (25), 2699960.0);
    // Fields read from text may be as large as 32 bits hold.
    constexpr int32_t big = std::numeric_limits<int32_t>::max();
    EXPECT_DOUBLE_EQ (Timecode (big, big, big, 0).toMillis (25), ((big * 60.0 + big) * 60.0 + big) * 1000.0);
}

TEST (Timecode, ToString)
{
    const struct
    {
        Timecode tc;
        int minFields;
        const char* expected;
    } cases[] = {
        { { 1, 2, 3, 4 }, 4, "01:02:03:04" },
        { { 0, 0, 5, 12 }, 1, "05:12" },
        { { 0, 0, 0, 7 }, 1, "07" },
        { { 0, 1, 0, 0 }, 1, "01:00:00" },
        { { 0, 0, 0, 0 }, 2, "00:00" },
        { { 0, 0, 0, 0 }, 1, "00" },
        { { 0, 0, 0, 0 }, 4, "00:00:00:00" },
        { { 0, 0, 0, 30 }, 4, "00:00:00:30" },
        { { 0, 0, 1, 234 }, 4, "00:00:01:23" }, // 1000 fps: first two digits of the milliseconds
        { { 0, 0, 0, 50 }, 4, "00:00:00:50" },
        { { 0, 0, 0, 5 }, 4, "00:00:00:05" },
        { { 100, 0, 0, 0 }, 4, "100:00:00:00" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (c.tc.toString (c.minFields), juce::String (c.expected));
}

TEST (Timecode, FromString)
{
    const struct
    {
        const char* text;
        Timecode expected;
    } cases[] = {
        { "10:00:00", { 10, 0, 0, 0 } },
        { "10:00:00:12", { 10, 0, 0, 12 } },
        { "10:00:00.5", { 10, 0, 0, 5 } },
        { "1:2:3:4.9", { 1, 2, 3, 4 } },
        { "12:34", { 0, 0, 0, 0 } },
        { "abc", { 0, 0, 0, 0 } },
        { "", { 0, 0, 0, 0 } },
        { "1:2:3:4:5", { 1, 2, 3, 0 } },
        { "99:99:99:99", { 99, 99, 99, 99 } },
        { " 7x:-2:3", { 7, -2, 3, 0 } },
        { "1:2:3.-4", { 1, 2, 3, -4 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (Timecode::fromString (c.text), c.expected) << c.text;

    EXPECT_EQ (Timecode::fromString ("1:2:3").toString (4), "01:02:03:00");
}

TEST (Timecode, FromSmpte)
{
    SMPTETimecode smpte {};
    smpte.hours = 10;
    smpte.mins = 20;
    smpte.secs = 30;
    smpte.frame = 24;
    EXPECT_EQ (Timecode::fromSmpte (smpte), Timecode (10, 20, 30, 24));
}
}
