// A launched shell for the tests: a temporary config folder, a 1920 x 1080 main screen, the
// fake clock, and an AppDelegate that has built its window and run its start-up sequence.
//   Launch("[Window]\nLeft=5\n"); OpenRoute(); Press(&AppDelegate::DoSplitMenuClick);
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "FakeClock.h"
#include "IniFiles.h"
#include "Prompts.h"
#include "TestFiles.h"
#include "Zoom.h"

// Three splits, two stored runs (the second is the kept run), no lead-in, 12 attempts.
inline constexpr char kThreeSplits[] =
    "12\t0.00\nRoute\tBest Splits\tOld\tKept\nOne\t10.00\t11.00\t12.00\n\t\t\t\n"
    "Two\t10.00\t22.00\t24.00\n\t\t\t\nThree\t10.00\t33.00\t36.00\n\t\t\t\n";

// Settings for the commands as first designed: no autosave of the best run and the best
// splits (a finished run stays on the screen until saved or reset), and no questions.
inline const std::string kNoAutosaveNoQuestions =
    "[Misc]\nAutoSaveBestRun=N\nAutoSaveBestSplits=N\nAskBeforeLosingResults=N\n";

class ShellTest : public ::testing::Test {
  protected:
    static constexpr tk::Rect kScreen{0, 0, 1920, 1080};

    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (root_.File("config")).c_str(), 1);
        // A runtime folder of the test's own: the window's local control socket lives there,
        // out of the way of a running Quorvel and of the tests running beside this one.
        std::filesystem::create_directory(Runtime());
        std::filesystem::permissions(Runtime(), std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", Runtime().c_str(), 1);
        tk::Screen::OverrideMain(kScreen, kScreen);
        FakeClock::Set(100000);
        SetClockSource(&FakeClock::Now);
        // Every prompt answered, as no modal window may open in a test (a real one waits for
        // a click once a test has made the Qt application): a question with the next of
        // answers_, else answer_, and recorded; a file choice with chosen_; a dialog by
        // onDialog_, Cancel without it; a task's progress recorded, and cancelled at the
        // step cancelAtStep_.
        SetAnswererForTests([this](const Prompt& prompt) {
            Reply reply;
            if (prompt.Asked != nullptr) {
                asked_.push_back(prompt.Asked->Text);
                informative_.push_back(prompt.Asked->Informative);
                reply.Button = answer_;
                if (!answers_.empty()) {
                    reply.Button = answers_.front();
                    answers_.erase(answers_.begin());
                }
            } else if (prompt.Choice != nullptr) {
                choices_.push_back(*prompt.Choice);
                reply.Path = chosen_;
            } else if (prompt.Progress != nullptr) {
                progress_.push_back(*prompt.Progress);
                reply.CancelTask = prompt.Progress->Done == cancelAtStep_;
            } else if (prompt.Dialog != nullptr && onDialog_) {
                reply.Accepted = onDialog_(*prompt.Dialog);
            }
            return reply;
        });
    }
    void TearDown() override {
        tk::Application::SetDelegate(nullptr);
        app.reset();
        SetClockSource(nullptr);
        tk::Screen::ClearOverride();
        tk::SetZoom(1);
        SetAnswererForTests(nullptr);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_RUNTIME_DIR");
        HideBestSplits = HideCurrentSplits = HideDiffRows = HideAttemptsCounters = false;
    }

    // The running folder the shell works out from the test's XDG_CONFIG_HOME.
    std::string Folder() const { return root_.File("config/quorvel/"); }
    std::string IniPath() const { return Folder() + "Quorvel.ini"; }
    // A key of the settings file as it is on disk, or "<none>".
    std::string Ini(const char* section, const char* key) const {
        IniFileClass ini;
        ini.ReadIniFile(IniPath());
        return ini.ReadString(section, key, "<none>");
    }
    std::string Root() const { return root_.Path(); }
    // The test's XDG_RUNTIME_DIR.
    std::string Runtime() const { return root_.File("runtime"); }

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
    void Quit() { app->applicationWillTerminate(); }

    std::string WriteSplitFile(const std::string& name, const std::string& text) {
        const std::string path = Root() + name;
        WriteFile(path, text);
        return path;
    }
    void Open(const std::string& path) { app->OpenSplitFile(path); }
    // Writes route.txt and opens it; its path.
    std::string OpenRoute(const std::string& text = kThreeSplits) {
        Open(WriteSplitFile("route.txt", text));
        return Root() + "route.txt";
    }

    // Split, skip or undo a third of a second after the last press; the split-state save it
    // asks for is written, as it is a moment later in the running application.
    void Press(void (AppDelegate::*command)()) {
        FakeClock::Advance(34);
        (app.get()->*command)();
        app->FlushRunState();
    }
    // The status line after the next tick.
    std::string Status() {
        app->OnUpdateTimer();
        return app->StatusLabel->Text();
    }

    // The grid's label of a split's cell (slot 1: its difference) and of its name.
    static tk::Label* Cell(std::size_t split, std::size_t column, std::size_t slot = 0) {
        return DisplayGrid.at(split + 1).at(column + 1).at(slot);
    }
    static tk::Label* RowHeader(std::size_t split) { return DisplayGrid.at(split + 1).at(0).at(0); }

    std::unique_ptr<AppDelegate> app;
    Answer answer_ = Answer::Cancel;
    std::vector<Answer> answers_;
    std::vector<std::string> asked_;        // each question's text
    std::vector<std::string> informative_;  // and what it says of what is at stake
    std::optional<std::string> chosen_;     // every file choice's answer
    std::vector<FileChoice> choices_;
    std::function<bool(QDialog&)> onDialog_;  // true: OK
    std::vector<ProgressStep> progress_;
    std::optional<std::size_t> cancelAtStep_;

  private:
    TempDir root_;
};
