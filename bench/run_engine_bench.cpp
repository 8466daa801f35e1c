// The run engine on a large grid: 10,000 splits and 12 columns ("Best Splits", ten stored
// runs, "Current"), built in memory with no split file, so nothing is written to disk except
// by the split-state benchmark, which uses a temporary folder.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/time.h>

#include <filesystem>
#include <memory>
#include <string>

#include "QuorvelEngine.h"

namespace {

constexpr unsigned int kRows = 10000;
constexpr unsigned int kColumns = 12;

// A clock that moves one hundredth on every reading, so every split has a time.
timeval TickingClock() {
    static std::int64_t hundredths = 100000;
    ++hundredths;
    return timeval{static_cast<time_t>(hundredths / 100),
                   static_cast<suseconds_t>((hundredths % 100) * 10000)};
}

void BuildGrid(QuorvelClass& engine) {
    for (unsigned int c = 0; c < kColumns; ++c) {
        engine.ColumnHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.ColumnHeaders.back()->Text = c == 0              ? "Best Splits"
                                            : c + 1 == kColumns ? "Current"
                                                                : "Run " + std::to_string(c);
    }
    for (unsigned int r = 0; r < kRows; ++r) {
        engine.RowHeaders.push_back(std::make_unique<HeaderInfoClass>());
        engine.RowHeaders.back()->Text = "Split " + std::to_string(r + 1);
        engine.SplitCells.emplace_back();
        for (unsigned int c = 0; c < kColumns; ++c) {
            auto cell = std::make_unique<SplitDataClass>();
            if (c == 0) {
                cell->Elapsed = 900;
            } else if (c + 1 < kColumns) {
                cell->Elapsed = 1000 + static_cast<std::int32_t>(c);
                cell->Timer = static_cast<std::int32_t>(r + 1) * cell->Elapsed;
            }
            engine.SplitCells.back().push_back(std::move(cell));
        }
    }
    engine.RefreshBestSplitTimers();
}

// One split of a run on the large grid; a run is restarted (untimed) before its last split.
void BM_DoSplit(benchmark::State& state) {
    SetClockSource(&TickingClock);
    QuorvelClass engine("/nonexistent/");
    BuildGrid(engine);
    engine.StartTimer();
    for (auto _ : state) {
        engine.DoSplit();
        if (engine.GetNextSplitNumber() + 1 == kRows) {
            state.PauseTiming();
            engine.ClearTimer();
            engine.StartTimer();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
    SetClockSource(nullptr);
}
BENCHMARK(BM_DoSplit);

// Every difference of the grid, with the run halfway (argument 0) or finished (argument 1).
void BM_UpdateTimerDiffs(benchmark::State& state) {
    SetClockSource(&TickingClock);
    QuorvelClass engine("/nonexistent/");
    BuildGrid(engine);
    engine.StartTimer();
    const unsigned int splits = state.range(0) == 0 ? kRows / 2 : kRows;
    for (unsigned int i = 0; i < splits; ++i) {
        engine.DoSplit();
    }
    for (auto _ : state) {
        engine.UpdateTimerDiffs();
        benchmark::DoNotOptimize(engine.SplitCells[0][1]->TimerDiff);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
    state.SetLabel(state.range(0) == 0 ? "run halfway" : "run finished");
    SetClockSource(nullptr);
}
BENCHMARK(BM_UpdateTimerDiffs)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Restoring a run that stopped before its last split from a split-state file.
void BM_LoadSplitStateData(benchmark::State& state) {
    SetClockSource(&TickingClock);
    std::string folder = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    folder += "/";
    {
        QuorvelClass writer(folder);
        BuildGrid(writer);
        writer.SplitFileName = folder + "route.txt";
        writer.SaveSplitData();
        writer.StartTimer();
        for (unsigned int i = 0; i + 1 < kRows; ++i) {
            writer.DoSplit();
        }
        writer.SaveSplitStateData();
    }
    QuorvelClass engine(folder);
    for (auto _ : state) {
        engine.LoadSplitStateData(folder + "route-SplitState.txt");
        benchmark::DoNotOptimize(engine.NextSplit);
    }
    if (engine.GetNextSplitNumber() + 1 != kRows) {
        state.SkipWithError("the state did not load");
    }
    std::filesystem::remove_all(folder);
    SetClockSource(nullptr);
}
BENCHMARK(BM_LoadSplitStateData)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
