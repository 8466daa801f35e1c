// XML split file reader: any bytes either give a route or a FormatError, never a crash or a
// hang; a route read is written as version 1.8 and read again to the same splits and times.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzFiles.h"
#include "LssReader.h"
#include "LssWriter.h"
#include "RouteRoundTrip.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RouteData first;
    try {
        ConvertReport report;
        first = ReadLss(text, TimingMethod::Automatic, &report);
    } catch (const FormatError&) {
        return 0;
    }
    for (const RouteRow& split : first.Splits) {
        Check(split.RunTimes.size() == first.RunTitles.size(), "one time per stored run");
    }
    ConvertReport report;
    const std::string written = WriteLss(first, TimingMethod::RealTime, &report);
    RouteData second;
    try {
        second = ReadLss(written, TimingMethod::RealTime, &report);
    } catch (const FormatError& error) {
        fuzz::Fail(error.what());
    }
    fuzz::CheckRoundTrip(
        first, second, /*expectedOffset=*/first.StartOffset,
        [](const SplitPicture& a, const SplitPicture& b) { return a.Bytes == b.Bytes; });
    return 0;
}
