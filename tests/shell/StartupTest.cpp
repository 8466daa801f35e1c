// Start-up and shutdown: the running folder, a settings folder or file that is missing or in
// the way, and values read from the settings.
#include <functional>

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

// A file that cannot be read as settings is kept aside and the first launch's settings are used
// and written in its place; a key missing from a good file reads as it always has.
TEST_F(Startup, SettingsThatCannotBeReadAreKeptAsideAndTheFirstLaunchsAreWritten) {
    const std::string elsewhere = Root() + "elsewhere.ini";
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        bool afresh;  // the first launch's settings: every autosave on
    } cases[] = {
        {"no file", [](const std::string&) {}, true},
        {"empty", [](const std::string& ini) { WriteFile(ini, ""); }, true},
        {"not text",
         [](const std::string& ini) { WriteFile(ini, std::string("[a]\nb=\0\x7f", 8)); }, true},
        {"no key under a section", [](const std::string& ini) { WriteFile(ini, "Left=5\n"); },
         true},
        {"a folder", [](const std::string& ini) { std::filesystem::create_directory(ini); }, true},
        {"a link", [&](const std::string& ini) { std::filesystem::create_symlink(elsewhere, ini); },
         true},
        {"older settings", [](const std::string& ini) { WriteFile(ini, "[Window]\nLeft=5\n"); },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(Folder());
        std::filesystem::create_directories(Folder());
        WriteFile(elsewhere, "[Misc]\nAutoSaveBestRun=N\n");
        c.make(IniPath());
        asked_.clear();
        Launch();
        const bool setAside = c.afresh && std::string(c.what) != "no file";
        EXPECT_EQ(std::tuple(TimerData->AutosaveBestRun, TimerData->AutosaveBestSplits,
                             app->AutosavingSplitState(), Ini("Misc", "AutoSaveBestRun"),
                             std::filesystem::exists(IniPath() + ".bad"), asked_.size()),
                  std::tuple(c.afresh, c.afresh, true, c.afresh ? "Y" : "<none>", setAside,
                             setAside ? 1u : 0u));
        EXPECT_EQ(ReadFile(elsewhere), "[Misc]\nAutoSaveBestRun=N\n");
    }
}

TEST_F(Startup, ASettingChangedInTheWindowIsOnDiskAtOnce) {
    Launch("[Window]\nZoom=100\n");
    const std::string route = OpenRoute();
    app->HideBestSplitsMenuClick();
    app->AutosaveBestRunMenuClick();
    app->AskBeforeLosingResultsMenuClick();
    app->AlwaysOnTopMenuClick();
    app->ZoomInMenuClick();
    EXPECT_EQ(std::tuple(Ini("Window", "HideBestSplits"), Ini("Misc", "AutoSaveBestRun"),
                         Ini("Misc", "AskBeforeLosingResults"), Ini("Window", "AlwaysOnTop"),
                         Ini("Window", "Zoom"), Ini("Misc", "LastSplitFile")),
              std::tuple("Y", "Y", "N", "Y", "125", route));
}

TEST_F(Startup, SettingsThatCannotBeWrittenAreSaidInTheWindowAndNothingIsWritten) {
    WriteFile(Root() + "config", "not a folder");
    Launch();
    EXPECT_EQ(asked_, std::vector<std::string>{"Your settings were started afresh."});
    EXPECT_NE(informative_.at(0).find(IniPath() + " cannot be written ("), std::string::npos);
    EXPECT_TRUE(TimerData->AutosaveBestRun);
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
