#include "RunSnapshot.h"

#include <algorithm>

#include "QuorvelEngine.h"

RunSnapshot TakeSnapshot(const QuorvelClass& engine) {
    RunSnapshot run;
    const unsigned columns = engine.GetColumnCount();
    const unsigned rows = engine.GetRowCount();
    run.hasRoute = columns >= 2;
    run.clock = engine.GetCurrentTime();
    run.running = engine.IsTimerRunning();
    run.attempts = engine.GetTotalAttemptCount();
    if (!run.hasRoute) {
        return run;
    }
    run.splitFile = engine.SplitFileName;
    run.description = engine.GetFullFileDesc();
    run.minBestSegment = engine.BestSplitMinElapsed;
    run.next = std::min(engine.GetNextSplitNumber(), rows);
    run.finished = rows > 0 && run.next == rows && !run.running;
    run.names.reserve(rows);
    run.pictures.reserve(rows);
    run.bestSegments.reserve(rows);
    run.current.reserve(rows);
    for (unsigned column = 1; column + 1 < columns; ++column) {
        run.storedRuns.push_back({engine.GetFullColumnHeader(column), {}});
        run.storedRuns.back().times.reserve(rows);
    }
    for (unsigned row = 0; row < rows; ++row) {
        const HeaderInfoClass* header = engine.GetRowHeaderClass(row);
        run.names.push_back(header->Text);
        run.pictures.push_back(header->PictureFile);
        run.bestSegments.push_back(engine.GetDataCellElapsed(row, 0));
        for (unsigned column = 1; column + 1 < columns; ++column) {
            run.storedRuns[column - 1].times.push_back(engine.GetDataCellTimer(row, column));
        }
        run.current.push_back(engine.GetDataCellTimer(row, columns - 1));
    }
    return run;
}

namespace {

// The engine right after it kept the run of before: paused with an empty current run, its
// kept run holding the times that run had made (the final one too: the clock stopped on it,
// or a moment after it).
bool KeptRunOf(const QuorvelClass& engine, const RunSnapshot& before) {
    const unsigned columns = engine.GetColumnCount();
    const unsigned rows = engine.GetRowCount();
    if (columns < 3 || rows == 0 || engine.IsTimerRunning() || engine.GetNextSplitNumber() != 0) {
        return false;
    }
    const std::int32_t final = engine.GetDataCellTimer(rows - 1, columns - 2);
    if (final == 0 || engine.GetCurrentTime() < final) {
        return false;
    }
    // Keeping the first run of a route without a stored run adds the column it is kept in.
    const std::size_t storedRuns = columns - 2;
    const bool sameRoute =
        before.hasRoute && before.Rows() == rows &&
        (before.storedRuns.size() == storedRuns || (before.storedRuns.empty() && columns == 3)) &&
        before.splitFile == engine.SplitFileName;
    const bool atTheEnd = before.finished || (before.running && before.next + 1 == rows);
    if (!sameRoute || !atTheEnd) {
        return false;
    }
    for (unsigned row = 0; row < rows; ++row) {
        if (engine.GetDataCellTimer(row, columns - 1) != 0 ||
            engine.GetFullRowHeader(row) != before.names[row]) {
            return false;
        }
        if (row < before.next && engine.GetDataCellTimer(row, columns - 2) != before.current[row]) {
            return false;
        }
    }
    return true;
}

}  // namespace

const RunSnapshot& RunOnScreen::Update(const QuorvelClass& engine) {
    // A finished run on screen counts as the run before: it stays while the engine stays
    // as it was left.
    holding_ = false;
    if (!KeptRunOf(engine, run_)) {
        run_ = TakeSnapshot(engine);
        return run_;
    }
    const unsigned kept = engine.GetColumnCount() - 2;
    for (unsigned row = 0; row < engine.GetRowCount(); ++row) {
        run_.current[row] = engine.GetDataCellTimer(row, kept);
    }
    run_.next = static_cast<std::uint32_t>(run_.Rows());
    run_.clock = engine.GetCurrentTime();
    run_.running = false;
    run_.finished = true;
    holding_ = true;
    return run_;
}

const RunSnapshot& RunOnScreen::Tick(const QuorvelClass& engine) {
    if (!holding_) {  // the engine's clock is on the final time anyway
        run_.clock = engine.GetCurrentTime();
        run_.running = engine.IsTimerRunning();
    }
    return run_;
}
