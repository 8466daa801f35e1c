// The history's figures: a split recorded on the window's thread (the writer thread does
// the disk) and the same split on disk, an import of 2,000 attempts x 13 segments into a new
// history file, the statistics of 10,000 attempts x 50 splits, and, for the window's open of a
// route, loading and opening that history (the open runs PRAGMA quick_check).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "HistoryDatabase.h"
#include "HistoryFile.h"
#include "HistoryImport.h"
#include "HistoryRecorder.h"
#include "HistoryStatistics.h"

using namespace history;

namespace {

class Folder {
  public:
    Folder() : path_((std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string()) {
        if (::mkdtemp(path_.data()) == nullptr) {
            path_ = std::filesystem::temp_directory_path().string();
        }
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::vector<std::string> Names(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back("Split " + std::to_string(i + 1));
    }
    return names;
}

// Attempts of segments around 30-60 s; a third reset somewhere, one split in a hundred skipped.
HistoryImport MakeImport(int attempts, int splits) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> segment(3000, 6000);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> resetAt(0, splits - 1);
    HistoryImport in;
    in.SplitNames = Names(splits);
    in.SegmentHistory.resize(static_cast<std::size_t>(splits));
    for (int id = 1; id <= attempts; ++id) {
        const int reached = percent(random) < 33 ? resetAt(random) : splits;
        std::int32_t total = 0;
        for (int k = 0; k < reached; ++k) {
            const bool skipped = k + 1 < splits && percent(random) == 0;
            const std::int32_t time = segment(random);
            total += time;
            in.SegmentHistory[static_cast<std::size_t>(k)].push_back(
                {id, skipped ? std::nullopt : std::optional<std::int32_t>(time)});
        }
        in.Attempts.push_back(
            {id, 1700000000 + id * 3600, 1700000000 + id * 3600 + total / 100,
             reached == splits ? std::optional<std::int32_t>(total) : std::nullopt, 0});
    }
    return in;
}

void BM_RecordSplitOnTheWindowThread(benchmark::State& state) {
    Folder folder;
    const std::string route = folder.File("route.txt");
    std::ofstream(route) << "0\t0\n";
    HistoryRecorder recorder;
    constexpr int kSplits = 13;
    recorder.Open(route, Access::Writable, Names(kSplits));
    std::int32_t number = 1;
    recorder.AttemptStarted(number, TimeClock::Real);
    std::size_t next = 0;
    std::int32_t running = 0;
    for (auto _ : state) {
        running += 4000;
        recorder.SplitMade(next, running);
        if (++next == kSplits - 1) {  // a new attempt instead of the last split, as a reset
            recorder.AttemptReset(running, 0);
            recorder.AttemptStarted(++number, TimeClock::Real);
            next = 0;
            running = 0;
        }
    }
    recorder.WaitUntilWritten();
    state.SetLabel(recorder.Problem().empty() ? "written" : recorder.Problem());
}
BENCHMARK(BM_RecordSplitOnTheWindowThread)->Unit(benchmark::kMicrosecond);

// The same split followed to the disk: handed over, written and synced by the writer thread
// (WAL, synchronous=FULL). The window never waits for this.
void BM_SplitOnDisk(benchmark::State& state) {
    Folder folder;
    const std::string route = folder.File("route.txt");
    std::ofstream(route) << "0\t0\n";
    HistoryRecorder recorder;
    recorder.Open(route, Access::Writable, Names(2));
    recorder.AttemptStarted(1, TimeClock::Real);
    for (auto _ : state) {
        recorder.SplitMade(0, 4000);
        recorder.WaitUntilWritten();
        recorder.SplitUndone(0);
        recorder.WaitUntilWritten();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_SplitOnDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportIntoANewHistory(benchmark::State& state) {
    const HistoryImport in = MakeImport(static_cast<int>(state.range(0)), 13);
    Folder folder;
    const std::string route = folder.File("route.txt");
    std::ofstream(route) << "0\t0\n";
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(HistoryPathFor(route) + suffix);
        }
        state.ResumeTiming();
        ImportSummary summary;
        const History history = BuildImportedHistory(in, &summary);
        auto db = std::make_unique<HistoryDatabase>();
        db->Open(route, Access::Writable, in.SplitNames);
        if (!db->ReplaceAll(history)) {
            state.SkipWithError(db->LastError().c_str());
            break;
        }
        benchmark::DoNotOptimize(summary);
        // Closing copies the log into the file (a checkpoint): BM_CloseAfterImport.
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportIntoANewHistory)->Arg(2000)->Unit(benchmark::kMillisecond);

// The part of an import that needs no file: the attempts and segment lists made a History.
void BM_BuildImportedHistory(benchmark::State& state) {
    const HistoryImport in = MakeImport(static_cast<int>(state.range(0)), 13);
    for (auto _ : state) {
        ImportSummary summary;
        benchmark::DoNotOptimize(BuildImportedHistory(in, &summary));
    }
}
BENCHMARK(BM_BuildImportedHistory)->Arg(2000)->Unit(benchmark::kMillisecond);

// The first close after an import: the log copied into the file and removed.
void BM_CloseAfterImport(benchmark::State& state) {
    const HistoryImport in = MakeImport(static_cast<int>(state.range(0)), 13);
    ImportSummary summary;
    const History history = BuildImportedHistory(in, &summary);
    Folder folder;
    const std::string route = folder.File("route.txt");
    std::ofstream(route) << "0\t0\n";
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<HistoryDatabase>();
        db->Open(route, Access::Writable, in.SplitNames);
        db->ReplaceAll(history);
        state.ResumeTiming();
        db.reset();
    }
}
BENCHMARK(BM_CloseAfterImport)->Arg(2000)->Unit(benchmark::kMillisecond);

History LoadedHistory(int attempts, int splits) {
    ImportSummary summary;
    return BuildImportedHistory(MakeImport(attempts, splits), &summary);
}

void BM_Statistics(benchmark::State& state) {
    const History history = LoadedHistory(static_cast<int>(state.range(0)), 50);
    for (auto _ : state) {
        const Statistics figures = ComputeStatistics(history, TimeClock::Real);
        benchmark::DoNotOptimize(figures.SumOfBest);
    }
}
BENCHMARK(BM_Statistics)->Arg(10000)->Unit(benchmark::kMillisecond);

// The five comparisons of the Splits view, together.
void BM_Comparisons(benchmark::State& state) {
    const History history = LoadedHistory(static_cast<int>(state.range(0)), 50);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SumOfBestSegments(history, TimeClock::Real));
        benchmark::DoNotOptimize(BestSplitTimes(history, TimeClock::Real));
        benchmark::DoNotOptimize(AverageSegments(history, TimeClock::Real));
        benchmark::DoNotOptimize(MedianSegments(history, TimeClock::Real));
        benchmark::DoNotOptimize(LatestRun(history, TimeClock::Real));
    }
}
BENCHMARK(BM_Comparisons)->Arg(10000)->Unit(benchmark::kMillisecond);

void OpenAndMaybeLoad(benchmark::State& state, bool load) {
    Folder folder;
    const std::string route = folder.File("route.txt");
    std::ofstream(route) << "0\t0\n";
    const History history = LoadedHistory(static_cast<int>(state.range(0)), 50);
    {
        HistoryDatabase db;
        db.Open(route, Access::Writable, history.SplitNames);
        db.ReplaceAll(history);
    }
    for (auto _ : state) {
        HistoryDatabase db;
        const OpenResult opened = db.Open(route, Access::ReadOnly, history.SplitNames);
        History loaded;
        std::string problem;
        if (opened.What != OpenResult::Status::Opened || (load && !db.Load(&loaded, &problem))) {
            state.SkipWithError("not opened");
            break;
        }
        benchmark::DoNotOptimize(loaded.Attempts.size());
    }
}

void BM_OpenHistory(benchmark::State& state) {
    OpenAndMaybeLoad(state, /*load=*/false);
}
BENCHMARK(BM_OpenHistory)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_OpenAndLoadHistory(benchmark::State& state) {
    OpenAndMaybeLoad(state, /*load=*/true);
}
BENCHMARK(BM_OpenAndLoadHistory)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
