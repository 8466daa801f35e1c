// Split file load and save, escape codes on a large note, and a baseline that only reads the
// same bytes and cuts them into lines and cells, so the cost of building the grid can be
// compared with the cost of looking at the text at all; and the memory a loaded grid takes.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "FileIO.h"
#include "QuorvelEngine.h"

namespace {

constexpr int kColumns = 12;  // "Best Splits", ten stored runs and "Current"

// A split file of the given number of rows with ten stored runs; a tenth of the note cells
// hold a note with escape codes, every fifth row has a picture.
std::string MakeSplitFile(int rows) {
    std::mt19937 random(42);
    std::string text = "1234\t-1.50\nBenchmark route\tBest Splits";
    for (int c = 1; c < kColumns - 1; ++c) {
        text += "\tRun " + std::to_string(c);
    }
    text += "\n";
    std::vector<std::int32_t> totals(kColumns, 0);
    for (int r = 0; r < rows; ++r) {
        text += "Split " + std::to_string(r);
        text += "\t" + LongToTimeString(3000 + static_cast<std::int32_t>(random() % 3000),
                                        /*ShowPlus=*/false, /*ShortForm=*/true);
        for (int c = 1; c < kColumns - 1; ++c) {
            totals[c] += 3000 + static_cast<std::int32_t>(random() % 6000);
            text += "\t" + LongToTimeString(totals[c], /*ShowPlus=*/false, /*ShortForm=*/true);
        }
        text += "\n";
        text += r % 5 == 0 ? "pics/split" + std::to_string(r) + ".png" : std::string();
        for (int c = 0; c < kColumns - 1; ++c) {
            text += "\t";
            if (random() % 10 == 0) {
                text += "take the left path|rthen jump|tlate";
            }
        }
        text += "\n";
    }
    return text;
}

// A temporary folder holding one generated split file per row count.
class BenchFiles {
  public:
    BenchFiles() {
        std::string pattern = "/tmp/quorvel-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            folder_ = pattern;
        }
    }
    ~BenchFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    // The path of the split file with rows rows, created on first use.
    std::string SplitFile(int rows) {
        const std::string path = folder_ + "/split-" + std::to_string(rows) + ".txt";
        if (!std::filesystem::exists(path)) {
            const std::string text = MakeSplitFile(rows);
            std::ofstream(path, std::ios::binary)
                .write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        return path;
    }

    // A path in the folder, for a file a benchmark writes itself.
    std::string File(const std::string& name) const { return folder_ + "/" + name; }

  private:
    std::string folder_;
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

std::int64_t FileSize(const std::string& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

// Pages of the process in memory, in bytes (/proc/self/statm).
std::int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0;
    std::int64_t resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// Bytes the heap has handed out and not taken back, the engine's record pools included.
std::int64_t HeapBytesInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

// The memory one loaded grid takes: heap bytes and resident bytes after the load minus
// before it, and the resident size of the whole process. Freed records are kept by the
// engine for reuse, so a load after a larger one takes no new memory: run each size in a
// process of its own, --benchmark_filter=BM_LoadedGridMemory/1000/.
void BM_LoadedGridMemory(benchmark::State& state) {
    const std::string path = Files().SplitFile(static_cast<int>(state.range(0)));
    std::int64_t heap = 0;
    std::int64_t resident = 0;
    std::int64_t process = 0;
    for (auto _ : state) {
        auto engine = std::make_unique<QuorvelClass>("/tmp/");
        const std::int64_t heapBefore = HeapBytesInUse();
        const std::int64_t residentBefore = ResidentBytes();
        engine->LoadSplitData(path);
        heap = HeapBytesInUse() - heapBefore;
        process = ResidentBytes();
        resident = process - residentBefore;
        if (engine->GetRowCount() != state.range(0)) {
            state.SkipWithError("the generated file did not load");
        }
    }
    const auto rows = static_cast<double>(state.range(0));
    state.counters["grid_heap_bytes"] = static_cast<double>(heap);
    state.counters["heap_bytes_per_row"] = static_cast<double>(heap) / rows;
    state.counters["grid_resident_kB"] = static_cast<double>(resident) / 1024.0;
    state.counters["process_resident_kB"] = static_cast<double>(process) / 1024.0;
}

void BM_LoadSplitFile(benchmark::State& state) {
    const std::string path = Files().SplitFile(static_cast<int>(state.range(0)));
    QuorvelClass engine("/tmp/");
    for (auto _ : state) {
        engine.LoadSplitData(path);
        benchmark::DoNotOptimize(engine.GetRowCount());
    }
    if (engine.GetRowCount() != state.range(0)) {
        state.SkipWithError("the generated file did not load");
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
}

// Reads the same bytes and cuts them into lines and TAB cells, building nothing.
void BM_ReadAndCutBaseline(benchmark::State& state) {
    const std::string path = Files().SplitFile(static_cast<int>(state.range(0)));
    std::string text;
    std::vector<std::string_view> cells;
    for (auto _ : state) {
        ReadWholeFile(path, &text);
        std::size_t cellCount = 0;
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            std::string_view line = rest.substr(0, end);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            cells.clear();
            for (;;) {
                const std::size_t tab = line.find('\t');
                cells.push_back(line.substr(0, tab));
                if (tab == std::string_view::npos) {
                    break;
                }
                line.remove_prefix(tab + 1);
            }
            cellCount += cells.size();
        }
        benchmark::DoNotOptimize(cellCount);
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
}

// Every save rewrites the file atomically, so this includes two fsync calls.
void BM_SaveSplitFile(benchmark::State& state) {
    const std::string source = Files().SplitFile(static_cast<int>(state.range(0)));
    const std::string path = source + ".saved";
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    QuorvelClass engine("/tmp/");
    engine.LoadSplitData(path);
    for (auto _ : state) {
        engine.SaveSplitData();
    }
    if (engine.LastSaveFailed) {
        state.SkipWithError("the save failed");
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
}

// A 36 KB split file whose title line holds 20,000 TABs, over 2,000 rows: 40 million cells if
// it were built (more than 3 GB once). The file is refused at its title line; the process's
// peak resident size shows what the refusal cost. Run it in a process of its own,
// --benchmark_filter=BM_LoadHostileFile, so no other benchmark's memory is in the peak.
void BM_LoadHostileFile(benchmark::State& state) {
    const std::string path = Files().File("hostile.txt");
    {
        std::string text = "0\t0.00\nHostile" + std::string(20000, '\t') + "\n";
        for (int r = 0; r < 2000; ++r) {
            text += "S\t1.00\n\n";
        }
        std::ofstream(path, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    QuorvelClass engine("/tmp/");
    for (auto _ : state) {
        engine.LoadSplitData(path);
        benchmark::DoNotOptimize(engine.GetRowCount());
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["loaded_rows"] = engine.GetRowCount();
    state.counters["file_kB"] = static_cast<double>(FileSize(path)) / 1024.0;
    state.counters["peak_resident_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::string MakeNote(std::size_t bytes) {
    const std::string_view piece = "take the left path\r\nthen jump\tlate | or |not\n";
    std::string note;
    note.reserve(bytes + piece.size());
    while (note.size() < bytes) {
        note.append(piece);
    }
    note.resize(bytes);
    return note;
}

void BM_MakeSpecialCodes1MB(benchmark::State& state) {
    const std::string note = MakeNote(1 << 20);
    QuorvelClass engine("/tmp/");
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.MakeSpecialCodes(note));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(note.size()));
}

void BM_RemoveSpecialCodes1MB(benchmark::State& state) {
    QuorvelClass engine("/tmp/");
    const std::string escaped = engine.MakeSpecialCodes(MakeNote(1 << 20));
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.RemoveSpecialCodes(escaped));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(escaped.size()));
}

}  // namespace

// First, so that in a run of every benchmark no earlier load has filled the record pools.
BENCHMARK(BM_LoadedGridMemory)->Arg(20)->Arg(1000)->Iterations(1);
BENCHMARK(BM_LoadHostileFile)->Unit(benchmark::kMicrosecond);
// Up to 10,000 rows: the most splits a split file may have.
BENCHMARK(BM_LoadSplitFile)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAndCutBaseline)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveSplitFile)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeSpecialCodes1MB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveSpecialCodes1MB)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
