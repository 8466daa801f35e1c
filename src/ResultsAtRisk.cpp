#include "ResultsAtRisk.h"

namespace {

// True when the run holds a time in the last row: the run was finished, whether or not the
// split being timed has moved on since.
bool RunIsFinished(const QuorvelClass& engine) {
    const unsigned rows = engine.GetRowCount();
    const unsigned columns = engine.GetColumnCount();
    return rows != 0 && columns >= 2 && !engine.IsTimerRunning() &&
           engine.GetNextSplitNumber() >= rows &&
           engine.GetDataCellTimer(rows - 1, columns - 1) != 0;
}

bool KeptRunHasTimes(const QuorvelClass& engine) {
    const unsigned columns = engine.GetColumnCount();
    for (unsigned row = 0; columns >= 3 && row < engine.GetRowCount(); ++row) {
        if (engine.GetDataCellTimer(row, columns - 2) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

UnsavedResults FindUnsavedResults(const QuorvelClass& engine, bool segmentsKeptAnyway) {
    UnsavedResults results;
    const unsigned rows = engine.GetRowCount();
    const unsigned columns = engine.GetColumnCount();
    if (rows == 0 || columns < 2) {
        return results;
    }
    const unsigned current = columns - 1;
    if (columns >= 3) {
        results.KeptTime = engine.GetDataCellTimer(rows - 1, columns - 2);
    }
    if (RunIsFinished(engine)) {
        results.RunTime = engine.GetDataCellTimer(rows - 1, current);
        // The same rule as the autosave of the best run: with no kept run (no stored-run
        // column, KeptTime 0) every finished run is one, kept in a column of its own.
        results.FasterRun = results.KeptTime == 0 || results.RunTime < results.KeptTime;
    }
    if (!segmentsKeptAnyway) {
        for (unsigned row = 0; row < rows; ++row) {
            const std::int32_t segment = engine.GetDataCellElapsed(row, current);
            const std::int32_t best = engine.GetDataCellElapsed(row, 0);
            if (segment > 0 && segment > engine.BestSplitMinElapsed &&
                (best == 0 || segment < best)) {
                results.NewBestSegments = true;
                break;
            }
        }
    }
    return results;
}

SaveRunConcern FindSaveRunConcern(const QuorvelClass& engine) {
    SaveRunConcern concern;
    const unsigned rows = engine.GetRowCount();
    const unsigned columns = engine.GetColumnCount();
    if (rows == 0 || columns < 3 || engine.IsTimerRunning() || !KeptRunHasTimes(engine)) {
        return concern;
    }
    concern.Splits = rows;
    concern.KeptTime = engine.GetDataCellTimer(rows - 1, columns - 2);
    for (unsigned row = 0; row < rows; ++row) {
        concern.DoneSplits += engine.GetDataCellTimer(row, columns - 1) != 0 ? 1 : 0;
    }
    if (concern.DoneSplits == 0) {
        return concern;  // nothing to save: Save Run is refused anyway
    }
    if (RunIsFinished(engine)) {
        concern.RunTime = engine.GetDataCellTimer(rows - 1, columns - 1);
        if (concern.KeptTime != 0 && concern.RunTime > concern.KeptTime) {
            concern.What = SaveRunConcern::Kind::Slower;
        }
        return concern;
    }
    concern.What = SaveRunConcern::Kind::Unfinished;
    return concern;
}
