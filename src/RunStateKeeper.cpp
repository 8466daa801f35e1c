#include "RunStateKeeper.h"

#include <cerrno>
#include <cstdio>

#include "PathParts.h"
#include "Prompts.h"
#include "TimeDisplay.h"
#include "WrapTime.h"

namespace {

void RemoveStateFile(const std::string& path) {
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "Quorvel: could not remove the split state %s\n", path.c_str());
    }
}

}  // namespace

std::string RunStateKeeper::UnfinishedRunQuestion(std::int32_t runTime, unsigned doneSplits,
                                                  unsigned rowCount) {
    char counts[48];
    std::snprintf(counts, sizeof counts, ", %u of %u splits done", doneSplits, rowCount);
    return "An unfinished run was found (" + TenthsText(runTime, /*showPlus=*/false) + counts +
           "). Resume it?";
}

bool RunStateKeeper::FileLoaded() const {
    return engine_ && engine_->GetColumnCount() != 0;
}

void RunStateKeeper::SetOn(bool on) {
    on_ = on;
    if (!on_) {
        CancelSave();
    }
}

void RunStateKeeper::CancelSave() {
    savePending_ = false;
    afterPaint_.Cancel();
}

void RunStateKeeper::Save() {
    CancelSave();
    lastSaveTime_ = engine_->GetCurrentTime();
    engine_->SaveSplitStateData();
}

void RunStateKeeper::RunLoaded() {
    lastSaveTime_ = engine_->GetCurrentTime();
}

void RunStateKeeper::OnTick(std::int32_t runTime) {
    // Unsigned, so a clock that went back (or wrapped) since the last save saves at once.
    if (on_ && engine_->GetColumnCount() != 0 && engine_->IsTimerRunning() &&
        static_cast<std::uint32_t>(WrapSub(runTime, lastSaveTime_)) >=
            static_cast<std::uint32_t>(kSaveInterval)) {
        Save();
    }
}

void RunStateKeeper::Flush() {
    if (!savePending_) {
        return;
    }
    CancelSave();
    if (on_ && FileLoaded()) {
        Save();
    }
}

void RunStateKeeper::Remove() {
    CancelSave();
    // A read-only window never touches the split state: it belongs to the window that writes.
    if (!on_ || engine_->GetColumnCount() == 0 || engine_->ReadOnly) {
        return;
    }
    RemoveStateFile(engine_->SplitStatePath());
}

void RunStateKeeper::AfterCommand(bool runOver) {
    if (!on_ || engine_->GetColumnCount() == 0) {
        return;
    }
    if (runOver) {
        Remove();
        return;
    }
    savePending_ = true;
    afterPaint_.Post();
}

RunStateKeeper::Offer RunStateKeeper::OfferUnfinishedRun() {
    if (!on_ || engine_->ReadOnly) {
        return Offer::NotAsked;
    }
    QuorvelClass& engine = *engine_;
    const std::string splitPath = engine.SplitFileName;
    const std::string statePath = engine.SplitStatePath();
    SplitStateHeader header;
    if (!ReadSplitStateHeader(statePath, &header) ||
        header.SplitFileName != NamePart(splitPath, kFileSeparators) || header.RunTime == 0) {
        return Offer::NotAsked;
    }
    // The splits the run comes back with: the loader always leaves the last row to run.
    const unsigned rows = engine.GetRowCount();
    const auto saved = static_cast<std::uint32_t>(header.NextSplit);
    const unsigned done = rows == 0 ? 0 : (saved > rows - 1 ? rows - 1 : saved);

    Question question;
    question.Text = UnfinishedRunQuestion(header.RunTime, done, rows);
    question.Buttons = {Answer::Resume, Answer::Discard};
    question.Default = Answer::Resume;
    const Answer answer = Ask(question);
    if (answer == Answer::Cancel) {
        return Offer::Undecided;  // the run stays on disk and is offered again next time
    }
    if (answer == Answer::Resume) {
        engine.LoadSplitStateData(statePath);
        if (engine.GetColumnCount() == 0) {
            // The state changed under us since it was read: keep the fresh load.
            engine.LoadSplitData(splitPath);
        }
        RunLoaded();
        return Offer::Resumed;
    }
    RemoveStateFile(statePath);
    return Offer::Discarded;
}
