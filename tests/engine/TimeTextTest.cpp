// Times as text and back, and the clock readings in hundredths.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "QuorvelEngine.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(TimeText, ShortFormsDropLeadingZeroFieldsAndSignOnlyWhenAskedAndReadBack) {
    const struct {
        std::int32_t time;
        const char* plain;     // ShowPlus false
        const char* withPlus;  // ShowPlus true
    } cases[] = {
        // clang-format off
        {0, "0.00", "0.00"}, {5, "0.05", "+0.05"}, {1234, "12.34", "+12.34"},
        {6523, "1:05.23", "+1:05.23"}, {60500, "10:05.00", "+10:05.00"},
        {360000, "1:00:00.00", "+1:00:00.00"}, {36000000, "100:00:00.00", "+100:00:00.00"},
        {-1, "-0.01", "-0.01"}, {-6523, "-1:05.23", "-1:05.23"},
        {kMax, "5965:13:56.47", "+5965:13:56.47"}, {kMin, "-5965:13:56.48", "-5965:13:56.48"},
    };
    // clang-format on
    for (const auto& c : cases) {  // and each text reads back to its time
        EXPECT_EQ(LongToTimeString(c.time, /*ShowPlus=*/false, /*ShortForm=*/true), c.plain);
        EXPECT_EQ(LongToTimeString(c.time, /*ShowPlus=*/true, /*ShortForm=*/true), c.withPlus);
        EXPECT_EQ(TimeStringToLong(c.plain), c.time);
        EXPECT_EQ(TimeStringToLong(c.withPlus), c.time);
    }
    EXPECT_EQ(LongToTimeString(523, /*ShowPlus=*/false, /*ShortForm=*/false), "0:00:05.23");
    EXPECT_EQ(LongToTimeString(-6523, /*ShowPlus=*/true, /*ShortForm=*/false), "-0:01:05.23");
}

// A point before the only colon lets the seconds run to the end ("1.5:30"); text past the
// range saturates with its sign instead of wrapping, in the fast reader's form
// ("600000:00:00.00") and the general reader's ("99999999999:00:00").
TEST(TimeText, ReadsShortenedMalformedAndHugeTextsSaturatingPastTheRange) {
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"", 0}, {"-5.23", -523}, {"1:00:00.00", 360000}, {"90", 9000}, {"1:30", 9000},
        {"2:00:00", 720000}, {"1:2", 6200}, {"1.5", 105}, {"1.567", 156}, {"abc", 0}, {"-", 0},
        {"1x:30", 9000}, {"1:2:3:4", 372300}, {"1.5:30", 9005}, {" 7", 700}, {"+12.34", 1234},
        {"99999999999", kMax}, {"-99999999999", kMin}, {"99999999999999999999", kMax},
        {"21474836.47", kMax}, {"21474836.48", kMax}, {"-21474836.48", kMin},
        {"-21474836.49", kMin}, {"600000:00:00.00", kMax}, {"-600000:00:00.00", kMin},
        {"999999999:59:59.99", kMax}, {"99999999999:00:00", kMax}, {"5965:13:56.47", kMax},
        {"5965:13:56.48", kMax}, {"-5965:13:56.48", kMin}, {"1:99999999999", kMax},
        {"0.99999999999", 99},
    };
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(TimeStringToLong(text), expected) << '"' << text << '"';
    }
}

TEST(TimeValues, ClockReadingsRoundToHundredthsAndDifferAcrossTheWrap) {
    EXPECT_EQ((std::vector<std::int32_t>{timevalToLong({10, 500000}), timevalToLong({11, 995000}),
                                         timevalToLong({11, 994999})}),
              (std::vector<std::int32_t>{1050, 1200, 1199}));
    // seconds * 100 passes 2^31 between these two readings.
    const timeval before{21474836, 0}, after{21474837, 500000};
    EXPECT_LT(timevalToLong(after), 0);  // the reading itself has wrapped
    EXPECT_EQ(static_cast<std::int32_t>(static_cast<std::uint32_t>(timevalToLong(after)) -
                                        static_cast<std::uint32_t>(timevalToLong(before))),
              150);
}

}  // namespace
