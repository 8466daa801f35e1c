// The history of an XML split file, and the update of such a file in place: any bytes either
// give a route and a history or a FormatError, never a crash or a hang. What was read goes
// out again two ways, and must come back as it was:
//   - written as a new file (version 1.8), read again: the same attempts and segment times;
//   - written into the file it was read from (an update in place): the update refuses the
//     file, or gives a file that reads back as the same route and history, and updating
//     that once more with the same route changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "HistoryImport.h"
#include "LssReader.h"
#include "LssUpdate.h"
#include "LssWriter.h"
#include "RouteRoundTrip.h"

namespace {

using fuzz::Check;

struct Read {
    RouteData Route;
    history::History History;
    TimingMethod Clock = TimingMethod::RealTime;  // the clock the route was read on
};

Read ReadWithHistory(std::string_view text, TimingMethod timing) {
    ConvertReport report;
    history::HistoryImport imported;
    Read read;
    read.Route = ReadLss(text, timing, &report, &imported);
    read.Clock = imported.Clock == history::TimeClock::Game ? TimingMethod::GameTime
                                                            : TimingMethod::RealTime;
    Check(imported.SplitNames.size() == read.Route.Splits.size(), "one history list per split");
    history::ImportSummary summary;
    read.History = history::BuildImportedHistory(imported, &summary);
    std::size_t listed = 0;
    for (const history::Attempt& attempt : read.History.Attempts) {
        listed += history::IsListed(attempt) ? 1 : 0;
        Check(attempt.Splits.size() <= read.Route.Splits.size(), "entries past the last split");
    }
    Check(listed == summary.Attempts, "the summary counts the attempts kept");
    return read;
}

Read ReadAgain(std::string_view text, TimingMethod timing, const char* what) {
    try {
        return ReadWithHistory(text, timing);
    } catch (const FormatError& error) {
        std::fprintf(stderr, "%s: %s\n", what, error.what());
        fuzz::Fail(what);
    }
}

void CheckSame(const Read& first, const Read& second, const char* stage) {
    fuzz::CheckRoundTrip(
        first.Route, second.Route, /*expectedOffset=*/first.Route.StartOffset,
        [](const SplitPicture& a, const SplitPicture& b) { return a.Bytes == b.Bytes; });
    if (second.History.Attempts != first.History.Attempts) {
        std::fprintf(stderr, "%s: ", stage);
        fuzz::Fail("attempts and segment times");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Read first;
    try {
        first = ReadWithHistory(text, TimingMethod::Automatic);
    } catch (const FormatError&) {
        return 0;
    }
    // Written on the clock the route was read on, as the export of an imported route is.
    const TimingMethod timing = first.Clock;
    ConvertReport report;
    const std::string written = WriteLss(first.Route, timing, &report, &first.History);
    CheckSame(first, ReadAgain(written, timing, "a written file reads back"), "written");

    if (!UpdateRefusal(text).empty()) {
        return 0;
    }
    const std::vector<bool> keepIcon(first.Route.Splits.size(), false);
    std::string updated;
    try {
        updated = UpdateLss(text, first.Route, timing, &first.History, keepIcon, &report);
    } catch (const FormatError& error) {
        std::fprintf(stderr, "update: %s\n", error.what());
        fuzz::Fail("a file the update accepts is updated");
    }
    const Read second = ReadAgain(updated, timing, "an updated file reads back");
    // The kept run goes under "Personal Best": a file without one gets one, and keeps the
    // comparison the kept run was read from besides.
    if (first.Route.RunTitles.empty() || first.Route.RunTitles.back() == "Personal Best") {
        CheckSame(first, second, "updated");
    }
    Check(UpdateLss(updated, first.Route, timing, &first.History, keepIcon, &report) == updated,
          "updating again with the same route changes nothing");
    return 0;
}
