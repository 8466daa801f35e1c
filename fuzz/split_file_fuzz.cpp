// Split file: any file must load safely into a well-formed grid, and a loaded grid must
// survive a save and a second load: the same counters, description, titles, split names,
// stored times and notes. The "Current" column is not stored, pictures are left out of the
// comparison, and the segment times of the stored runs in the first row are derived anew
// (the first row of a saved file always stands on line 2).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "QuorvelEngine.h"

namespace {

using fuzz::Check;

void CheckWellFormed(QuorvelClass& grid) {
    const unsigned int columns = grid.GetColumnCount();
    const unsigned int rows = grid.GetRowCount();
    Check(columns >= 2, "a loaded grid has at least two columns");
    Check(grid.GetFullColumnHeader(0) == "Best Splits", "column 0 is the best splits");
    Check(grid.GetFullColumnHeader(columns - 1) == "Current", "the last column is current");
    Check(grid.RowHeaders.size() == rows, "one row header per row");
    for (unsigned int row = 0; row < rows; ++row) {
        Check(grid.SplitCells[row].size() >= columns, "a row has a cell for every column");
        for (unsigned int column = 0; column <= columns; ++column) {
            grid.GetDataCellNotes(row, column);
        }
    }
    Check(grid.GetDataCellTimer(rows, 0) == 0, "a row past the end reads as 0");
    Check(grid.GetDataCellNotes(0, columns).empty(), "a column past the end reads as empty");
}

void CheckSameStoredData(const QuorvelClass& first, const QuorvelClass& second) {
    Check(second.TotalAttemptCount == first.TotalAttemptCount, "attempt count");
    Check(second.StartOffset == first.StartOffset, "start offset");
    Check(second.GetFullFileDesc() == first.GetFullFileDesc(), "file description");
    Check(second.GetColumnCount() == first.GetColumnCount(), "column count");
    for (unsigned int column = 0; column < first.GetColumnCount(); ++column) {
        Check(second.GetFullColumnHeader(column) == first.GetFullColumnHeader(column),
              "column title");
    }
    Check(second.GetRowCount() == first.GetRowCount(), "row count");
    const unsigned int storedColumns = first.GetColumnCount() - 1;
    for (unsigned int row = 0; row < first.GetRowCount(); ++row) {
        Check(second.GetFullRowHeader(row) == first.GetFullRowHeader(row), "split name");
        for (unsigned int column = 0; column < storedColumns; ++column) {
            const SplitDataClass& a = *first.SplitCells[row][column];
            const SplitDataClass& b = *second.SplitCells[row][column];
            Check(b.Timer == a.Timer, "running time");
            Check(b.Notes == a.Notes, "notes");
            if (column == 0 || row > 0) {
                Check(b.Elapsed == a.Elapsed, "segment time");
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::ScratchFolder() + "run.txt";
    fuzz::WriteInput(path, data, size);

    QuorvelClass first(fuzz::ScratchFolder());
    first.LoadSplitData(path);
    if (first.GetColumnCount() == 0) {
        Check(first.GetRowCount() == 0, "a failed load leaves no rows");
        Check(first.SplitFileName.empty(), "a failed load leaves no file name");
        Check(!first.LastLoadError.empty(), "a failed load says why");
        return 0;
    }
    Check(first.SplitFileName == path, "a loaded grid keeps its file name");
    CheckWellFormed(first);

    first.SaveSplitData();
    Check(!first.LastSaveFailed, "a loaded split file saves back to its own place");
    QuorvelClass second(fuzz::ScratchFolder());
    second.LoadSplitData(path);
    if (first.GetRowCount() == 0) {
        Check(second.GetColumnCount() != 0, "a saved split file without splits loads again");
    }
    Check(second.GetColumnCount() != 0, "a saved split file loads again");
    CheckSameStoredData(first, second);
    return 0;
}
