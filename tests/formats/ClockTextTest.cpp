// Time text as the other timers write it, read to the nearest hundredth or refused with a reason.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "ClockText.h"

namespace {

TEST(ClockTextTest, ReadsEveryFormTheOtherTimersWriteOrSaysWhyNot) {
    // clang-format off
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"00:01:23.4560000", 8346, ""}, {"00:01:23.4549999", 8345, ""}, {"1:05.5", 6550, ""},
        {"12.345", 1235, ""}, {"0:00:59.995", 6000, ""}, {"-00:00:05", -500, ""},
        {"1.02:00:00", 9360000, ""}, {" 7 ", 700, ""}, {"99999:00:00", 2147483647, ""},
        {"-99999:00:00", -2147483647, ""}, {"1:0x", 0, "has a letter"},
        {"00:75:00", 0, "minutes over 59"}, {"0:00:61", 0, "seconds over 59"}, {"", 0, "empty"},
        {"1:2:3:4", 0, "more than two colons"}, {"12.", 0, "no digits after its point"},
        {"1:-5", 0, "is not a time"}, {"::", 0, "is not a time"},
        {"1067519911674.00:00:00", 2147483647, ""},  // days past 64 bits of hundredths
    };
    // clang-format on
    for (const auto& [text, hundredths, why] : cases) {
        std::int32_t value = 0;
        std::string fault;
        EXPECT_EQ(ReadClockText(text, &value, &fault), *why == '\0') << text << ": " << fault;
        EXPECT_EQ(value, hundredths) << text;
        EXPECT_NE(fault.find(why), std::string::npos) << text << ": " << fault;
    }
}

TEST(ClockTextTest, WrittenTextReadsBackToTheSameTime) {
    for (const std::int32_t time : {0, -150, 8639999, 8640000, 2147483647}) {
        for (const std::string& text : {LongClockText(time), ShortClockText(time)}) {
            std::int32_t back = 0;
            std::string fault;
            EXPECT_TRUE(ReadClockText(text, &back, &fault) && back == time) << text << fault;
        }
    }
    EXPECT_EQ(LongClockText(8346), "00:01:23.4600000");
    EXPECT_EQ(LongClockText(8640000), "1.00:00:00.0000000");
    EXPECT_EQ(ShortClockText(8346), "0:01:23.460000");
}

}  // namespace
