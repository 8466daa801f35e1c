// A launched shell for the tests: a temporary config folder, a main screen of known size, a
// clock that moves only when the test moves it, and an AppDelegate that has built its window
// and run its start-up sequence (no main loop, no display).
//
//   class Tick : public ShellTest {};
//   TEST_F(Tick, ...) {
//       Launch();                                    // or Launch("[Window]\nLeft=5\n")
//       Open(WriteSplitFile("route.txt", kRoute));   // as the open command does
//       Clock::Advance(40);                          // 0.40 s later
//       app->DoSplitMenuClick();
//   }
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/time.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "AppDelegate.h"

// The engine's clock source for the tests: a time of day moved by exact hundredths.
class Clock {
  public:
    static timeval Now() { return now_; }
    static void Set(std::int64_t hundredths) {
        now_.tv_sec = static_cast<time_t>(hundredths / 100);
        now_.tv_usec = static_cast<suseconds_t>((hundredths % 100) * 10000);
    }
    static void Advance(std::int64_t hundredths) {
        Set(static_cast<std::int64_t>(now_.tv_sec) * 100 + now_.tv_usec / 10000 + hundredths);
    }

  private:
    static inline timeval now_{};
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        ADD_FAILURE() << "cannot write " << path;
    }
}

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

class ShellTest : public ::testing::Test {
  protected:
    static constexpr tk::Rect kScreen{0, 0, 1920, 1080};

    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorvel-shell-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
        tk::Screen::OverrideMain(kScreen, kScreen);
        Clock::Set(100000);
        SetClockSource(&Clock::Now);
    }

    void TearDown() override {
        tk::Application::SetDelegate(nullptr);
        app.reset();
        SetClockSource(nullptr);
        tk::Screen::ClearOverride();
        tk::OpenPanel::SetTestHook(nullptr);
        ::unsetenv("XDG_CONFIG_HOME");
        HideBestSplits = HideCurrentSplits = HideDiffRows = HideAttemptsCounters = false;
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // The running folder the shell works out from the test's XDG_CONFIG_HOME.
    std::string Folder() const { return root_ + "/config/quorvel/"; }
    std::string IniPath() const { return Folder() + "Quorvel.ini"; }
    std::string Root() const { return root_ + "/"; }

    // Builds the window and runs the start-up sequence; with ini, the settings file is
    // written first. The lockout of the first third of a second is let run out.
    void Launch(const std::string* ini = nullptr, std::vector<std::string> arguments = {}) {
        if (ini != nullptr) {
            std::filesystem::create_directories(Folder());
            WriteText(IniPath(), *ini);
        }
        arguments.insert(arguments.begin(), "quorvel");
        app = std::make_unique<AppDelegate>(std::move(arguments));
        tk::Application::SetDelegate(app.get());
        app->CreateMainWindow();
        app->applicationDidFinishLaunching();
        Clock::Advance(40);
    }
    void Launch(const std::string& ini) { Launch(&ini); }

    std::string WriteSplitFile(const std::string& name, const std::string& text) {
        const std::string path = Root() + name;
        WriteText(path, text);
        return path;
    }

    void Open(const std::string& path) { app->OpenSplitFile(path); }

    // Split, skip or undo with the lockout let run out first: a key press a third of a second after
    // the last one; the split-state save it asks for is written, as it is a moment later in the
    // running application.
    void Press(void (AppDelegate::*command)()) {
        Clock::Advance(34);
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
    std::string root_;
};
