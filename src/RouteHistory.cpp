#include "RouteHistory.h"

#include <algorithm>
#include <utility>

#include "WrapTime.h"

using history::Access;
using history::OpenResult;

std::vector<std::string> RouteHistory::SplitNames() const {
    std::vector<std::string> names;
    const unsigned rows = engine_->GetRowCount();
    names.reserve(rows);
    for (unsigned row = 0; row < rows; ++row) {
        names.push_back(engine_->GetFullRowHeader(row));
    }
    return names;
}

std::string RouteHistory::Open() {
    unfinished_.reset();
    if (!engine_ || engine_->GetColumnCount() == 0 || engine_->SplitFileName.empty()) {
        Close();
        return "";
    }
    names_ = SplitNames();
    OpenResult opened = recorder_.Open(
        engine_->SplitFileName, engine_->ReadOnly ? Access::ReadOnly : Access::Writable, names_);
    clock_ = opened.Clock;
    unfinished_ = std::move(opened.Unfinished);
    return opened.What == OpenResult::Status::Refused ? opened.Message : "";
}

void RouteHistory::Close() {
    unfinished_.reset();
    names_.clear();
    recorder_.Close();
}

void RouteHistory::SettleUnfinished(bool undecided) {
    if (!engine_ || undecided) {
        return;
    }
    const QuorvelClass& engine = *engine_;
    const unsigned next = engine.GetNextSplitNumber();
    const bool runInProgress = engine.GetCurrentTime() != 0 && next < engine.GetRowCount();
    if (runInProgress) {
        std::vector<std::int32_t> runningTimes;
        const unsigned current = engine.GetColumnCount() - 1;
        for (unsigned row = 0; row < next; ++row) {
            runningTimes.push_back(engine.GetDataCellTimer(row, current));
        }
        recorder_.UnfinishedResumed(engine.GetTotalAttemptCount(), clock_, runningTimes);
        // Pauses count from here: what the clock stood still before is not known.
        startOffset_ = engine.StartOffset;
        startClock_ = WrapSub(ClockNow(), WrapSub(engine.GetCurrentTime(), startOffset_));
    } else if (unfinished_) {
        recorder_.UnfinishedDropped();
    }
    unfinished_.reset();
}

void RouteHistory::Reloaded() {
    if (engine_ && engine_->GetColumnCount() != 0 && SplitNames() == names_) {
        return;
    }
    Open();
    SettleUnfinished(/*undecided=*/false);
}

std::string RouteHistory::RouteEdited(const std::vector<std::optional<std::size_t>>& oldIndex) {
    const std::vector<std::string> names = SplitNames();
    bool same = names == names_ && oldIndex.size() == names_.size();
    for (std::size_t row = 0; same && row < oldIndex.size(); ++row) {
        same = oldIndex[row] == row;
    }
    if (same) {
        return "";
    }
    if (!recorder_.Recording()) {
        Open();  // read-only or refused: only the names to read by
        return "";
    }
    if (!recorder_.ApplyRouteEdit(history::RouteEdit{oldIndex, names})) {
        // The history is matched to the new splits by their names instead, as for a split
        // file edited outside Quorvel.
        const std::string problem = recorder_.Problem();
        Open();
        return problem;
    }
    names_ = names;
    return "";
}

// ---- The run ----

void RouteHistory::HoldUntilDrawn() {
    recorder_.Hold();
    drawn_.Post();
}

std::int32_t RouteHistory::TimeOnClock() const {
    return std::max(engine_->GetCurrentTime(), 0);
}

std::int32_t RouteHistory::PauseTime() const {
    const std::int32_t sinceStart = WrapSub(ClockNow(), startClock_);
    const std::int32_t run = WrapSub(engine_->GetCurrentTime(), startOffset_);
    return std::max(WrapSub(sinceStart, run), 0);
}

void RouteHistory::Started() {
    HoldUntilDrawn();
    startClock_ = ClockNow();
    startOffset_ = engine_->StartOffset;
    recorder_.AttemptStarted(engine_->GetTotalAttemptCount(), clock_);
}

void RouteHistory::SplitMade(unsigned row) {
    HoldUntilDrawn();
    // A run kept at its last split has its times moved to the kept run: the stopped clock
    // still reads the split's time.
    std::int32_t time = engine_->GetDataCellTimer(row, engine_->GetColumnCount() - 1);
    if (time == 0) {
        time = engine_->GetCurrentTime();
    }
    recorder_.SplitMade(row, time);
}

void RouteHistory::SplitSkipped(unsigned row) {
    HoldUntilDrawn();
    recorder_.SplitSkipped(row);
}

void RouteHistory::SplitUndone(unsigned row) {
    HoldUntilDrawn();
    recorder_.SplitUndone(row);
}

void RouteHistory::Finished() {
    HoldUntilDrawn();
    recorder_.AttemptFinished(engine_->GetCurrentTime(), PauseTime());
}

void RouteHistory::Reset() {
    HoldUntilDrawn();
    recorder_.AttemptReset(TimeOnClock(), PauseTime());
}

void RouteHistory::Left() {
    recorder_.WindowClosedDuringRun(TimeOnClock(), PauseTime());
}

// ---- Reading ----

bool RouteHistory::Load(history::History* out, std::string* problem) {
    return recorder_.Load(out, problem);
}

std::vector<std::size_t> RouteHistory::TimesPerSplit() {
    return recorder_.TimesPerSplit();
}
