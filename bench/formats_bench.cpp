// Import of the other timers' XML split files: a 1,000-segment file with 10 comparisons and
// 2,000 attempts of history, and a 1 MB file of embedded icons, each read into a route, and
// converted whole into a split file (read, icons written, split file written atomically).
// The baseline is pugixml alone parsing the same bytes: reading a route should cost no more
// than three times that, and the 1,000-segment file no more than 10 ms.
//
// A route of 13 segments with 2,000 attempts of history, every attempt with a time at every
// segment (26,000 segment times), is imported whole (split file and history database beside
// it) in at most 50 ms, and exported back from the two into an XML file.
//
// The 9,000-icon import (a file of about 20 MB, as scripts/make-lss-with-icons.py writes one
// for the command line) is converted into a folder on disk ($TMPDIR, else /tmp), where every
// sync reaches the disk: it should take no more than 2 s of wall-clock time.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <pugixml.hpp>
#include <random>
#include <string>

#include "ClockText.h"
#include "Converter.h"
#include "FileIO.h"
#include "IconImage.h"
#include "LssReader.h"

namespace {

std::string TimeElement(const char* clock, std::int32_t time) {
    return std::string("<") + clock + ">" + LongClockText(time) + "</" + clock + ">";
}

// segments splits, comparisons named comparisons, attempts of history; every segment holds
// history segment times of history, and with icons a picture of iconBytes random bytes.
std::string MakeLss(int segments, int comparisons, int attempts, std::size_t iconBytes,
                    int history = 10) {
    std::mt19937 random(7);
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Run version=\"1.8.0\">\n  <GameIcon />\n"
        "  <GameName>Benchmark Game</GameName>\n  <CategoryName>Any%</CategoryName>\n"
        "  <Offset>-00:00:01.5000000</Offset>\n  <AttemptCount>2000</AttemptCount>\n"
        "  <AttemptHistory>\n";
    for (int a = 1; a <= attempts; ++a) {
        text += "    <Attempt id=\"" + std::to_string(a) +
                "\" started=\"01/02/2024 10:00:00\" isStartedSynced=\"True\" ended=\"01/02/2024 "
                "11:00:00\" isEndedSynced=\"True\">\n      " +
                TimeElement("RealTime", 300000 + static_cast<std::int32_t>(random() % 60000)) +
                "\n    </Attempt>\n";
    }
    text += "  </AttemptHistory>\n  <Segments>\n";
    std::vector<std::int32_t> totals(static_cast<std::size_t>(comparisons), 0);
    for (int s = 0; s < segments; ++s) {
        text += "    <Segment>\n      <Name>Split " + std::to_string(s) + "</Name>\n      <Icon>";
        if (iconBytes > 0) {
            std::string image = "\x89PNG\r\n\x1a\n";
            while (image.size() < iconBytes) {
                image.push_back(static_cast<char>(random() & 0xFF));
            }
            text += EncodeBase64(image);
        }
        text += "</Icon>\n      <SplitTimes>\n";
        for (int c = 0; c < comparisons; ++c) {
            totals[static_cast<std::size_t>(c)] +=
                3000 + static_cast<std::int32_t>(random() % 3000);
            text += "        <SplitTime name=\"" +
                    (c == 0 ? std::string("Personal Best") : "Run " + std::to_string(c)) +
                    "\">\n          " +
                    TimeElement("RealTime", totals[static_cast<std::size_t>(c)]) + "\n          " +
                    TimeElement("GameTime", totals[static_cast<std::size_t>(c)] - 100) +
                    "\n        </SplitTime>\n";
        }
        text += "      </SplitTimes>\n      <BestSegmentTime>" + TimeElement("RealTime", 2900) +
                "</BestSegmentTime>\n      <SegmentHistory>\n";
        for (int h = 1; h <= history; ++h) {
            text += "        <Time id=\"" + std::to_string(h) + "\">" +
                    TimeElement("RealTime", 3000 + static_cast<std::int32_t>(random() % 3000)) +
                    "</Time>\n";
        }
        text += "      </SegmentHistory>\n    </Segment>\n";
    }
    text += "  </Segments>\n  <AutoSplitterSettings />\n</Run>\n";
    return text;
}

const std::string& LargeRoute() {
    static const std::string text = MakeLss(1000, 10, 2000, 0);
    return text;
}

const std::string& IconRoute() {
    static const std::string text = MakeLss(100, 2, 10, 7000);
    return text;
}

const std::string& NineThousandIcons() {
    static const std::string text = MakeLss(9000, 2, 0, 1300, /*history=*/0);
    return text;
}

const std::string& LongHistory() {
    static const std::string text = MakeLss(13, 1, 2000, 0, /*history=*/2000);
    return text;
}

void ReadRoute(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        ConvertReport report;
        RouteData route = ReadLss(text, TimingMethod::Automatic, &report);
        benchmark::DoNotOptimize(route.Splits.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

void PugixmlAlone(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        pugi::xml_document document;
        benchmark::DoNotOptimize(document.load_buffer(text.data(), text.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The whole import: the file read, icons and split file written, on a memory-backed folder
// or, with onDisk, on the disk. Each conversion writes into a new empty folder, and nothing
// is removed until the end: a file system slows down creating files where many were just
// removed (ext4 passes over recently freed inodes), which is no part of an import.
std::string ScratchFolder(bool onDisk) {
    std::string folder = (!onDisk && ::access("/dev/shm", W_OK) == 0
                              ? std::string("/dev/shm")
                              : std::filesystem::temp_directory_path().string()) +
                         "/quorvel-bench-XXXXXX";
    return ::mkdtemp(folder.data()) == nullptr ? std::string() : folder;
}

// A scratch folder holding text as route.lss; "" (the benchmark skipped) when none is had.
std::string ScratchFolderWithRoute(benchmark::State& state, const std::string& text, bool onDisk) {
    const std::string folder = ScratchFolder(onDisk);
    if (folder.empty()) {
        state.SkipWithError("no scratch folder");
        return folder;
    }
    WriteFileAtomically(folder + "/route.lss", [&](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
    return folder;
}

void ConvertToSplitFile(benchmark::State& state, const std::string& text, bool onDisk = false) {
    const std::string folder = ScratchFolderWithRoute(state, text, onDisk);
    if (folder.empty()) {
        return;
    }
    const std::string in = folder + "/route.lss";
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string out = folder + "/" + std::to_string(++round);
        std::filesystem::create_directory(out);
        ::sync();
        state.ResumeTiming();
        ConvertReport report;
        const ConvertResult result =
            ConvertSplitFile(in, out + "/route.txt", ConvertOptions{}, &report);
        if (result.Outcome != ConvertResult::Ok) {
            state.SkipWithError(result.Message.c_str());
            break;
        }
    }
    std::filesystem::remove_all(folder);
}

// The route imported once, then exported from its split file and history into a new XML
// file each round.
void ExportWithHistory(benchmark::State& state, const std::string& text) {
    const std::string folder = ScratchFolderWithRoute(state, text, /*onDisk=*/false);
    if (folder.empty()) {
        return;
    }
    const std::string in = folder + "/route.lss";
    ConvertReport imported;
    ConvertResult result = ConvertSplitFile(in, folder + "/route.txt", ConvertOptions{}, &imported);
    int round = 0;
    for (auto _ : state) {
        if (result.Outcome != ConvertResult::Ok) {
            state.SkipWithError(result.Message.c_str());
            break;
        }
        ConvertReport report;
        result = ConvertSplitFile(folder + "/route.txt",
                                  folder + "/out-" + std::to_string(++round) + ".lss",
                                  ConvertOptions{}, &report);
    }
    std::filesystem::remove_all(folder);
}

void BM_ReadLss1000Segments(benchmark::State& state) {
    ReadRoute(state, LargeRoute());
}
void BM_PugixmlAlone1000Segments(benchmark::State& state) {
    PugixmlAlone(state, LargeRoute());
}
void BM_ConvertLss1000SegmentsToSplitFile(benchmark::State& state) {
    ConvertToSplitFile(state, LargeRoute());
}
void BM_ReadLssWithIcons1MB(benchmark::State& state) {
    ReadRoute(state, IconRoute());
}
void BM_PugixmlAloneWithIcons1MB(benchmark::State& state) {
    PugixmlAlone(state, IconRoute());
}
void BM_ConvertLssWithIcons1MBToSplitFile(benchmark::State& state) {
    ConvertToSplitFile(state, IconRoute());
}
void BM_ConvertLssWith9000IconsToSplitFileOnDisk(benchmark::State& state) {
    state.counters["bytes"] = static_cast<double>(NineThousandIcons().size());
    ConvertToSplitFile(state, NineThousandIcons(), /*onDisk=*/true);
}

void BM_ReadLssWith2000AttemptsOf13Segments(benchmark::State& state) {
    state.counters["bytes"] = static_cast<double>(LongHistory().size());
    for (auto _ : state) {
        ConvertReport report;
        history::HistoryImport imported;
        RouteData route = ReadLss(LongHistory(), TimingMethod::Automatic, &report, &imported);
        benchmark::DoNotOptimize(route.Splits.data());
        benchmark::DoNotOptimize(imported.Attempts.data());
    }
}
void BM_ImportLssWith2000AttemptsOf13Segments(benchmark::State& state) {
    ConvertToSplitFile(state, LongHistory());
}
void BM_ImportLssWith2000AttemptsOf13SegmentsOnDisk(benchmark::State& state) {
    ConvertToSplitFile(state, LongHistory(), /*onDisk=*/true);
}
void BM_ExportLssWith2000AttemptsOf13Segments(benchmark::State& state) {
    ExportWithHistory(state, LongHistory());
}

BENCHMARK(BM_ReadLss1000Segments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLssWith2000AttemptsOf13Segments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportLssWith2000AttemptsOf13Segments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportLssWith2000AttemptsOf13SegmentsOnDisk)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ExportLssWith2000AttemptsOf13Segments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlAlone1000Segments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertLss1000SegmentsToSplitFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLssWithIcons1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlAloneWithIcons1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertLssWithIcons1MBToSplitFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertLssWith9000IconsToSplitFileOnDisk)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
