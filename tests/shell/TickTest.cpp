// The update tick: the running time in tenths and the status line, texts and colours.
#include <gtest/gtest.h>

#include <string>

#include "ShellFixture.h"

namespace {

// One split against a kept run of 10.00, with a lead-in of a third of a second.
constexpr char kLeadIn[] =
    "3\t-0.33\n"
    "Route\tBest Splits\tKept\n"
    "One\t9.00\t10.00\n"
    "\t\t\n"
    "Two\t9.00\t20.00\n"
    "\t\t\n";

}  // namespace

class Tick : public ShellTest {
  protected:
    void Expect(const std::string& time, const tk::Color& timeColor, const std::string& status,
                const tk::Color& statusColor) {
        app->OnUpdateTimer();
        EXPECT_EQ(app->CurrentTimeLabel->Text(), time);
        EXPECT_EQ(app->CurrentTimeLabel->TextColor(), timeColor) << time;
        EXPECT_EQ(app->StatusLabel->Text(), status);
        EXPECT_EQ(app->StatusLabel->TextColor(), statusColor) << status;
    }
};

TEST_F(Tick, TheLeadInCountsUpInDarkGrey) {
    Launch();
    Open(WriteSplitFile("lead.txt", kLeadIn));
    app->DoSplitMenuClick();
    // The status already races the first segment: -0.33 against the kept 10.00.
    Expect("-0.3", tk::Color::DarkGray(), "-10.3", tk::Color::Green());
}

TEST_F(Tick, StatusShowsTheSegmentAgainstTheKeptRun) {
    Launch();
    Open(WriteSplitFile("lead.txt", kLeadIn));
    app->DoSplitMenuClick();
    FakeClock::Advance(33 + 1123);  // 11.23 into the first segment, kept 10.00
    Expect("11.2", tk::Color::Red(), "+1.2", tk::Color::Red());

    Press(&AppDelegate::DoSplitMenuClick);  // split at 11.57: 1.57 behind
    FakeClock::Advance(877);                // 20.34: 0.34 behind overall, but the
    Expect("20.3", tk::Color::Red(), "-1.2", tk::Color::Green());  // segment gains 1.23
}

TEST_F(Tick, WithNoKeptTimeTheStatusIsAWhiteZero) {
    Launch();
    Open(WriteSplitFile("none.txt", "0\t0.00\nRoute\tBest Splits\tKept\nOne\t9.00\t0.00\n\t\t\n"));
    app->DoSplitMenuClick();
    FakeClock::Advance(1234);
    Expect("12.3", tk::Color::White(), "0.0", tk::Color::White());
}

TEST_F(Tick, APausedRunShowsReadyAndTheTimeItStoppedAt) {
    Launch();
    Open(WriteSplitFile("lead.txt", kLeadIn));
    app->DoSplitMenuClick();
    FakeClock::Advance(533);
    app->PauseResumeMenuClick();
    FakeClock::Advance(1000);
    Expect("5.0", tk::Color::White(), "Ready", tk::Color::White());
}

TEST_F(Tick, AFinishedRunShowsDoneAndItsFinalTimeRedWhenSlower) {
    Launch();
    Open(WriteSplitFile("lead.txt", kLeadIn));
    app->DoSplitMenuClick();
    FakeClock::Advance(33 + 900);
    Press(&AppDelegate::DoSplitMenuClick);
    FakeClock::Advance(1200);
    Press(&AppDelegate::DoSplitMenuClick);  // final 21.68 against 20.00
    FakeClock::Advance(500);
    Expect("21.6", tk::Color::Red(), "DONE!", tk::Color::White());
}

TEST_F(Tick, TouchesOnlyTheClockAndTheStatusLine) {
    Launch();
    Open(WriteSplitFile("lead.txt", kLeadIn));
    app->DoSplitMenuClick();
    app->ScrollBoxContent->TakeDirtyRects();
    app->HeaderPanel->TakeDirtyRects();
    FakeClock::Advance(500);
    app->OnUpdateTimer();
    EXPECT_FALSE(app->ScrollBoxContent->NeedsDisplay());
    EXPECT_FALSE(app->HeaderPanel->NeedsDisplay());
    EXPECT_TRUE(app->CurrentTimeLabel->Parent()->NeedsDisplay());

    // A refresh that changes nothing repaints nothing either.
    app->UpdateScreen();
    EXPECT_FALSE(app->ScrollBoxContent->NeedsDisplay());
}
