// The two layouts of the window: a finished run stays on screen in the grid and in the Splits
// view until Reset or the next start, also when the autosave has already kept it; the choices
// of View and Options are in the settings file the moment they change.
#include "AppearanceDialog.h"
#include "ColorText.h"
#include "QtEvents.h"
#include "ShellFixture.h"
#include "SplitsPanel.h"
#include "SplitsView.h"

namespace {

class Layouts : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        EnsureTestApp();  // the Splits view is a widget: it needs the application object
        Launch("[Misc]\nAutoSaveBestRun=Y\nAskBeforeLosingResults=N\n");
        path_ = OpenRoute();
    }
    // The start, then a split after each segment (hundredths).
    void Race(const std::vector<std::int32_t>& segments) {
        app->DoSplitMenuClick();
        for (const std::int32_t segment : segments) {
            FakeClock::Advance(segment - 34);
            Press(&AppDelegate::DoSplitMenuClick);
        }
        app->OnUpdateTimer();
    }
    // The current run's column in the grid, its times and differences to the kept run.
    static std::vector<std::string> CurrentColumn() {
        std::vector<std::string> shown;
        for (std::size_t split = 0; split < 3; ++split) {
            shown.push_back(Cell(split, 3)->Text() + " " + Cell(split, 2, 1)->Text());
        }
        return shown;
    }
    const SplitsLook& SplitsShown() const { return app->Splits().View()->Look(); }
    std::string path_;
};

}  // namespace

TEST_F(Layouts, AFinishedPersonalBestStaysOnScreenInBothViewsWhileTheFileHoldsIt) {
    ASSERT_NE(app->Splits().View(), nullptr);
    Race({1000, 1000, 1000});  // 30.00 against the kept 36.00
    // The autosave has kept it at the last split; the engine's current run is empty.
    EXPECT_NE(ReadFile(path_).find("Three\t10.00\t33.00\t30.00"), std::string::npos);
    ASSERT_EQ(TimerData->GetDataCellTimer(2, 3), 0);

    // The grid: the run against the runs it raced, "DONE!", the clock never red.
    const std::vector<std::string> held = {"10.00 -2.00", "20.00 -4.00", "30.00 -6.00"};
    EXPECT_EQ(CurrentColumn(), held);
    EXPECT_EQ(Cell(2, 2)->Text(), "36.00");
    EXPECT_EQ(Status(), "DONE!");
    EXPECT_NE(app->CurrentTimeLabel->TextColor(), tk::Color::Red());

    // The Splits view, switched to after the run: the same run, and the words.
    app->LayoutMenuClick(AppDelegate::Layout::kSplits);
    EXPECT_TRUE(SplitsShown().newPersonalBest);
    EXPECT_EQ(SplitsShown().clock.caption, "New personal best");
    EXPECT_EQ(SplitsShown().rows.at(2).time, "30.00");
    EXPECT_EQ(SplitsShown().rows.at(2).delta.text, "\u22126.00");
    FakeClock::Advance(500);
    app->OnUpdateTimer();
    EXPECT_EQ(SplitsShown().clock.time, "30.00");

    // Back in the grid after ticks, still there; Reset lets it go in both.
    app->LayoutMenuClick(AppDelegate::Layout::kGrid);
    EXPECT_EQ(CurrentColumn(), held);
    app->ResetTimerMenuClick();
    EXPECT_EQ(CurrentColumn(), (std::vector<std::string>{"--- ", "--- ", "--- "}));
    EXPECT_FALSE(SplitsShown().newPersonalBest);
    EXPECT_EQ(SplitsShown().rows.at(2).time, "30.00");  // the new personal best, raced next
    EXPECT_EQ(SplitsShown().rows.at(2).delta.text, "");
}

// The comparisons of the history reach the Splits view when it is shown after an attempt.
TEST_F(Layouts, TheSplitsViewRacesTheLatestRunOfTheHistory) {
    const auto latest = [this] {
        for (const ComparisonChoice& choice : app->Splits().Choices()) {
            if (choice.id.kind == ComparisonKind::kLatestRun) {
                return choice;
            }
        }
        return ComparisonChoice{};
    };
    EXPECT_FALSE(latest().available);
    Race({1500, 1500, 1500});  // 45.00: slower than the kept 36.00
    app->ResetTimerMenuClick();
    app->LayoutMenuClick(AppDelegate::Layout::kSplits);
    ASSERT_TRUE(latest().available);
    app->Splits().Choose(latest().id);
    EXPECT_EQ(SplitsShown().rows.at(2).time, "45.00");
}

TEST_F(Layouts, TheLayoutTheMenuBarAndTheComparisonAreWrittenTheMomentTheyChange) {
    app->LayoutMenuClick(AppDelegate::Layout::kSplits);
    app->HideMenuBarMenuClick();
    const ComparisonChoice best = app->Splits().Choices().at(1);
    app->Splits().Choose(best.id);
    EXPECT_EQ(std::tuple(Ini("Window", "Layout"), Ini("Window", "HideMenuBar"),
                         Ini("Splits", "CompareAgainst")),
              std::tuple("Splits", "Y", ComparisonToText(best.id)));
    EXPECT_TRUE(app->window->MenuBarHidden());
    EXPECT_EQ(app->Splits().View()->Comparison(), best.id);

    Quit();
    Launch();
    EXPECT_EQ(app->CurrentLayout(), AppDelegate::Layout::kSplits);
    EXPECT_TRUE(app->window->MenuBarHidden());
    EXPECT_EQ(app->Splits().Comparison(), best.id);
}

// The dialog shows the look as it is chosen; OK keeps it on disk at once, Cancel puts the old
// one back and writes nothing. The grid takes the background and the text.
TEST_F(Layouts, AnAppearanceIsKeptAtOnceOnOkAndTheGridTakesItsBackgroundAndText) {
    const Rgb yellow{0xff, 0xff, 0x00};
    const std::string before = Ini("Appearance", "Background");
    tk::Color previewed;
    onDialog_ = [&](QDialog& dialog) {
        auto& appearance = static_cast<AppearanceDialog&>(dialog);
        appearance.ApplyPreset(AppearancePreset::kChromaGreen);
        appearance.SetColour(ColourRole::kText, yellow);
        previewed = app->window->BackgroundColor();
        return false;
    };
    app->AppearanceMenuClick();
    EXPECT_EQ(tk::ColorToHex(previewed), "#00b140");
    EXPECT_EQ(
        std::tuple(tk::ColorToHex(app->window->BackgroundColor()), Ini("Appearance", "Background")),
        std::tuple("#1a1a1f", before));

    onDialog_ = [&](QDialog& dialog) {
        auto& appearance = static_cast<AppearanceDialog&>(dialog);
        appearance.ApplyPreset(AppearancePreset::kChromaGreen);
        appearance.SetColour(ColourRole::kText, yellow);
        return true;
    };
    app->AppearanceMenuClick();
    EXPECT_EQ(std::tuple(Ini("Appearance", "Background"), Ini("Appearance", "Text"),
                         Ini("Window", "Background")),
              std::tuple("#00b140", "#ffff00", "#00b140"));
    EXPECT_EQ(tk::ColorToHex(app->window->BackgroundColor()), "#00b140");
    EXPECT_EQ(tk::ColorToHex(RowHeader(1)->TextColor()), "#ffff00");  // row 0 is the next, cyan
    EXPECT_EQ(app->Splits().View()->CurrentAppearance().Colour(ColourRole::kText), yellow);
}
