#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "QuorvelEngine.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct TimeTextCase {
    std::int32_t time;
    const char* plain;     // ShowPlus false
    const char* withPlus;  // ShowPlus true
};

const TimeTextCase kShortForms[] = {
    {0, "0.00", "0.00"},
    {5, "0.05", "+0.05"},
    {523, "5.23", "+5.23"},
    {1234, "12.34", "+12.34"},
    {6000, "1:00.00", "+1:00.00"},
    {6523, "1:05.23", "+1:05.23"},
    {60000, "10:00.00", "+10:00.00"},
    {60500, "10:05.00", "+10:05.00"},
    {120000, "20:00.00", "+20:00.00"},
    {360000, "1:00:00.00", "+1:00:00.00"},
    {3600000, "10:00:00.00", "+10:00:00.00"},
    {36000000, "100:00:00.00", "+100:00:00.00"},
    {-1, "-0.01", "-0.01"},
    {-523, "-5.23", "-5.23"},
    {-6523, "-1:05.23", "-1:05.23"},
    {kMax, "5965:13:56.47", "+5965:13:56.47"},
    {kMin, "-5965:13:56.48", "-5965:13:56.48"},
};

}  // namespace

TEST(TimeText, ShortFormsDropLeadingZeroFieldsAndSignOnlyWhenAsked) {
    for (const auto& c : kShortForms) {
        EXPECT_EQ(LongToTimeString(c.time, /*ShowPlus=*/false, /*ShortForm=*/true), c.plain)
            << c.time;
        EXPECT_EQ(LongToTimeString(c.time, /*ShowPlus=*/true, /*ShortForm=*/true), c.withPlus)
            << c.time;
    }
}

TEST(TimeText, LongFormAlwaysShowsTheHours) {
    EXPECT_EQ(LongToTimeString(523, /*ShowPlus=*/false, /*ShortForm=*/false), "0:00:05.23");
    EXPECT_EQ(LongToTimeString(0, /*ShowPlus=*/false, /*ShortForm=*/false), "0:00:00.00");
    EXPECT_EQ(LongToTimeString(-6523, /*ShowPlus=*/true, /*ShortForm=*/false), "-0:01:05.23");
}

TEST(TimeText, EveryWrittenTextReadsBackToItsValue) {
    const std::int32_t samples[] = {0,        1,  99,   100,   5999,    6000, 359999,   360000,
                                    35999999, -1, -100, -6001, -360000, kMax, kMin + 1, kMin};
    for (const std::int32_t t : samples) {
        for (const bool shortForm : {true, false}) {
            for (const bool plus : {true, false}) {
                EXPECT_EQ(TimeStringToLong(LongToTimeString(t, plus, shortForm)), t) << t;
            }
        }
    }
    for (std::int32_t t = -20000; t <= 400000; t += 37) {
        ASSERT_EQ(TimeStringToLong(LongToTimeString(t, /*ShowPlus=*/false, /*ShortForm=*/true)), t);
    }
}

TEST(TimeText, ReadsShortenedAndMalformedTexts) {
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"", 0},
        {"0.00", 0},
        {"-5.23", -523},
        {"1:05.23", 6523},
        {"1:00:00.00", 360000},
        {"90", 9000},
        {"1:30", 9000},
        {"2:00:00", 720000},
        {"1:2", 6200},
        {"1.5", 105},
        {"1.567", 156},
        {"abc", 0},
        {"-", 0},
        {"1x:30", 9000},
        {"1:2:3:4", 372300},
        {"1.5:30", 9005},  // a point before the only colon: seconds run to the end
        {" 7", 700},
        {"+12.34", 1234},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeStringToLong(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(TimeText, HugeFieldsAreClampedAndTheSumWraps) {
    // Each field clamps to 2147483647; seconds * 100 then wraps modulo 2^32.
    EXPECT_EQ(TimeStringToLong("99999999999999999999"),
              static_cast<std::int32_t>(2147483647u * 100u));
    EXPECT_EQ(TimeStringToLong("0.99999999999"), 99);
    EXPECT_EQ(TimeStringToLong("-5965:13:56.48"), kMin);
    EXPECT_EQ(TimeStringToLong("5965:13:56.48"), kMin);  // one past the maximum wraps
}

TEST(TimeValues, RoundToIntRoundsPositiveHalvesUpAndTruncatesNegatives) {
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(2.49), 2);
    EXPECT_EQ(RoundToInt(-2.5), -2);
    EXPECT_EQ(RoundToInt(-2.7), -2);
    EXPECT_EQ(RoundToInt(99.5), 100);
    EXPECT_EQ(RoundToInt(1e12), kMax);
    EXPECT_EQ(RoundToInt(-1e12), kMin);
}

TEST(TimeValues, ClockReadingRoundsMicrosecondsToHundredths) {
    EXPECT_EQ(timevalToLong({10, 500000}), 1050);
    EXPECT_EQ(timevalToLong({11, 995000}), 1200);
    EXPECT_EQ(timevalToLong({11, 994999}), 1199);
}

TEST(TimeValues, ReadingsDifferByTheElapsedTimeAcrossTheWrap) {
    // seconds * 100 passes 2^31 between these two readings.
    const timeval before{21474836, 0};  // 2147483600
    const timeval after{21474837, 500000};
    const auto difference = static_cast<std::uint32_t>(timevalToLong(after)) -
                            static_cast<std::uint32_t>(timevalToLong(before));
    EXPECT_EQ(static_cast<std::int32_t>(difference), 150);
    EXPECT_LT(timevalToLong(after), 0);  // the reading itself has wrapped
}
