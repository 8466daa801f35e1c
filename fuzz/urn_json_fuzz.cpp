// JSON split file reader: any bytes either give a route or a FormatError, never a crash or a
// hang; a route read is written and read again to the same splits, times and attempt count.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzFiles.h"
#include "UrnJsonReader.h"
#include "UrnJsonWriter.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Route first;
    try {
        ConvertReport report;
        first = ReadUrnJson(text, &report);
    } catch (const FormatError&) {
        return 0;
    }
    ConvertReport report;
    const std::string written = WriteUrnJson(first, &report);
    Route second;
    try {
        second = ReadUrnJson(written, &report);
    } catch (const FormatError& error) {
        fuzz::Fail(error.what());
    }
    Check(second.Splits.size() == first.Splits.size(), "split count");
    Check(second.Comparisons.size() == first.Comparisons.size(), "comparison count");
    Check(second.AttemptCount == first.AttemptCount, "attempt count");
    Check(second.Offset == (first.Offset > 0 ? 0 : first.Offset), "start delay");
    for (std::size_t s = 0; s < first.Splits.size(); ++s) {
        Check(second.Splits[s].BestSegment == first.Splits[s].BestSegment, "best segment");
        Check(second.Splits[s].Icon.FileName == first.Splits[s].Icon.FileName, "icon name");
        for (std::size_t c = 0; c < first.Comparisons.size(); ++c) {
            Check(second.Comparisons[c].Times[s] == first.Comparisons[c].Times[s], "time");
        }
    }
    return 0;
}
