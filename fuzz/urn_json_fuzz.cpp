// JSON split file reader: any bytes either give a route or a FormatError, never a crash or a
// hang; a route read is written and read again to the same splits, times and attempt count.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzFiles.h"
#include "RouteRoundTrip.h"
#include "UrnJsonReader.h"
#include "UrnJsonWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RouteData first;
    try {
        ConvertReport report;
        first = ReadUrnJson(text, &report);
    } catch (const FormatError&) {
        return 0;
    }
    ConvertReport report;
    const std::string written = WriteUrnJson(first, &report);
    RouteData second;
    try {
        second = ReadUrnJson(written, &report);
    } catch (const FormatError& error) {
        fuzz::Fail(error.what());
    }
    // A positive offset has no place in the format: it comes back as 0.
    fuzz::CheckRoundTrip(
        first, second, /*expectedOffset=*/first.StartOffset > 0 ? 0 : first.StartOffset,
        [](const SplitPicture& a, const SplitPicture& b) { return a.FileName == b.FileName; });
    return 0;
}
