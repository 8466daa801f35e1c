// The shell's display work on a large split file (1,000 splits, 10 columns, a run half done):
// one refresh of the whole grid, a rebuild followed by a refresh, and one update tick.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "AppDelegate.h"

namespace {

constexpr int kRows = 1000;
constexpr int kStoredRuns = 8;  // with the best splits and the current run: 10 columns

std::string LargeSplitFile() {
    std::string text = "250\t-1.00\nLarge route\tBest Splits";
    for (int run = 0; run < kStoredRuns; ++run) {
        text += "\tRun " + std::to_string(run + 1);
    }
    text += "\n";
    for (int row = 0; row < kRows; ++row) {
        text += "Split " + std::to_string(row + 1) + "\t" +
                LongToTimeString(3000 + row % 97, false, true);
        for (int run = 0; run < kStoredRuns; ++run) {
            text += "\t" + LongToTimeString((row + 1) * (3100 + run * 7), false, true);
        }
        text += "\n" + std::string(row % 10 == 0 ? "\tsome note" : "") + "\n";
    }
    return text;
}

// A launched shell on the large file, half of the run split.
class Shell {
  public:
    Shell() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root_ = pattern;
        ::setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
        const std::string path = root_ + "/large.txt";
        std::ofstream(path) << LargeSplitFile();
        app = std::make_unique<AppDelegate>();
        app->CreateMainWindow();
        app->applicationDidFinishLaunching();
        app->OpenSplitFile(path);
        TimerData->StartOffset = 0;
        TimerData->StartTimer();
        for (int row = 0; row < kRows / 2; ++row) {
            TimerData->AccumulatedTime += 3050;
            TimerData->DoSplit();
        }
        app->UpdateScreen();
    }
    ~Shell() {
        app.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::unique_ptr<AppDelegate> app;

  private:
    std::string root_;
};

void BM_UpdateScreen(benchmark::State& state) {
    Shell shell;
    for (auto _ : state) {
        shell.app->UpdateScreen();
    }
}
BENCHMARK(BM_UpdateScreen)->Unit(benchmark::kMicrosecond);

// After a split: one row changes and the split being timed moves on.
void BM_UpdateScreenAfterSplit(benchmark::State& state) {
    Shell shell;
    for (auto _ : state) {
        state.PauseTiming();
        TimerData->UndoSplit();
        TimerData->DoSplit();
        state.ResumeTiming();
        shell.app->UpdateScreen();
    }
}
BENCHMARK(BM_UpdateScreenAfterSplit)->Unit(benchmark::kMicrosecond);

void BM_CreateAndUpdateScreen(benchmark::State& state) {
    Shell shell;
    for (auto _ : state) {
        shell.app->CreateScreen();
        shell.app->UpdateScreen();
    }
}
BENCHMARK(BM_CreateAndUpdateScreen)->Unit(benchmark::kMicrosecond);

void BM_OnUpdateTimer(benchmark::State& state) {
    Shell shell;
    for (auto _ : state) {
        shell.app->OnUpdateTimer();
    }
}
BENCHMARK(BM_OnUpdateTimer)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
