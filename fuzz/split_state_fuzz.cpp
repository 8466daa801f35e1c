// Split-state file: any file must load safely, next to a fixed split file it may name; a
// restored run must point at a real row, and saving the state and loading it again must give
// back the same run time, split position and done split times.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "QuorvelEngine.h"

namespace {

using fuzz::Check;

// The split file that state inputs name as "runs.txt": two stored runs, three splits.
constexpr char kSplitFile[] =
    "12\t-0.33\n"
    "Any% route\tBest Splits\tRun 1\tRun 2\n"
    "Level 1\t40.10\t41.00\t40.50\n"
    "\t\twatch the gap|rjump late\t\n"
    "Level 2\t55.00\t1:36.20\t1:37.00\n"
    "\t\t\t\n"
    "Level 3\t1:02.00\t2:40.00\t0.00\n"
    "\t\t\t\n";

const std::string& Folder() {
    static const std::string folder = [] {
        const std::string f = fuzz::ScratchFolder();
        fuzz::WriteInput(f + "runs.txt", reinterpret_cast<const std::uint8_t*>(kSplitFile),
                         sizeof kSplitFile - 1);
        return f;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "state.txt";
    fuzz::WriteInput(path, data, size);

    QuorvelClass first(Folder());
    first.LoadSplitStateData(path);
    Check(!first.IsTimerRunning(), "a restored run is paused");
    const unsigned int rows = first.GetRowCount();
    const unsigned int columns = first.GetColumnCount();
    if (rows > 0) {
        Check(first.GetNextSplitNumber() < rows, "a restored run points at a real row");
    }
    Check(columns == 0 || first.SplitStateFileName == path,
          "a grid loaded through a state file remembers that file");

    const std::string savedTo = first.SplitStatePath();
    first.SaveSplitStateData();
    QuorvelClass second(Folder());
    second.LoadSplitStateData(savedTo);
    Check(second.GetColumnCount() == columns, "the state reloads the same split file");
    Check(second.GetCurrentTime() == first.GetCurrentTime(), "run time");
    // Each form stores only its own half: the split position and done splits, or the
    // timer-mode time.
    if (columns != 0) {
        Check(second.GetNextSplitNumber() == first.GetNextSplitNumber(), "split position");
    } else {
        Check(second.GetTimerModeFirstPlaceTime() == first.GetTimerModeFirstPlaceTime(),
              "timer-mode time");
    }
    for (unsigned int row = 0; row < first.GetNextSplitNumber() && row < rows; ++row) {
        Check(second.GetDataCellTimer(row, columns - 1) == first.GetDataCellTimer(row, columns - 1),
              "done split time");
    }
    return 0;
}
