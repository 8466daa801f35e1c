// The update tick: the running time in tenths and the status line, texts and colours, and
// nothing else repainted.

#include "ShellFixture.h"

namespace {

// Two splits against a kept run of 10.00 and 20.00, with a lead-in of a third of a second.
constexpr char kLeadIn[] =
    "3\t-0.33\nRoute\tBest Splits\tKept\nOne\t9.00\t10.00\n\t\t\nTwo\t9.00\t20.00\n\t\t\n";

const tk::Color kWhite = tk::Color::White(), kRed = tk::Color::Red(), kGreen = tk::Color::Green();

class Tick : public ShellTest {
  protected:
    void StartRun(const char* route = kLeadIn) {
        Launch();
        Open(WriteSplitFile("route.txt", route));
        app->DoSplitMenuClick();
    }
    void Expect(const std::string& time, const tk::Color& timeColor, const std::string& status,
                const tk::Color& statusColor) {
        app->OnUpdateTimer();
        EXPECT_EQ(std::tuple(app->CurrentTimeLabel->Text(), app->CurrentTimeLabel->TextColor(),
                             app->StatusLabel->Text(), app->StatusLabel->TextColor()),
                  std::tuple(time, timeColor, status, statusColor));
    }
};

}  // namespace

TEST_F(Tick, TheStatusRacesTheSegmentAgainstTheKeptRunFromTheLeadInOn) {
    StartRun();
    Expect("-0.3", tk::Color::DarkGray(), "-10.3", kGreen);  // -0.33 against the kept 10.00
    FakeClock::Advance(33 + 1123);
    Expect("11.2", kRed, "+1.2", kRed);
    Press(&AppDelegate::DoSplitMenuClick);  // split at 11.57: 1.57 behind
    FakeClock::Advance(877);                // 20.34: behind overall, but the segment gains
    Expect("20.3", kRed, "-1.2", kGreen);
    Press(&AppDelegate::DoSplitMenuClick);  // final 20.68 against 20.00
    FakeClock::Advance(500);
    Expect("20.6", kRed, "DONE!", kWhite);
}

TEST_F(Tick, APausedRunShowsReadyAndTheTimeItStoppedAt) {
    StartRun();
    FakeClock::Advance(533);
    app->PauseResumeMenuClick();
    FakeClock::Advance(1000);
    Expect("5.0", kWhite, "Ready", kWhite);
}

TEST_F(Tick, WithNoKeptTimeTheStatusIsAWhiteZeroAndOnlyTheClockIsRepainted) {
    StartRun("0\t0.00\nRoute\tBest Splits\tKept\nOne\t9.00\t0.00\n\t\t\n");
    app->ScrollBoxContent->TakeDirtyRects();
    app->HeaderPanel->TakeDirtyRects();
    FakeClock::Advance(1234);
    Expect("12.3", kWhite, "0.0", kWhite);
    EXPECT_FALSE(app->ScrollBoxContent->NeedsDisplay());
    EXPECT_FALSE(app->HeaderPanel->NeedsDisplay());
    EXPECT_TRUE(app->CurrentTimeLabel->Parent()->NeedsDisplay());
    app->UpdateScreen();  // a refresh that changes nothing repaints nothing either
    EXPECT_FALSE(app->ScrollBoxContent->NeedsDisplay());
}
