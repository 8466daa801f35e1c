// This timer's split file as the converter reads and writes it, held to the engine: any bytes
// the converter reads give the route the engine loads (without a byte-order mark, which the
// engine reads into the attempt count), and the text the converter writes for a route is the
// text the engine saves for it. The converter may refuse more than the engine (a NUL byte, a
// file past its limits) but never less.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ConvertReport.h"
#include "FuzzFiles.h"
#include "QuorvelEngine.h"
#include "QuorvelSplitFile.h"
#include "RouteData.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RouteData route;
    try {
        route = ReadQuorvelSplitText(text);
    } catch (const FormatError&) {
        return 0;
    }
    const std::string path = fuzz::ScratchFolder() + "route.txt";
    if (!text.starts_with("\xEF\xBB\xBF")) {
        fuzz::WriteInput(path, data, size);
        QuorvelClass engine(fuzz::ScratchFolder());
        engine.LoadSplitData(path);
        Check(engine.GetColumnCount() != 0, "the engine loads what the converter reads");
        Check(engine.GetRoute() == route, "the engine loads the route the converter reads");
    }
    QuorvelClass writer(fuzz::ScratchFolder());
    writer.SplitFileName = fuzz::ScratchFolder() + "saved.txt";
    writer.SetRoute(route);
    std::string saved;
    Check(!writer.LastSaveFailed && ReadWholeFile(writer.SplitFileName, &saved), "saved");
    Check(saved == QuorvelSplitText(route), "the converter writes the text the engine saves");
    return 0;
}
