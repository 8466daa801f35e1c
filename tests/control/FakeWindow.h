// A window for the control tests: a real engine on a hand-built route, and menu commands that
// are only recorded (or handed to a test's own action).
//   FakeWindow window;                       // "Split 1".."Split 3", kept run "Personal Best"
//   window.Play({1100});                     // started and split once at 11.00
//   control::Perform(*control::ReadCommand("pause"), window);
//   window.ran == {control::MenuCommand::kPauseResume}
#pragma once

#include <functional>
#include <vector>

#include "ControlTarget.h"
#include "FakeClock.h"
#include "GridBuilder.h"
#include "QuorvelEngine.h"

struct FakeWindow : control::ControlTarget {
    // Best segments 9.00, 14.00, 19.00; "Personal Best" at 10.00, 25.00, 45.00.
    FakeWindow() {
        BuildGrid(engine, {"Personal Best"}, {{900, 1000}, {1400, 2500}, {1900, 4500}});
    }

    // Starts the run and splits at each time (0 skips), then lets the clock reach now.
    void Play(const Times& splits, std::int32_t now = 0) {
        engine.StartTimer();
        SplitAt(engine, splits);
        if (now != 0) {
            FakeClock::Advance(now - engine.GetCurrentTime());
        }
    }

    const QuorvelClass* Engine() const override { return &engine; }
    void RunMenuCommand(control::MenuCommand command) override {
        ran.push_back(command);
        if (onRun) {
            onRun(command);
        }
    }
    bool RunCommandsPaused() const override { return dialogOpen; }
    bool ReadOnly() const override { return readOnly; }
    bool FinishedRunKept() const override { return kept; }

    QuorvelClass engine{"/nonexistent"};
    std::vector<control::MenuCommand> ran;
    std::function<void(control::MenuCommand)> onRun;
    bool dialogOpen = false;
    bool readOnly = false;
    bool kept = false;
};
