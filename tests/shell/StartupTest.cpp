// Start-up and shutdown: the running folder, the settings into flags, engine and check marks,
// the window placement and its round trip through the settings file.

#include "ShellFixture.h"

TEST(RunningFolder, ComesFromTheConfigHomeOrTheHomeFolder) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/x/cfg", "/home/a", "/x/cfg/quorvel/"},
        {"/x/cfg/", "/home/a", "/x/cfg/quorvel/"},
        {"", "/home/a", "/home/a/.config/quorvel/"},
        {"rel/cfg", "/home/a", "/home/a/.config/quorvel/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunningFolderFor(c.xdg, c.home), c.expected) << c.xdg;
    }
}

class Startup : public ShellTest {};

TEST_F(Startup, FirstLaunchCreatesTheFolderWithSettingsThatKeepResults) {
    Launch();
    ASSERT_TRUE(std::filesystem::is_directory(Folder()));
    EXPECT_EQ(RunningFolder, Folder());
    for (const char* key :
         {"HideBestSplits", "HideCurrentSplits", "HideDiffRows", "HideAttemptCounters"}) {
        EXPECT_EQ(IniValue(IniPath(), "Window", key), "N") << key;
    }
    // The autosaves of the best run and splits and the questions: the end-to-end first launch.
    EXPECT_EQ(Ini("Misc", "AutoSaveSplitState"), "Y");
    EXPECT_TRUE(TimerData->AutosaveBestRun);
}

TEST_F(Startup, AFolderWhoseSettingsWereDeletedGetsTheDefaultsAgain) {
    std::filesystem::create_directories(Folder());
    Launch();
    EXPECT_EQ(IniValue(IniPath(), "Misc", "AutoSaveBestRun"), "Y");
    app->HideBestSplitsMenuClick();
    app->applicationWillTerminate();  // the settings are saved again
    EXPECT_EQ(IniValue(IniPath(), "Window", "HideBestSplits"), "Y");
}

TEST_F(Startup, AConfigHomeThatIsAFileIsReportedAndNothingIsWritten) {
    WriteFile(Root() + "config", "not a folder");
    testing::internal::CaptureStderr();
    Launch();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Quorvel: cannot create the settings folder " + Folder() + "\n");
    app->HideBestSplitsMenuClick();
    app->applicationWillTerminate();
    EXPECT_EQ(ReadFile(Root() + "config"), "not a folder");
}

TEST_F(Startup, AFolderInPlaceOfTheSettingsFileIsLeftAlone) {
    std::filesystem::create_directories(IniPath());
    Launch();
    EXPECT_FALSE(HideBestSplits);
    app->applicationWillTerminate();
    EXPECT_TRUE(std::filesystem::is_directory(IniPath()));
}

TEST_F(Startup, MinimumBestSegmentIsReadInSecondsAndNeverWritten) {
    Launch("[Misc]\nBestSplitMinElapsedSec=2\n[Extra]\nKey=kept\n");
    EXPECT_EQ(TimerData->BestSplitMinElapsed, 200);
    Quit();  // an unknown key of a known section: the end-to-end full run
    EXPECT_EQ(Ini("Misc", "BestSplitMinElapsedSec"), "2");
    EXPECT_EQ(Ini("Extra", "Key"), "kept");
}

TEST_F(Startup, AMissingSplitFileOnTheCommandLineLeavesAnEmptyWindow) {
    const std::string ini = "[Window]\n";
    Launch(&ini, {Root() + "missing.txt"});
    EXPECT_EQ(TimerData->GetColumnCount(), 0u);
    EXPECT_TRUE(DisplayGrid.empty());
    EXPECT_EQ(app->window->Title(), "Quorvel");
}
