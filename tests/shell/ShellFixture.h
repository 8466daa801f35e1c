// A launched shell for the tests: a temporary config folder, a 1920 x 1080 main screen, the
// fake clock, and an AppDelegate that has built its window and run its start-up sequence.
//   Launch("[Window]\nLeft=5\n"); Open(WriteSplitFile("route.txt", kThreeSplits));
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "FakeClock.h"
#include "IniFiles.h"
#include "TestFiles.h"
#include "Zoom.h"

// Three splits, two stored runs (the second is the kept run), no lead-in, 12 attempts.
inline constexpr char kThreeSplits[] =
    "12\t0.00\n"
    "Route\tBest Splits\tOld\tKept\n"
    "One\t10.00\t11.00\t12.00\n"
    "\t\t\t\n"
    "Two\t10.00\t22.00\t24.00\n"
    "\t\t\t\n"
    "Three\t10.00\t33.00\t36.00\n"
    "\t\t\t\n";

// Settings for the commands exactly as first designed: the autosave of the best run and the
// best splits off (a finished run stays on the screen until it is saved or reset), and no
// questions before results are lost.
inline const std::string kPartsBehaviour =
    "[Misc]\nAutoSaveBestRun=N\nAutoSaveBestSplits=N\nAskBeforeLosingResults=N\n";

// The value of a key in a settings file, or "<none>".
inline std::string IniValue(const std::string& path, const std::string& section,
                            const std::string& key) {
    IniFileClass ini;
    ini.ReadIniFile(path);
    return ini.ReadString(section, key, "<none>");
}

class ShellTest : public ::testing::Test {
  protected:
    static constexpr tk::Rect kScreen{0, 0, 1920, 1080};

    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (root_.File("config")).c_str(), 1);
        tk::Screen::OverrideMain(kScreen, kScreen);
        FakeClock::Set(100000);
        SetClockSource(&FakeClock::Now);
    }

    void TearDown() override {
        tk::Application::SetDelegate(nullptr);
        app.reset();
        SetClockSource(nullptr);
        tk::Screen::ClearOverride();
        tk::SetZoom(1);
        tk::OpenPanel::SetTestHook(nullptr);
        ::unsetenv("XDG_CONFIG_HOME");
        HideBestSplits = HideCurrentSplits = HideDiffRows = HideAttemptsCounters = false;
    }

    // The running folder the shell works out from the test's XDG_CONFIG_HOME.
    std::string Folder() const { return root_.File("config/quorvel/"); }
    std::string IniPath() const { return Folder() + "Quorvel.ini"; }
    std::string Root() const { return root_.Path(); }

    // Builds the window and runs the start-up sequence; with ini, the settings file is
    // written first. The lockout of the first third of a second is let run out.
    void Launch(const std::string* ini = nullptr, std::vector<std::string> arguments = {}) {
        if (ini != nullptr) {
            std::filesystem::create_directories(Folder());
            WriteFile(IniPath(), *ini);
        }
        arguments.insert(arguments.begin(), "quorvel");
        app = std::make_unique<AppDelegate>(std::move(arguments));
        tk::Application::SetDelegate(app.get());
        app->CreateMainWindow();
        app->applicationDidFinishLaunching();
        FakeClock::Advance(40);
    }
    void Launch(const std::string& ini) { Launch(&ini); }

    std::string WriteSplitFile(const std::string& name, const std::string& text) {
        const std::string path = Root() + name;
        WriteFile(path, text);
        return path;
    }

    void Open(const std::string& path) { app->OpenSplitFile(path); }

    // Split, skip or undo with the lockout let run out first: a key press a third of a second after
    // the last one; the split-state save it asks for is written, as it is a moment later in the
    // running application.
    void Press(void (AppDelegate::*command)()) {
        FakeClock::Advance(34);
        (app.get()->*command)();
        app->FlushRunState();
    }

    tk::Label* Cell(int split, int column, int slot = 0) const {
        return DisplayGrid.at(static_cast<std::size_t>(split + 1))
            .at(static_cast<std::size_t>(column + 1))
            .at(static_cast<std::size_t>(slot));
    }
    tk::Label* RowHeader(int split) const {
        return DisplayGrid.at(static_cast<std::size_t>(split + 1)).at(0).at(0);
    }

    std::unique_ptr<AppDelegate> app;

  private:
    TempDir root_;
};
