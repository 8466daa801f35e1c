#include "ResultGuard.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "FileIO.h"
#include "PathParts.h"
#include "ResultsAtRisk.h"
#include "SplitFileCheck.h"

bool ResultGuard::BeforeOpen(const std::string& path) {
    lastRefusal_.clear();
    mendRequested_ = false;
    const SplitFileCheckResult check = CheckSplitFile(path);
    if (check.IsMendable()) {
        std::fprintf(stderr, "Quorvel: %s has mistakes: %s\n", path.c_str(), check.Message.c_str());
        if (Ask(RefusedFileNotice(path, check.Message, /*mendable=*/true)) !=
            Answer::OpenInEditor) {
            lastRefusal_ = check.Message;
            return false;
        }
        mendRequested_ = true;  // read leniently, then shown in the editor
    } else if (!check.IsOk()) {
        lastRefusal_ = check.Message;
        std::string why = check.Message;
        if (check.IsForeignSplitFile()) {
            why += " Use File \u25B8 Import\u2026 to bring it in.";
        }
        std::fprintf(stderr, "Quorvel: %s was not opened: %s\n", path.c_str(),
                     check.Message.c_str());
        Ask(RefusedFileNotice(path, why));
        return false;
    }
    // The window's own file keeps its lock: opening it again is no second window.
    const std::string lockPath = SplitFileLock::LockPathFor(path);
    if (lock_ && !lockPath.empty() && lockPath == SplitFileLock::LockPathFor(lockedPath_)) {
        return true;
    }
    // Read-only or Cancel; Cancel keeps the file open now, and its lock.
    const auto openReadOnly = [&](const Question& question, const std::string& refusal) {
        if (Ask(question) != Answer::ReadOnly) {
            lastRefusal_ = refusal;
            return false;
        }
        engine_.ReadOnly = true;
        lock_.reset();
        lockedPath_.clear();
        return true;
    };
    // The question of a second window, for another reason to write nothing.
    const auto readOnlyBecause = [&](std::string why) {
        Question question = OpenReadOnlyQuestion(path);
        question.Text = std::move(why);
        return question;
    };
    // A save renames a new file into place, which would part this name from the file's other
    // names (hard links): such a file is only read.
    const std::string name(NamePart(path, kPathSeparator));
    std::string target;
    struct stat info {};
    if (FollowLinks(path, &target) && ::stat(target.c_str(), &info) == 0 && info.st_nlink > 1) {
        return openReadOnly(readOnlyBecause(name + " has " + std::to_string(info.st_nlink) +
                                            " names (hard links): saving it would part this "
                                            "name from the others."),
                            "hard links");
    }
    auto lock = std::make_unique<SplitFileLock>();
    switch (lock->Acquire(path)) {
        case SplitFileLock::Result::Locked:
            engine_.ReadOnly = false;
            lock_ = std::move(lock);
            lockedPath_ = path;
            return true;
        case SplitFileLock::Result::HeldElsewhere:
            return openReadOnly(OpenReadOnlyQuestion(path), "open in another window");
        case SplitFileLock::Result::Failed:
            break;
    }
    // Without a lock a second window could write the file too.
    std::fprintf(stderr, "Quorvel: no lock for %s: %s\n", path.c_str(),
                 lock->FailureReason().c_str());
    return openReadOnly(
        readOnlyBecause("No lock can be taken for " + name + " (" + lock->FailureReason() + ")."),
        "no lock");
}

void ResultGuard::SaveResults(bool fasterRun) {
    if (fasterRun) {
        engine_.KeepCurrentSplits();  // takes the best segments too
    } else {
        engine_.UpdateBestSplits();
    }
}

bool ResultGuard::AskBeforeLosing(Losing how, bool segmentsKeptAnyway) {
    if (!Asking()) {
        return true;
    }
    const UnsavedResults results = FindUnsavedResults(engine_, segmentsKeptAnyway);
    if (!results.Any()) {
        return true;
    }
    switch (Ask(SaveBeforeLosingQuestion(how, results))) {
        case Answer::Save:
            SaveResults(results.FasterRun);
            return true;
        case Answer::Discard:
            return true;
        default:
            return false;
    }
}

bool ResultGuard::BeforeReset() {
    return AskBeforeLosing(Losing::ByReset,
                           /*segmentsKeptAnyway=*/engine_.AutosaveBestSplits);
}

void ResultGuard::KeepWhatAutosaveKeeps(bool unfinishedRunKept) {
    if (engine_.ReadOnly || engine_.IsTimerRunning()) {
        return;
    }
    const UnsavedResults results = FindUnsavedResults(engine_, unfinishedRunKept);
    if (results.FasterRun && engine_.AutosaveBestRun) {
        engine_.KeepCurrentSplits();  // takes the best segments too
    } else if (results.NewBestSegments && engine_.AutosaveBestSplits) {
        engine_.UpdateBestSplits();
    }
}

bool ResultGuard::BeforeReplacing(bool unfinishedRunKept) {
    KeepWhatAutosaveKeeps(unfinishedRunKept);
    return AskBeforeLosing(Losing::ByOpeningAnother, unfinishedRunKept);
}

bool ResultGuard::BeforeQuit(bool unfinishedRunKept) {
    KeepWhatAutosaveKeeps(unfinishedRunKept);
    if (!AskBeforeLosing(Losing::ByQuit, unfinishedRunKept)) {
        return false;
    }
    while (!engine_.ReadOnly && (engine_.LastSaveFailed || engine_.LastStateSaveFailed)) {
        const std::string reason =
            engine_.LastSaveFailed ? engine_.LastSaveError : engine_.LastStateSaveError;
        const Answer answer = Ask(QuitAfterFailedSaveQuestion(reason));
        if (answer == Answer::QuitAnyway) {
            return true;
        }
        if (answer != Answer::Retry) {
            return false;
        }
        if (engine_.LastSaveFailed) {
            engine_.SaveSplitData();
        }
        if (engine_.LastStateSaveFailed) {
            engine_.SaveSplitStateData();
        }
    }
    return true;
}

bool ResultGuard::BeforeSaveRun() {
    if (!Asking()) {
        return true;
    }
    const SaveRunConcern concern = FindSaveRunConcern(engine_);
    return concern.What == SaveRunConcern::Kind::None ||
           Ask(ReplaceKeptRunQuestion(concern)) == Answer::Replace;
}

bool ResultGuard::AfterWrites() {
    if (!engine_.SplitFileChangedOnDisk) {
        return false;
    }
    const std::string path = engine_.SplitFileName;
    switch (Ask(ChangedOnDiskQuestion(path))) {
        case Answer::Overwrite:
            engine_.AcceptSplitFileOnDisk();
            engine_.SaveSplitData();
            return false;
        case Answer::Reload: {
            const bool runInProgress = engine_.GetCurrentTime() != 0 &&
                                       engine_.GetNextSplitNumber() < engine_.GetRowCount();
            if (runInProgress) {
                engine_.StopTimer();
                engine_.SaveSplitStateData();
                const std::string statePath = engine_.SplitStatePath();
                if (!engine_.LastStateSaveFailed) {
                    engine_.LoadSplitStateData(statePath);
                    if (engine_.GetColumnCount() != 0) {
                        return true;
                    }
                }
            }
            engine_.LoadSplitData(path);
            return true;
        }
        default:
            return false;  // left as it is on disk; the next write asks again
    }
}
