// A clock for the tests: a time of day that moves only when the test moves it, by exact
// hundredths, so no test waits on the real clock.
//   class RunTimer : public FakeClockTest {};     // installs the clock for every test
//   FakeClock::Set(1000);                         // reads 1000 hundredths (10.00 s)
//   FakeClock::Advance(150);                      // 1.50 s later: reads 1150
//   FakeClock::Set(kReadingWrap - 50);            // half a second before the reading wraps
#pragma once

#include <gtest/gtest.h>
#include <sys/time.h>

#include <cstdint>

#include "QuorvelEngine.h"

class FakeClock {
  public:
    static timeval Now() { return now_; }  // the installed clock source
    static void Set(std::int64_t hundredths) {
        now_.tv_sec = static_cast<time_t>(hundredths / 100);
        now_.tv_usec = static_cast<suseconds_t>((hundredths % 100) * 10000);
    }
    static void Advance(std::int64_t hundredths) {  // back, for a negative step
        Set(static_cast<std::int64_t>(now_.tv_sec) * 100 + now_.tv_usec / 10000 + hundredths);
    }

  private:
    static inline timeval now_{};
};

// The time of day, in hundredths, at which the signed 32-bit reading wraps to -2^31.
inline constexpr std::int64_t kReadingWrap = std::int64_t{1} << 31;

// Installs the fake clock at 1000 hundredths and restores the real clock afterwards.
class FakeClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock::Set(1000);
        SetClockSource(&FakeClock::Now);
    }
    void TearDown() override { SetClockSource(nullptr); }
};
