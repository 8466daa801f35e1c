#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "ClockText.h"

namespace {

TEST(ClockTextTest, ReadsEveryFormTheOtherTimersWriteRoundedToTheNearestHundredth) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"00:01:23.4560000", 8346},
        {"00:01:23.4549999", 8345},
        {"1:05.5", 6550},
        {"12.345", 1235},
        {"0:00:59.995", 6000},
        {"-00:00:05", -500},
        {"1.02:00:00", 9360000},
        {" 7 ", 700},
        {"99999:00:00", 2147483647},
        {"-99999:00:00", -2147483647},
    };
    for (const auto& [text, hundredths] : cases) {
        std::int32_t value = 0;
        std::string fault;
        EXPECT_TRUE(ReadClockText(text, &value, &fault)) << text << ": " << fault;
        EXPECT_EQ(value, hundredths) << text;
    }
}

TEST(ClockTextTest, RefusesTextThatIsNotATimeAndSaysWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"1:0x", "has a letter"},
        {"00:75:00", "minutes over 59"},
        {"0:00:61", "seconds over 59"},
        {"", "empty"},
        {"1:2:3:4", "more than two colons"},
        {"12.", "no digits after its point"},
        {"1:-5", "is not a time"},
        {"::", "is not a time"},
    };
    for (const auto& [text, why] : cases) {
        std::int32_t value = 0;
        std::string fault;
        EXPECT_FALSE(ReadClockText(text, &value, &fault)) << text;
        EXPECT_NE(fault.find(why), std::string::npos) << text << ": " << fault;
    }
}

TEST(ClockTextTest, WrittenTextReadsBackToTheSameTime) {
    for (const std::int32_t time : {0, -150, 8639999, 8640000, 2147483647}) {
        std::int32_t back = 0;
        std::string fault;
        ASSERT_TRUE(ReadClockText(LongClockText(time), &back, &fault)) << LongClockText(time);
        EXPECT_EQ(back, time);
        ASSERT_TRUE(ReadClockText(ShortClockText(time), &back, &fault)) << ShortClockText(time);
        EXPECT_EQ(back, time);
    }
    EXPECT_EQ(LongClockText(8346), "00:01:23.4600000");
    EXPECT_EQ(LongClockText(8640000), "1.00:00:00.0000000");
    EXPECT_EQ(ShortClockText(8346), "0:01:23.460000");
}

}  // namespace
