// Start-up and shutdown: the running folder, a settings folder or file that is missing or in
// the way, and values read from the settings.
#include "ShellFixture.h"

TEST(RunningFolder, ComesFromTheConfigHomeOrTheHomeFolder) {
    const std::array<std::pair<const char*, const char*>, 3> cases = {{
        {"/x/cfg/", "/x/cfg/quorvel/"},
        {"", "/home/a/.config/quorvel/"},
        {"rel/cfg", "/home/a/.config/quorvel/"},
    }};
    for (const auto& [xdg, expected] : cases) {
        EXPECT_EQ(RunningFolderFor(xdg, "/home/a"), expected) << xdg;
    }
}

class Startup : public ShellTest {};

// A first launch's folder and its defaults that keep results are the end-to-end first launch's.
TEST_F(Startup, AFolderWhoseSettingsWereDeletedGetsTheDefaultsAgain) {
    std::filesystem::create_directories(Folder());
    Launch();
    EXPECT_EQ(std::tuple(Ini("Misc", "AutoSaveBestRun"), Ini("Misc", "AutoSaveSplitState"),
                         Ini("Window", "HideBestSplits")),
              std::tuple("Y", "Y", "N"));
    app->HideBestSplitsMenuClick();
    Quit();  // the settings are saved again
    EXPECT_EQ(Ini("Window", "HideBestSplits"), "Y");
}

TEST_F(Startup, AConfigHomeThatIsAFileIsReportedAndNothingIsWritten) {
    WriteFile(Root() + "config", "not a folder");
    testing::internal::CaptureStderr();
    Launch();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Quorvel: cannot create the settings folder " + Folder() + "\n");
    app->HideBestSplitsMenuClick();
    Quit();
    EXPECT_EQ(ReadFile(Root() + "config"), "not a folder");
}

TEST_F(Startup, MinimumBestSegmentIsReadInSecondsAndWrittenBackAsItWas) {
    Launch("[Misc]\nBestSplitMinElapsedSec=2\n");
    EXPECT_EQ(TimerData->BestSplitMinElapsed, 200);
    Quit();
    EXPECT_EQ(Ini("Misc", "BestSplitMinElapsedSec"), "2");
}

TEST_F(Startup, AMissingSplitFileOnTheCommandLineLeavesAnEmptyWindow) {
    const std::string ini = "[Window]\n";
    Launch(&ini, {Root() + "missing.txt"});
    EXPECT_EQ(TimerData->GetColumnCount(), 0u);
    EXPECT_TRUE(DisplayGrid.empty());
    EXPECT_EQ(app->window->Title(), "Quorvel");
}
